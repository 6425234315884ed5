#include "scene/model_manager.h"

#include <new>
#include <strings.h>

#include "base/report.h"
#include "scene/cob_model_builder.h"
#include "scene/ms3d_reader.h"

namespace {

bool EndsWithNoCase(const std::string& text, const char* ending) {
    size_t length = std::char_traits<char>::length(ending);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, ending) == 0;
}

}  // namespace

ModelObject* ModelManager::LoadModelFile(const std::string& path) {
    if (EndsWithNoCase(path, "ms3d")) return LoadMilkshapeModel(path);
    if (EndsWithNoCase(path, "cob")) return LoadCobModel(path);
    Report(LogModule::kDraw, LogLevel::kWarning, "Unsupported file format of %s", path.c_str());
    return nullptr;
}

ModelObject* ModelManager::AddObject(const std::string& name) {
    std::unique_ptr<ModelObject> object(new (std::nothrow) ModelObject(name));
    if (!object) return nullptr;
    object->model.textures = &textures_;
    objects_.push_back(std::move(object));
    return objects_.back().get();
}

ModelObject* ModelManager::LoadMilkshapeModel(const std::string& path) {
    ModelObject* object = AddObject(path);
    if (object == nullptr) {
        Report(LogModule::kDraw, LogLevel::kError, "not enough memory for %s", path.c_str());
        return nullptr;
    }
    Report(LogModule::kDraw, LogLevel::kInfo, "Loading %s", path.c_str());
    MilkshapeData data;
    if (!LoadMilkshape(path, data)) {
        Report(LogModule::kDraw, LogLevel::kWarning, "Failed to load %s", path.c_str());
        return object;
    }
    if (data.triangles.empty()) {
        Report(LogModule::kDraw, LogLevel::kWarning, "No faceso in %s", path.c_str());
        return object;
    }
    Model& model = object->model;
    model.vertices = std::move(data.vertices);
    model.triangles = std::move(data.triangles);
    model.meshes = std::move(data.meshes);
    model.materials = std::move(data.materials);
    model.RefreshTextures();
    model.PrepareDrawing();
    return object;
}

ModelObject* ModelManager::LoadCobModel(const std::string& path) {
    CobReader reader;
    if (!reader.Load(path)) return nullptr;
    const std::vector<CobPolH>& polyhedra = reader.Polyhedra();
    if (polyhedra.empty()) {
        Report(LogModule::kDraw, LogLevel::kWarning, "No poly was found in %s", path.c_str());
        return nullptr;
    }
    if (polyhedra.size() > 1)
        Report(LogModule::kDraw, LogLevel::kWarning, "More then one poly found loaded only first from %s",
               path.c_str());
    return BuildModel(reader, polyhedra.front());
}

ModelObject* ModelManager::BuildModel(const CobReader& reader, const CobPolH& polyhedron) {
    ModelObject* object = AddObject(polyhedron.name);
    if (object == nullptr) {
        Report(LogModule::kDraw, LogLevel::kError, "not enough memory for %s", polyhedron.name.c_str());
        return nullptr;
    }
    BuildCobModel(reader, polyhedron, &object->model);
    return object;
}

void ModelManager::Clear() {
    ClearCamerasAndLights();
    objects_.clear();
}
