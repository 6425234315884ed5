#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scene/cob_reader.h"
#include "scene/draw_manager.h"
#include "scene/model.h"

// Every drawable model of one scene (a level, or the menu background), with the scene's
// cameras and lights from its DrawManager base. Models are kept in load order and drawn
// in that order.
//
// The model list and the models' attached lists are shared with the drawing: code that
// changes them while frames may be drawn holds SceneLock(). The operations below do not
// take it themselves, so a level unload can hold it across Clear and its own work.
class ModelManager : public DrawManager {
public:
    // The models' textures come from `textures`, which must outlive the manager.
    explicit ModelManager(TextureManager& textures) : textures_(textures) {}

    // A model from an MS3D or COB file, chosen by the file name's ending (any case).
    // An unreadable MS3D file still gives a model, an empty one; other failures give
    // nullptr. The model stays owned by the manager.
    ModelObject* LoadModelFile(const std::string& path);

    // A model made from one polyhedron of a loaded scene, appended to the list.
    ModelObject* BuildModel(const CobReader& reader, const CobPolH& polyhedron);

    // Lights off, every model deleted, cameras and lights forgotten.
    void Clear();

    // Places the eye and the lights and draws every visible model, under the scene lock.
    // GL, on the drawing thread, inside the 3D pass of the frame.
    void DrawScene();

    const std::vector<std::unique_ptr<ModelObject>>& Objects() const { return objects_; }

private:
    ModelObject* LoadMilkshapeModel(const std::string& path);
    ModelObject* LoadCobModel(const std::string& path);
    ModelObject* AddObject(const std::string& name);

    TextureManager& textures_;
    std::vector<std::unique_ptr<ModelObject>> objects_;
};
