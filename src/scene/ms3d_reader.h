#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/model.h"

// MilkShape 3D binary model files ("MS3D000000", version 3 and later): the static
// mesh only (vertices, triangles, groups, materials); joints and animation that
// follow the materials are not read.
//
// The result is already in the model's own types, so a model is filled by copying:
//  - vertices: the bone id (sign-extended) in `flags`, and x, y, z;
//  - triangles: the three normals, s as stored, t stored as 1 - t, the vertex indices;
//  - meshes: one per group, its material index (-1 for none) and triangle indices;
//  - materials: ambient, diffuse, specular, emission and shininess from the file,
//    base colour (1, 1, 1), texture 0, repeat (1, 1) and the texture file name, where a
//    name starting with ".\" is taken relative to the model file's directory.
// Every index the file holds is checked against its table, so the result can be
// drawn without further checks.
struct MilkshapeData {
    int32_t version = 0;
    std::vector<ModelVertex> vertices;
    std::vector<ModelTriangle> triangles;
    std::vector<ModelMesh> meshes;
    std::vector<ModelMaterial> materials;
    std::vector<std::string> groupNames;  // one per mesh, for tools; the game draws without them
};

// Reads the file at `path`. False when it cannot be opened, is not an MS3D file of
// version 3 or later, or is shorter than its counts announce (or names a vertex,
// triangle or material it does not have); `error` then gets the reason when given.
// Nothing is logged: the caller says what failed.
bool LoadMilkshape(const std::string& path, MilkshapeData& data, std::string* error = nullptr);

// The same for a file already in memory; `path` is where it came from, for the ".\" rule.
bool LoadMilkshapeFromMemory(const void* bytes, size_t size, const std::string& path, MilkshapeData& data,
                             std::string* error = nullptr);
