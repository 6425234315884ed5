#pragma once

#include <cstdint>
#include <string>

#include "scene/cob_reader.h"

// Which COB material a face of a polyhedron is drawn with. A face's material number k
// names the Mat1 record with that number owned by the polyhedron; its look comes
// from the shader box owned by that Mat1, whose third shader must be a phong shader
// with the diffuse factor, specular factor and specular colour parameters.
struct CobMaterialChoice {
    const CobMat1* material = nullptr;  // set when the material can be used
    float diffuseFactor = 0;
    std::string error;  // why it cannot, as the log line says it
};

CobMaterialChoice ChooseCobMaterial(const CobReader& reader, int32_t polyhedronId, int16_t materialNumber);

// A texture map's file name without its directory (after the last '/' or '\').
std::string CobTextureFileName(const CobTextureMap& map);
