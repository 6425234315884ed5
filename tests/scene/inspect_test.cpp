#include <gtest/gtest.h>

#include "file_builders.h"
#include "inspection.h"
#include "scene/cob_reader.h"
#include "support/temp_dir.h"

namespace {

// A square polyhedron whose phong material names a texture.
std::string TexturedSquare(const std::string& texture) {
    CobMat1Spec mat;
    mat.subRecords = CobTextureSubRecord("C:\\art\\" + texture);
    return CobFileBuilder()
        .Chunk("PolH", 0, 8, 1, 0, Encoded(WriteCobPolH, CobSquare("deck"), int16_t{8}))
        .Chunk("Mat1", 0, 6, 2, 1, Encoded(WriteCobMat1, mat))
        .Chunk("ShBx", 0, 4, 3, 2, Encoded(WriteCobShBx, "phong", CobPhongParameters(1)))
        .Chunk("Came", 0, 2, 4, 0, Encoded(WriteCobCame, "eye", kCobStandardCamera, nullptr))
        .End()
        .Bytes();
}

bool Has(const std::string& json, const std::string& part) { return json.find(part) != std::string::npos; }

}  // namespace

TEST(InspectCob, ReportsRecordsAndWhatTheGameWouldBuild) {
    TempDir dir;
    dir.Write("found.cob", TexturedSquare("hull.bmp"));
    dir.Write("hull.bmp", BmpFile(BmpSpec{40, 1, 1, 24, 0, 0, {}, {}, std::string(4, '\0'), true}));
    Inspection inspection = InspectPath(dir.File("found.cob"));
    ASSERT_TRUE(inspection.loads) << inspection.reason;
    const std::string json = inspection.details.ToJson();
    EXPECT_TRUE(Has(json, "\"records\":{\"PolH\":1,\"Mat1\":1,\"ShBx\":1,\"NCur\":0,\"Came\":1")) << json;
    EXPECT_TRUE(Has(json, "\"triangles\":2,\"meshes\":1,\"materials\":1")) << "a quad is two triangles: " << json;
    EXPECT_TRUE(Has(json, "\"texturesFound\":[\"hull.bmp\"],\"texturesMissing\":[]"))
        << "textures are looked for beside the scene: " << json;

    dir.Write("missing.cob", TexturedSquare("gone.bmp"));
    inspection = InspectPath(dir.File("missing.cob"));
    EXPECT_FALSE(inspection.loads) << "the game draws the model untextured: the player sees the texture missing";
    EXPECT_EQ(inspection.reason, "error: Texture file does not exist gone.bmp");
    EXPECT_TRUE(Has(inspection.details.ToJson(), "\"texturesMissing\":[\"gone.bmp\"]")) << inspection.details.ToJson();
}

TEST(Inspect, FilesTheGameRefusesOrStopsOnGiveTheReason) {
    TempDir dir;
    const ByteWriter box = Encoded(WriteCobShBx, "phong", std::vector<CobParameterSpec>{{"odd", 99, ""}});
    const std::string model = Ms3dFile(3, 3, {{{0, 1, 2}, {0, 0, 0}}}, {{{0}, 0}}, {{"skin.bmp"}});
    const struct {
        const char* name;
        std::string content;  // empty: no such file
        std::string reason;
    } cases[] = {
        {"fatal.COB", CobFileBuilder().Chunk("ShBx", 0, 4, 1, 0, box).Bytes(),
         "the game would stop: Unknown type of the parameter"},
        {"none.cob", "", "error: Couln't find COB file: " + dir.File("none.cob")},
        {"cut.ms3d", model.substr(0, model.size() - 10), "the materials are cut short"},
        {"bad.bmp", "BM", "Unknown DIB file format."},
        {"notes.txt", "", "unsupported file type (need cob, ms3d or bmp)"},
    };
    for (const auto& c : cases) {
        if (!c.content.empty()) dir.Write(c.name, c.content);
        const Inspection inspection = InspectPath(dir.File(c.name));
        EXPECT_FALSE(inspection.loads) << c.name;
        EXPECT_EQ(inspection.reason, c.reason) << c.name;
    }
}
