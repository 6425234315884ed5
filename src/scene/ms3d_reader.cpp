#include "scene/ms3d_reader.h"

#include <cstring>

#include "base/byte_reader.h"
#include "scene/file_bytes.h"

namespace {

constexpr char kMagic[] = "MS3D000000";
constexpr size_t kMagicLength = 10;
constexpr int32_t kOldestVersion = 3;
constexpr size_t kVertexSize = 15;
constexpr size_t kTriangleSize = 70;
constexpr size_t kMaterialSize = 361;
constexpr size_t kNameLength = 32;
constexpr size_t kFileNameLength = 128;

bool Refuse(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

// A count followed by that many records of at least `recordSize` bytes each.
bool ReadCount(ByteReader& bytes, size_t recordSize, uint16_t& count) {
    count = bytes.U16();
    return bytes.CanRead(count, recordSize);
}

void ReadVertices(ByteReader& bytes, uint16_t count, std::vector<ModelVertex>& vertices) {
    vertices.resize(count);
    for (ModelVertex& vertex : vertices) {
        bytes.Skip(1);  // flags
        vertex.x = bytes.F32();
        vertex.y = bytes.F32();
        vertex.z = bytes.F32();
        vertex.flags = static_cast<uint16_t>(int16_t{bytes.I8()});  // bone id, -1 for none
        bytes.Skip(1);                                              // reference count
    }
}

bool ReadTriangles(ByteReader& bytes, uint16_t count, size_t vertexCount, std::vector<ModelTriangle>& triangles,
                   std::string* error) {
    triangles.resize(count);
    for (size_t i = 0; i < triangles.size(); ++i) {
        ModelTriangle& triangle = triangles[i];
        bytes.Skip(2);  // flags
        for (uint32_t& index : triangle.vertexIndices) {
            index = bytes.U16();
            if (index >= vertexCount)
                return Refuse(error, "triangle " + std::to_string(i) + " uses vertex " + std::to_string(index) +
                                         " of " + std::to_string(vertexCount));
        }
        for (auto& normal : triangle.normals)
            for (float& component : normal) component = bytes.F32();
        for (float& s : triangle.s) s = bytes.F32();
        for (float& t : triangle.t) t = 1.0f - bytes.F32();
        bytes.Skip(2);  // smoothing group, group index
    }
    return true;
}

// Fixed-width names end at their first zero byte or at the field's end.
std::string FixedName(const uint8_t* field, size_t width) {
    if (field == nullptr) return std::string();
    const auto* end = static_cast<const uint8_t*>(std::memchr(field, 0, width));
    return std::string(reinterpret_cast<const char*>(field), end ? static_cast<size_t>(end - field) : width);
}

bool ReadGroups(ByteReader& bytes, uint16_t count, size_t triangleCount, MilkshapeData& data, std::string* error) {
    data.meshes.resize(count);
    data.groupNames.resize(count);
    for (size_t i = 0; i < data.meshes.size(); ++i) {
        ModelMesh& mesh = data.meshes[i];
        bytes.Skip(1);  // flags
        data.groupNames[i] = FixedName(bytes.Take(kNameLength), kNameLength);
        const uint16_t indexCount = bytes.U16();
        if (!bytes.CanRead(indexCount, 2)) return Refuse(error, "group " + std::to_string(i) + " is cut short");
        mesh.triangleIndices.resize(indexCount);
        for (uint32_t& index : mesh.triangleIndices) {
            index = bytes.U16();
            if (index >= triangleCount)
                return Refuse(error, "group " + std::to_string(i) + " uses triangle " + std::to_string(index) + " of " +
                                         std::to_string(triangleCount));
        }
        mesh.materialIndex = bytes.I8();
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A name starting with ".\" is relative to the model file's directory.
std::string TextureFileName(const std::string& stored, const std::string& modelPath) {
    const std::string directory = DirectoryOf(modelPath);
    if (stored.compare(0, 2, ".\\") != 0 || directory.empty()) return stored;
    return directory + stored.substr(1);
}

Colour ReadColour(ByteReader& bytes) {
    Colour colour;
    colour.r = bytes.F32();
    colour.g = bytes.F32();
    colour.b = bytes.F32();
    colour.a = bytes.F32();
    return colour;
}

void ReadMaterials(ByteReader& bytes, uint16_t count, const std::string& modelPath,
                   std::vector<ModelMaterial>& materials) {
    materials.resize(count);
    for (ModelMaterial& material : materials) {
        bytes.Skip(kNameLength);
        material.ambient = ReadColour(bytes);
        material.diffuse = ReadColour(bytes);
        material.specular = ReadColour(bytes);
        material.emission = ReadColour(bytes);
        material.shininess = bytes.F32();
        bytes.Skip(4 + 1);  // transparency, mode
        material.textureFile = TextureFileName(FixedName(bytes.Take(kFileNameLength), kFileNameLength), modelPath);
        bytes.Skip(kFileNameLength);  // alpha map
    }
}

bool ReadModel(ByteReader& bytes, const std::string& path, MilkshapeData& data, std::string* error) {
    const uint8_t* magic = bytes.Take(kMagicLength);
    if (magic == nullptr || std::memcmp(magic, kMagic, kMagicLength) != 0) return Refuse(error, "not an MS3D file");
    data.version = bytes.I32();
    if (!bytes.Ok()) return Refuse(error, "not an MS3D file");
    if (data.version < kOldestVersion)
        return Refuse(error, "MS3D version " + std::to_string(data.version) + " is older than 3");

    uint16_t count = 0;
    if (!ReadCount(bytes, kVertexSize, count)) return Refuse(error, "the vertices are cut short");
    ReadVertices(bytes, count, data.vertices);
    if (!ReadCount(bytes, kTriangleSize, count)) return Refuse(error, "the triangles are cut short");
    if (!ReadTriangles(bytes, count, data.vertices.size(), data.triangles, error)) return false;
    // The smallest group has no triangles: flags, name, count and material index.
    if (!ReadCount(bytes, 1 + kNameLength + 2 + 1, count)) return Refuse(error, "the groups are cut short");
    if (!ReadGroups(bytes, count, data.triangles.size(), data, error)) return false;
    if (!ReadCount(bytes, kMaterialSize, count)) return Refuse(error, "the materials are cut short");
    ReadMaterials(bytes, count, path, data.materials);
    if (!bytes.Ok()) return Refuse(error, "the file is cut short");

    for (size_t i = 0; i < data.meshes.size(); ++i) {
        const int32_t material = data.meshes[i].materialIndex;
        if (material >= 0 && static_cast<size_t>(material) >= data.materials.size())
            return Refuse(error, "group " + std::to_string(i) + " uses material " + std::to_string(material) + " of " +
                                     std::to_string(data.materials.size()));
    }
    return true;
}

}  // namespace

bool LoadMilkshapeFromMemory(const void* bytes, size_t size, const std::string& path, MilkshapeData& data,
                             std::string* error) {
    data = MilkshapeData();
    ByteReader reader(bytes, size);
    if (ReadModel(reader, path, data, error)) return true;
    data = MilkshapeData();  // nothing half-read is handed out
    return false;
}

bool LoadMilkshape(const std::string& path, MilkshapeData& data, std::string* error) {
    std::vector<uint8_t> content;
    if (!ReadWholeFile(path, content)) {
        data = MilkshapeData();
        return Refuse(error, "cannot open " + path);
    }
    return LoadMilkshapeFromMemory(content.data(), content.size(), path, data, error);
}
