#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/ms3d_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MilkshapeData model;
    std::string error;
    if (!LoadMilkshapeFromMemory(data, size, "data/level/model.ms3d", model, &error)) return 0;
    // Everything a loaded model names must be there to draw.
    for (const ModelTriangle& triangle : model.triangles)
        for (uint32_t index : triangle.vertexIndices)
            if (index >= model.vertices.size()) __builtin_trap();
    for (const ModelMesh& mesh : model.meshes) {
        if (mesh.materialIndex >= 0 && static_cast<size_t>(mesh.materialIndex) >= model.materials.size())
            __builtin_trap();
        for (uint32_t index : mesh.triangleIndices)
            if (index >= model.triangles.size()) __builtin_trap();
    }
    return 0;
}
