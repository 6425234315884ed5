#include "scene/cob_material_rules.h"

#include <gtest/gtest.h>

#include "file_builders.h"
#include "support/report_capture.h"

namespace {

constexpr int32_t kPolyhedronId = 10;
constexpr int32_t kMaterialId = 20;

// A polyhedron with material 3 and, when a look shader is named, its shader box.
struct Scene {
    ReportCapture log;
    CobReader reader;

    Scene(const std::string& lookShader, const std::vector<CobParameterSpec>& parameters,
          int32_t materialParent = kPolyhedronId) {
        CobMat1Spec mat;
        mat.number = 3;
        CobFileBuilder file;
        file.Chunk("Mat1", 0, 6, kMaterialId, materialParent, Encoded(WriteCobMat1, mat));
        if (!lookShader.empty())
            file.Chunk("ShBx", 0, 4, 30, kMaterialId, Encoded(WriteCobShBx, lookShader, parameters));
        const std::string& bytes = file.Bytes();
        EXPECT_TRUE(reader.LoadFromMemory(bytes.data(), bytes.size(), "rules.cob"));
    }
};

}  // namespace

TEST(CobMaterialRules, APhongLookGivesTheMaterialAndItsDiffuseFactorAndEachMissingPieceHasItsOwnError) {
    const struct {
        const char* rule;
        std::string look;
        std::vector<CobParameterSpec> parameters;
        int32_t materialParent;
        const char* error;  // "" for a material with diffuse factor 0.6
    } cases[] = {
        {"phong", "phong", CobPhongParameters(0.6f), kPolyhedronId, ""},
        {"caligari phong", "caligari phong", CobPhongParameters(0.6f), kPolyhedronId, ""},
        {"a material of another polyhedron", "phong", CobPhongParameters(1), kPolyhedronId + 1,
         "Could not find material"},
        {"no shader box", "", {}, kPolyhedronId, "Could not find shader"},
        {"another look", "matte", CobPhongParameters(1), kPolyhedronId,
         "Not a right shader (only phong and caligari phong are supported)"},
        {"no diffuse factor",
         "phong",
         {CobPhongParameters(1)[1], CobPhongParameters(1)[2]},
         kPolyhedronId,
         "Not a right shader"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Scene scene(c.look, c.parameters, c.materialParent);
        const CobMaterialChoice choice = ChooseCobMaterial(scene.reader, kPolyhedronId, 3);
        EXPECT_EQ(choice.error, c.error);
        EXPECT_EQ(choice.material != nullptr, !*c.error);
        if (choice.material) {
            EXPECT_FLOAT_EQ(choice.diffuseFactor, 0.6f);
        }
    }
}
