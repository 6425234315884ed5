#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/vec3.h"
#include "scene/closed_surface.h"

// A drawable triangle mesh with per-mesh materials, ready for fixed-function drawing.
// Angles are degrees, lengths scene units. The record itself holds no GL state beyond
// texture names, so the game rules can move, hide and attach models without a GPU.

struct ModelVertex {
    uint16_t flags = 0;  // bone field of MS3D files, 0 for COB models; drawing ignores it
    float x = 0, y = 0, z = 0;
};

class TextureManager;

struct ModelTriangle {
    float normals[3][3] = {};
    float s[3] = {};
    float t[3] = {};
    uint32_t vertexIndices[3] = {};
};

// One corner of a mesh's triangles as drawing hands it to the GL's array pointers.
struct ModelCorner {
    float s = 0, t = 0;
    float normal[3] = {};
    float x = 0, y = 0, z = 0;
};

struct ModelMesh {
    int32_t materialIndex = -1;             // negative: no material
    std::vector<uint32_t> triangleIndices;  // into Model::triangles
    // The corners of the drawable triangles in order, laid out by PrepareDrawing.
    std::vector<ModelCorner> corners;
};

struct ModelMaterial {
    float baseColour[3] = {1, 1, 1};
    Colour ambient, diffuse, specular, emission;
    float shininess = 0;
    unsigned int texture = 0;  // GL texture name from the texture manager, 0 untextured
    std::string textureFile;
    float repeatU = 1, repeatV = 1;
};

class Model {
public:
    virtual ~Model() = default;

    // Draws the model and its children; an attachedOnly model draws only when forced
    // (through its owner's attached list). Defined with the drawing code.
    void Draw(bool force = false) const;

    // Asks `textures` again for every material's texture (0 for materials without a
    // texture file, and for all without a texture manager); run after every build.
    void RefreshTextures();
    // Lays every mesh's triangles out for drawing, once, so that a frame only hands
    // them over, and finds out whether they may be drawn with back faces culled; run
    // after every build. Only this model, not its children.
    void PrepareDrawing();
    // The second half of PrepareDrawing, for builders that lay the corners out themselves
    // and measure them as they go: sets bounds, and outsideWinding from the meshes' corners.
    void SetShape(const EdgeBalance& balance, const Bounds& box);
    // The triangles the meshes draw, this model's only.
    size_t DrawnTriangleCount() const;

    Vec3 location;
    std::vector<ModelMesh> meshes;
    std::vector<ModelMaterial> materials;
    std::vector<ModelTriangle> triangles;  // as read from MS3D files; COB builds lay out corners only
    std::vector<Model> children;
    std::vector<Model*> attached;  // referenced, not owned
    std::vector<ModelVertex> vertices;
    std::string name;
    Vec3 rotation;
    Vec3 scale{1, 1, 1};
    bool attachedOnly = false;
    bool visible = true;
    // Set by PrepareDrawing: how the meshes together wind seen from outside, if they
    // close around their inside, and the box they lie in (model units, before scaling).
    SurfaceWinding outsideWinding = SurfaceWinding::kOpen;
    Bounds bounds;
    TextureManager* textures = nullptr;  // the scene's, lent by the model manager
};

// How a scene keeps a model: the manager owns a list of these, each owning one model.
class ModelObject {
public:
    ModelObject() = default;
    explicit ModelObject(std::string name) { model.name = std::move(name); }
    virtual ~ModelObject() = default;
    ModelObject(const ModelObject&) = delete;
    ModelObject& operator=(const ModelObject&) = delete;

    // Draws the model on its own (not forced).
    virtual void Draw() const { model.Draw(false); }

    Model model;
};
