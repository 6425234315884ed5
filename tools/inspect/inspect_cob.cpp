#include <set>

#include "inspection.h"
#include "scene/cob_model_builder.h"
#include "scene/cob_reader.h"
#include "scene/model.h"

namespace {

ReportValue Integer(size_t value) { return ReportValue::Integer(static_cast<int64_t>(value)); }
ReportValue Text(const std::string& value) { return ReportValue::Text(value); }
ReportValue Position(const Vec3& v) { return ReportValue::Vector(v.x, v.y, v.z); }

ReportValue RecordCounts(const CobReader& reader) {
    ReportValue counts = ReportValue::Object();
    counts.Set("PolH", Integer(reader.Polyhedra().size()))
        .Set("Mat1", Integer(reader.Materials().size()))
        .Set("ShBx", Integer(reader.ShaderBoxes().size()))
        .Set("NCur", Integer(reader.Curves().size()))
        .Set("Came", Integer(reader.Cameras().size()))
        .Set("Lght", Integer(reader.Lights().size()))
        .Set("Grou", Integer(reader.Groups().size()))
        .Set("Note", Integer(reader.Notes().size()));
    return counts;
}

ReportValue Polyhedra(const CobReader& reader) {
    ReportValue list = ReportValue::List();
    for (const CobPolH& polh : reader.Polyhedra()) {
        size_t holes = 0;
        for (const CobFace& face : polh.faces) holes += face.IsHole() ? 1 : 0;
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(polh.name))
            .Set("vertices", Integer(polh.vertices.size()))
            .Set("faces", Integer(polh.faces.size()))
            .Set("holes", Integer(holes));
        list.Push(std::move(entry));
    }
    return list;
}

ReportValue Cameras(const CobReader& reader) {
    ReportValue list = ReportValue::List();
    for (const CobCame& camera : reader.Cameras()) {
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(camera.name)).Set("location", Position(camera.localAxes.centre));
        list.Push(std::move(entry));
    }
    return list;
}

const char* LightKind(int16_t type) {
    switch (type) {
        case 1: return "directional";
        case 2: return "positional";
        case 4: return "spot";
        default: return "not used by the game";
    }
}

ReportValue Lights(const CobReader& reader) {
    ReportValue list = ReportValue::List();
    for (const CobLght& light : reader.Lights()) {
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(light.name))
            .Set("type", ReportValue::Integer(light.lightType))
            .Set("kind", Text(LightKind(light.lightType)))
            .Set("location", Position(light.localAxes.centre))
            .Set("colour", ReportValue::Vector(light.red, light.green, light.blue));
        list.Push(std::move(entry));
    }
    return list;
}

ReportValue Curves(const CobReader& reader) {
    ReportValue list = ReportValue::List();
    for (const CobNCur& curve : reader.Curves()) {
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(curve.name))
            .Set("controlPoints", Integer(curve.controlPoints.size()))
            .Set("order", ReportValue::Integer(curve.order))
            .Set("closed", ReportValue::Bool(curve.IsClosed()))
            .Set("rational", ReportValue::Bool(curve.IsRational()));
        list.Push(std::move(entry));
    }
    return list;
}

ReportValue Names(const std::vector<CobGrou>& groups) {
    ReportValue list = ReportValue::List();
    for (const CobGrou& group : groups) list.Push(Text(group.name));
    return list;
}

ReportValue Notes(const std::vector<CobNote>& notes) {
    ReportValue list = ReportValue::List();
    for (const CobNote& note : notes) list.Push(Text(note.name));
    return list;
}

// One model per polyhedron, built exactly as a level load builds it.
ReportValue Build(const CobReader& reader, TextureManager& textureManager) {
    size_t triangles = 0, meshes = 0, materials = 0;
    std::set<std::string> texturesFound, texturesMissing;
    ReportValue models = ReportValue::List();
    for (const CobPolH& polh : reader.Polyhedra()) {
        Model model;
        model.textures = &textureManager;
        BuildCobModel(reader, polh, &model);
        ReportValue textures = ReportValue::List();
        for (const ModelMaterial& material : model.materials) {
            if (material.textureFile.empty()) continue;
            textures.Push(Text(material.textureFile));
            (material.texture != 0 ? texturesFound : texturesMissing).insert(material.textureFile);
        }
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(model.name))
            .Set("triangles", Integer(model.DrawnTriangleCount()))
            .Set("meshes", Integer(model.meshes.size()))
            .Set("materials", Integer(model.materials.size()))
            .Set("textures", std::move(textures))
            .Set("location", Position(model.location))
            .Set("rotation", Position(model.rotation));
        models.Push(std::move(entry));
        triangles += model.DrawnTriangleCount();
        meshes += model.meshes.size();
        materials += model.materials.size();
    }
    ReportValue found = ReportValue::List(), missing = ReportValue::List();
    for (const std::string& name : texturesFound) found.Push(Text(name));
    for (const std::string& name : texturesMissing) missing.Push(Text(name));
    ReportValue build = ReportValue::Object();
    build.Set("models", std::move(models))
        .Set("triangles", Integer(triangles))
        .Set("meshes", Integer(meshes))
        .Set("materials", Integer(materials))
        .Set("texturesFound", std::move(found))
        .Set("texturesMissing", std::move(missing));
    return build;
}

}  // namespace

Inspection InspectCob(const std::string& path) {
    Inspection inspection;
    inspection.details.Set("file", Text(path)).Set("kind", Text("COB scene"));
    LogWatch watch;
    CobReader reader;
    try {
        inspection.loads = reader.Load(path);
        if (!inspection.loads)
            inspection.reason = !reader.LastError().empty() ? reader.LastError()
                                : !watch.Problems().empty() ? watch.Problems().back()
                                                            : "the file cannot be read";
    } catch (const FatalStop& stop) {
        inspection.loads = false;
        inspection.reason = "the game would stop: " + stop.message;
    }
    inspection.details.Set("loads", ReportValue::Bool(inspection.loads))
        .Set("records", RecordCounts(reader))
        .Set("polyhedra", Polyhedra(reader))
        .Set("cameras", Cameras(reader))
        .Set("lights", Lights(reader))
        .Set("curves", Curves(reader))
        .Set("groups", Names(reader.Groups()))
        .Set("notes", Notes(reader.Notes()));
    if (inspection.loads) {
        InspectorTextures textures(DirectoryOf(path));
        inspection.details.Set("build", Build(reader, textures));
    }
    SettleVerdict(inspection, watch);
    inspection.details.Set("problems", watch.ProblemList());
    return inspection;
}
