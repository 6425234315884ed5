// Loading and building a large COB scene against merely reading its bytes from disk:
// the ratio of BM_LoadAndBuildCob's time to BM_ReadBytes's is how much the parsing and
// model building cost on top of the read a level load cannot avoid. (A counter measured
// beside the loop proved unreliable: a few untimed runs swing with the page cache.)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "file_builders.h"
#include "scene/cob_model_builder.h"
#include "scene/cob_reader.h"
#include "scene/file_bytes.h"
#include "scene/model.h"

namespace {

constexpr int kPolyhedra = 32;
constexpr int kGridSide = 150;  // vertices a side; (side - 1)^2 quad faces

// A grid of quads per polyhedron, each with a phong material, like a level's terrain.
std::string LargeScene() {
    CobFileBuilder file;
    for (int p = 0; p < kPolyhedra; ++p) {
        CobPolHSpec polh;
        polh.name = "terrain" + std::to_string(p);
        for (int y = 0; y < kGridSide; ++y) {
            for (int x = 0; x < kGridSide; ++x) {
                polh.vertices.push_back(
                    {static_cast<float>(x), static_cast<float>(y), static_cast<float>((x * y) % 7)});
                polh.textureVertices.push_back({x / float(kGridSide), y / float(kGridSide)});
            }
        }
        for (int y = 0; y + 1 < kGridSide; ++y) {
            for (int x = 0; x + 1 < kGridSide; ++x) {
                const int corner = y * kGridSide + x;
                CobFaceSpec face;
                face.corners = {{corner, corner},
                                {corner + 1, corner + 1},
                                {corner + kGridSide + 1, corner + kGridSide + 1},
                                {corner + kGridSide, corner + kGridSide}};
                polh.faces.push_back(face);
            }
        }
        const int32_t id = 1000 + p * 10;
        ByteWriter polhBody, matBody, boxBody;
        WriteCobPolH(polhBody, polh, 8);
        WriteCobMat1(matBody, CobMat1Spec());
        WriteCobShBx(boxBody, "phong", CobPhongParameters(1));
        file.Chunk("PolH", 0, 8, id, 0, polhBody)
            .Chunk("Mat1", 0, 6, id + 1, id, matBody)
            .Chunk("ShBx", 0, 4, id + 2, id + 1, boxBody);
    }
    return file.End().Bytes();
}

// Written once per run, removed at exit.
class SceneFile {
public:
    SceneFile() {
        const int fd = mkstemp(path_.data());
        if (fd >= 0) close(fd);
        std::ofstream(path_, std::ios::binary) << LargeScene();
    }
    ~SceneFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_ = "/tmp/kav_bench_scene_XXXXXX";
};

const std::string& ScenePath() {
    static const SceneFile file;
    return file.Path();
}

// What any load has to do anyway: the readers take the whole file in one read.
size_t ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(path, bytes);
    return bytes.size();
}

size_t LoadAndBuild(const std::string& path) {
    CobReader reader;
    reader.Load(path);
    size_t triangles = 0;
    for (const CobPolH& polh : reader.Polyhedra()) {
        Model model;
        BuildCobModel(reader, polh, &model);
        triangles += model.DrawnTriangleCount();
    }
    return triangles;
}

void BM_ReadBytes(benchmark::State& state) {
    const std::string& path = ScenePath();
    size_t size = 0;
    for (auto _ : state) benchmark::DoNotOptimize(size = ReadBytes(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);

void BM_LoadCob(benchmark::State& state) {
    const std::string& path = ScenePath();
    for (auto _ : state) {
        CobReader reader;
        benchmark::DoNotOptimize(reader.Load(path));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ReadBytes(path)));
}
BENCHMARK(BM_LoadCob)->Unit(benchmark::kMillisecond);

void BM_LoadAndBuildCob(benchmark::State& state) {
    const std::string& path = ScenePath();
    size_t triangles = 0;
    for (auto _ : state) benchmark::DoNotOptimize(triangles = LoadAndBuild(path));
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["file_MB"] = static_cast<double>(ReadBytes(path)) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ReadBytes(path)));
}
BENCHMARK(BM_LoadAndBuildCob)->Unit(benchmark::kMillisecond);

}  // namespace
