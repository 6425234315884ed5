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

    Scene(const std::string& lookShader, const std::vector<CobParameterSpec>& parameters, int32_t materialParent = kPolyhedronId) {
        CobMat1Spec mat;
        mat.number = 3;
        ByteWriter matBody, box;
        WriteCobMat1(matBody, mat);
        CobFileBuilder file;
        file.Chunk("Mat1", 0, 6, kMaterialId, materialParent, matBody);
        if (!lookShader.empty()) {
            WriteCobShBx(box, lookShader, parameters);
            file.Chunk("ShBx", 0, 4, 30, kMaterialId, box);
        }
        const std::string& bytes = file.Bytes();
        EXPECT_TRUE(reader.LoadFromMemory(bytes.data(), bytes.size(), "rules.cob"));
    }
};

}  // namespace

TEST(CobMaterialRules, APhongLookGivesTheMaterialAndItsDiffuseFactor) {
    for (const char* look : {"phong", "caligari phong"}) {
        Scene scene(look, CobPhongParameters(0.6f));
        const CobMaterialChoice choice = ChooseCobMaterial(scene.reader, kPolyhedronId, 3);
        ASSERT_NE(choice.material, nullptr) << look << ": " << choice.error;
        EXPECT_EQ(choice.material->id, kMaterialId);
        EXPECT_FLOAT_EQ(choice.diffuseFactor, 0.6f) << look;
        EXPECT_TRUE(choice.error.empty());
    }
}

TEST(CobMaterialRules, EachMissingPieceHasItsOwnError) {
    {
        Scene otherOwner("phong", CobPhongParameters(1), kPolyhedronId + 1);
        EXPECT_EQ(ChooseCobMaterial(otherOwner.reader, kPolyhedronId, 3).error, "Could not find material")
            << "a material of another polyhedron must not be taken";
        Scene scene("phong", CobPhongParameters(1));
        EXPECT_EQ(ChooseCobMaterial(scene.reader, kPolyhedronId, 4).error, "Could not find material")
            << "the material number must match";
    }
    {
        Scene noShader("", {});
        EXPECT_EQ(ChooseCobMaterial(noShader.reader, kPolyhedronId, 3).error, "Could not find shader");
    }
    {
        Scene matte("matte", CobPhongParameters(1));
        const CobMaterialChoice choice = ChooseCobMaterial(matte.reader, kPolyhedronId, 3);
        EXPECT_EQ(choice.error, "Not a right shader (only phong and caligari phong are supported)");
        EXPECT_EQ(choice.material, nullptr);
    }
    for (size_t missing = 0; missing < 3; ++missing) {
        std::vector<CobParameterSpec> parameters = CobPhongParameters(1);
        parameters.erase(parameters.begin() + static_cast<long>(missing));
        Scene scene("phong", parameters);
        EXPECT_EQ(ChooseCobMaterial(scene.reader, kPolyhedronId, 3).error, "Not a right shader")
            << "without " << CobPhongParameters(1)[missing].name;
    }
}

TEST(CobMaterialRules, TextureFileNamesLoseTheirDirectory) {
    CobTextureMap map;
    map.fileName = "C:\\art/maps\\hull.bmp";
    EXPECT_EQ(CobTextureFileName(map), "hull.bmp");
    map.fileName = "maps/deck.bmp";
    EXPECT_EQ(CobTextureFileName(map), "deck.bmp");
    map.fileName = "plain.bmp";
    EXPECT_EQ(CobTextureFileName(map), "plain.bmp");
}
