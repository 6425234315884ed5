#include "scene/cob_material_rules.h"

namespace {

constexpr size_t kLookShader = 2;  // the third of a shader box's four shaders
const char* const kRequiredParameters[] = {"diffuse factor", "specular factor", "specular colour"};

}  // namespace

CobMaterialChoice ChooseCobMaterial(const CobReader& reader, int32_t polyhedronId, int16_t materialNumber) {
    CobMaterialChoice choice;
    const CobMat1* material = reader.FindMaterial(polyhedronId, materialNumber);
    if (material == nullptr) {
        choice.error = "Could not find material";
        return choice;
    }
    const CobShBx* box = reader.FindShaderBox(material->id);
    if (box == nullptr) {
        choice.error = "Could not find shader";
        return choice;
    }
    const CobShader& shader = box->shaders[kLookShader];
    if (shader.name != "phong" && shader.name != "caligari phong") {
        choice.error = "Not a right shader (only phong and caligari phong are supported)";
        return choice;
    }
    for (const char* required : kRequiredParameters) {
        if (shader.FindParameter(required) == nullptr) {
            choice.error = "Not a right shader";
            return choice;
        }
    }
    choice.material = material;
    choice.diffuseFactor = shader.FindParameter("diffuse factor")->FloatValue();
    return choice;
}

std::string CobTextureFileName(const CobTextureMap& map) {
    const size_t slash = map.fileName.find_last_of("/\\");
    return slash == std::string::npos ? map.fileName : map.fileName.substr(slash + 1);
}
