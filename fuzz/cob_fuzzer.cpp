#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_support.h"
#include "scene/cob_material_rules.h"
#include "scene/cob_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CobReader reader;
    try {
        reader.LoadFromMemory(data, size, "fuzz.cob");
    } catch (const FatalReportThrown&) {
        // A refused shader parameter ends the game; the records read so far must still be sound.
    }
    // What the model builder asks of the records.
    for (const CobPolH& polh : reader.Polyhedra()) {
        for (const CobFace& face : polh.faces) {
            const CobMaterialChoice choice = ChooseCobMaterial(reader, polh.id, face.materialIndex);
            if (choice.material != nullptr && choice.material->textureMap)
                CobTextureFileName(*choice.material->textureMap);
        }
    }
    return 0;
}
