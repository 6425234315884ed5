#include "base/report.h"
#include "inspection.h"
#include "scene/model.h"
#include "scene/ms3d_reader.h"

Inspection InspectMilkshape(const std::string& path) {
    Inspection inspection;
    inspection.details.Set("file", ReportValue::Text(path)).Set("kind", ReportValue::Text("MS3D model"));
    LogWatch watch;
    MilkshapeData data;
    std::string error;
    inspection.loads = LoadMilkshape(path, data, &error);
    inspection.details.Set("loads", ReportValue::Bool(inspection.loads));
    if (!inspection.loads) {
        inspection.reason = error;
    } else if (data.triangles.empty()) {
        // The game keeps such a model but has nothing to draw.
        Report(LogModule::kDraw, LogLevel::kWarning, "No faceso in %s", path.c_str());
    }
    inspection.details.Set("version", ReportValue::Integer(data.version))
        .Set("vertices", ReportValue::Integer(static_cast<int64_t>(data.vertices.size())))
        .Set("triangles", ReportValue::Integer(static_cast<int64_t>(data.triangles.size())));

    ReportValue groups = ReportValue::List();
    for (size_t i = 0; i < data.meshes.size(); ++i) {
        ReportValue group = ReportValue::Object();
        group.Set("name", ReportValue::Text(data.groupNames[i]))
            .Set("triangles", ReportValue::Integer(static_cast<int64_t>(data.meshes[i].triangleIndices.size())))
            .Set("material", ReportValue::Integer(data.meshes[i].materialIndex));
        groups.Push(std::move(group));
    }
    inspection.details.Set("groups", std::move(groups));

    // Textures are looked up as the game's model refresh does.
    InspectorTextures textures(DirectoryOf(path));
    Model model;
    model.textures = &textures;
    model.materials = data.materials;
    model.RefreshTextures();
    ReportValue materials = ReportValue::List();
    for (const ModelMaterial& material : model.materials) {
        ReportValue entry = ReportValue::Object();
        entry.Set("texture", ReportValue::Text(material.textureFile));
        if (!material.textureFile.empty()) entry.Set("found", ReportValue::Bool(material.texture != 0));
        materials.Push(std::move(entry));
    }
    inspection.details.Set("materials", std::move(materials));
    SettleVerdict(inspection, watch);
    inspection.details.Set("problems", watch.ProblemList());
    return inspection;
}
