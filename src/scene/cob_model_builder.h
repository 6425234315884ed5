#pragma once

#include "base/vec3.h"
#include "scene/cob_reader.h"
#include "scene/model.h"

// Location, rotation (degrees, each in [0, 360)) and scale of a polyhedron, taken apart
// from its position matrix the way the modeller put them together.
struct PositionParts {
    Vec3 location;
    Vec3 rotation;
    Vec3 scale{1, 1, 1};
};

// Logs the three parts.
PositionParts DecomposePositionMatrix(const CobPositionMatrix& matrix);

// Fills `model` from one polyhedron: vertices with the scale baked in, fan triangles with
// one flat normal each laid out straight into the drawing corners (a COB model keeps no
// `triangles`), one mesh per run of faces of one material, and the phong materials of
// the scene that the faces name. Faces whose material cannot be made are skipped with an error line; the
// rest of the model is still built.
void BuildCobModel(const CobReader& reader, const CobPolH& polyhedron, Model* model);
