#include "scene/cob_reader.h"

#include <cstring>
#include <fstream>
#include <string>

#include "base/byte_reader.h"
#include "base/report.h"
#include "scene/file_bytes.h"

namespace {

constexpr size_t kFileHeaderSize = 32;
constexpr char kSignature[] = "Caligari ";
constexpr char kVersion[] = "V00.01";

struct ChunkHeader {
    std::string type;
    int16_t majorVersion = 0;
    int16_t minorVersion = 0;
    int32_t id = 0;
    int32_t parentId = 0;
    int32_t size = 0;
};

// A record reader either completes its record, runs out of file (the load then ends
// well with the records completed so far) or refuses the file.
enum class RecordResult { kComplete, kShortRead, kRefused };

RecordResult Finished(const ByteReader& bytes) {
    return bytes.Ok() ? RecordResult::kComplete : RecordResult::kShortRead;
}

// Counts in the file are signed; a negative one means no items, and a count the rest of
// the file cannot hold ends the body early without allocating anything.
bool CountFits(ByteReader& bytes, int64_t count, size_t itemSize) {
    if (count <= 0) return true;
    if (bytes.CanRead(static_cast<uint64_t>(count), itemSize)) return true;
    bytes.Fail();
    return false;
}

std::string ReadName(ByteReader& bytes) {
    int16_t length = bytes.I16();
    return length > 0 ? bytes.String(static_cast<size_t>(length)) : std::string();
}

Vec3 ReadVec3(ByteReader& bytes) {
    Vec3 v;
    v.x = bytes.F32();
    v.y = bytes.F32();
    v.z = bytes.F32();
    return v;
}

// `loadingPrefix`, when given, is logged followed by the name as soon as the name is read.
void ReadObjectStart(ByteReader& bytes, const ChunkHeader& header, CobObjectRecord& record,
                     const char* loadingPrefix = nullptr) {
    record.id = header.id;
    record.parentId = header.parentId;
    record.duplicateCount = bytes.I16();
    record.name = ReadName(bytes);
    if (loadingPrefix != nullptr && bytes.Ok())
        Report(LogModule::kModel, LogLevel::kInfo, "%s%s", loadingPrefix, record.name.c_str());
    CobLocalAxes& axes = record.localAxes;
    axes.centre = ReadVec3(bytes);
    axes.xAxis = ReadVec3(bytes);
    axes.yAxis = ReadVec3(bytes);
    axes.zAxis = ReadVec3(bytes);
    for (auto& row : record.positionMatrix.rows)
        for (float& value : row) value = bytes.F32();
}

bool ReadFace(ByteReader& bytes, CobFace& face) {
    face.flags = bytes.U8();
    int16_t cornerCount = bytes.I16();
    if (!face.IsHole()) face.materialIndex = bytes.I16();
    if (!CountFits(bytes, cornerCount, 8)) return false;
    face.corners.resize(cornerCount > 0 ? static_cast<size_t>(cornerCount) : 0);
    for (CobFaceCorner& corner : face.corners) {
        corner.vertexIndex = bytes.I32();
        corner.textureVertexIndex = bytes.I32();
    }
    return bytes.Ok();
}

RecordResult ReadPolH(ByteReader& bytes, const ChunkHeader& header, CobPolH& polh) {
    Report(LogModule::kModel, LogLevel::kInfo, "Loading PolH");
    ReadObjectStart(bytes, header, polh);

    int32_t vertexCount = bytes.I32();
    if (!CountFits(bytes, vertexCount, 12)) return RecordResult::kShortRead;
    polh.vertices.resize(vertexCount > 0 ? static_cast<size_t>(vertexCount) : 0);
    for (Vec3& vertex : polh.vertices) vertex = ReadVec3(bytes);

    int32_t textureVertexCount = bytes.I32();
    if (!CountFits(bytes, textureVertexCount, 8)) return RecordResult::kShortRead;
    polh.textureVertices.resize(textureVertexCount > 0 ? static_cast<size_t>(textureVertexCount) : 0);
    for (CobTextureVertex& tv : polh.textureVertices) {
        tv.u = bytes.F32();
        tv.v = bytes.F32();
    }

    int32_t faceCount = bytes.I32();
    // The smallest face is a hole without corners: 3 bytes.
    if (!CountFits(bytes, faceCount, 3)) return RecordResult::kShortRead;
    for (int32_t i = 0; i < faceCount; ++i) {
        polh.faces.emplace_back();
        if (!ReadFace(bytes, polh.faces.back())) return RecordResult::kShortRead;
    }

    if (header.minorVersion >= 5) polh.drawFlags = bytes.I32();
    if (header.minorVersion == 6 || header.minorVersion == 7) polh.radiosityQuality = bytes.I16();
    if (!bytes.Ok()) return RecordResult::kShortRead;
    Report(LogModule::kModel, LogLevel::kInfo, "Loaded PolH '%s', Faces=%d, Vertices=%d", polh.name.c_str(),
           static_cast<int>(polh.faces.size()), static_cast<int>(polh.vertices.size()));
    return RecordResult::kComplete;
}

void ReadMapPlacement(ByteReader& bytes, float& uOffset, float& vOffset, float& uRepeats, float& vRepeats) {
    uOffset = bytes.F32();
    vOffset = bytes.F32();
    uRepeats = bytes.F32();
    vRepeats = bytes.F32();
}

// Sub-records follow the material values, each announced by a two-character tag; the
// first byte that announces none is left for the next chunk header.
void ReadMat1SubRecords(ByteReader& bytes, CobMat1& material) {
    while (bytes.CanRead(1)) {
        const char tag = static_cast<char>(bytes.U8());
        if (tag != 'e' && tag != 't' && tag != 'b') {
            bytes.Seek(bytes.Position() - 1);
            return;
        }
        bytes.Skip(1);
        if (tag == 'e') {
            Report(LogModule::kModel, LogLevel::kWarning, "This section wasn't checked for correct loading!");
            CobEnvironmentMap map;
            map.flags = bytes.U8();
            map.fileName = ReadName(bytes);
            if (!bytes.Ok()) return;
            material.environmentMap = map;
        } else if (tag == 't') {
            CobTextureMap map;
            map.flags = bytes.U8();
            map.fileName = ReadName(bytes);
            ReadMapPlacement(bytes, map.uOffset, map.vOffset, map.uRepeats, map.vRepeats);
            if (!bytes.Ok()) return;
            Report(LogModule::kModel, LogLevel::kInfo, "Got information for texture %s!", map.fileName.c_str());
            material.textureMap = map;
        } else {
            Report(LogModule::kModel, LogLevel::kWarning, "This section wasn't checked for correct loading!");
            CobBumpMap map;
            map.flags = bytes.U8();
            map.fileName = ReadName(bytes);
            ReadMapPlacement(bytes, map.uOffset, map.vOffset, map.uRepeats, map.vRepeats);
            map.amplitude = bytes.F32();
            if (!bytes.Ok()) return;
            material.bumpMap = map;
        }
    }
}

RecordResult ReadMat1(ByteReader& bytes, const ChunkHeader& header, CobMat1& material) {
    Report(LogModule::kModel, LogLevel::kInfo, "Loading Mat1");
    material.id = header.id;
    material.parentId = header.parentId;
    material.materialNumber = bytes.I16();
    material.shaderType = bytes.U8();
    material.facetType = bytes.U8();
    material.autoFacetAngle = bytes.U8();
    material.red = bytes.F32();
    material.green = bytes.F32();
    material.blue = bytes.F32();
    material.alpha = bytes.F32();
    material.ka = bytes.F32();
    material.ks = bytes.F32();
    material.exp = bytes.F32();
    material.ior = bytes.F32();
    if (!bytes.Ok()) return RecordResult::kShortRead;
    ReadMat1SubRecords(bytes, material);
    return Finished(bytes);
}

// Bytes of a parameter value by type code; -1 for a name, -2 for a code we cannot read.
constexpr int kNameValue = -1;
constexpr int kUnknownValue = -2;

int ParameterValueSize(int32_t type) {
    switch (type) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 6: return 4;
        case 4: return 8;
        case 7:
        case 8:
        case 9: return 12;
        case kCobParameterName: return kNameValue;
        case kCobParameterByteFlag: return 1;
        case 33:
        case 34: return 2;
        case 45: return 1;
        case 49: return 16;
        default: return kUnknownValue;
    }
}

// False when the parameter cannot be read on; the fatal report has then been made.
bool ReadShaderParameter(ByteReader& bytes, CobShaderParameter& parameter) {
    parameter.name = ReadName(bytes);
    parameter.type = bytes.I32();
    if (!bytes.Ok()) return false;
    const int size = ParameterValueSize(parameter.type);
    if (size == kUnknownValue) {
        Report(LogModule::kModel, LogLevel::kFatal, "Unknown type of the parameter");
        return false;
    }
    if (size == kNameValue) {
        std::string text = ReadName(bytes);
        parameter.value.assign(text.begin(), text.end());
    } else {
        const uint8_t* value = bytes.Take(static_cast<size_t>(size));
        if (value == nullptr) return false;
        parameter.value.assign(value, value + size);
    }
    if (parameter.type == kCobParameterByteFlag && parameter.value[0] == 1) {
        Report(LogModule::kModel, LogLevel::kFatal, "Shader value is not supported");
        return false;
    }
    return bytes.Ok();
}

bool ReadShader(ByteReader& bytes, CobShader& shader) {
    shader.shaderClass = bytes.U8();
    shader.name = ReadName(bytes);
    const uint8_t parameterCount = bytes.U8();
    bytes.Skip(3);
    if (!bytes.Ok()) return false;
    shader.parameters.resize(parameterCount);
    for (CobShaderParameter& parameter : shader.parameters)
        if (!ReadShaderParameter(bytes, parameter)) return false;
    shader.flags = bytes.U8();
    bytes.Skip(1);
    return bytes.Ok();
}

RecordResult ReadShBx(ByteReader& bytes, const ChunkHeader& header, CobShBx& box) {
    Report(LogModule::kModel, LogLevel::kInfo, "Loading Shader");
    box.id = header.id;
    box.parentId = header.parentId;
    for (CobShader& shader : box.shaders) {
        // With bytes left, only a refused parameter stops a shader; its value's size is
        // unknown, so nothing after it can be read.
        if (!ReadShader(bytes, shader)) return bytes.Ok() ? RecordResult::kRefused : RecordResult::kShortRead;
    }
    return RecordResult::kComplete;
}

RecordResult ReadNCur(ByteReader& bytes, const ChunkHeader& header, CobNCur& curve) {
    ReadObjectStart(bytes, header, curve);
    curve.flags = bytes.I32();
    if (bytes.Ok() && !curve.IsClosed() && !curve.IsRational())
        Report(LogModule::kModel, LogLevel::kWarning, "Curve should be closed or rational");
    curve.order = bytes.I32();
    const int32_t pointCount = bytes.I32();
    const size_t pointSize = curve.IsRational() ? 16 : 12;
    if (!CountFits(bytes, pointCount, pointSize)) return RecordResult::kShortRead;
    curve.controlPoints.resize(pointCount > 0 ? static_cast<size_t>(pointCount) : 0);
    for (CobControlPoint& point : curve.controlPoints) {
        point.position = ReadVec3(bytes);
        if (curve.IsRational()) point.weight = bytes.F32();
    }
    if (pointCount >= curve.order) {
        const int64_t knotCount = int64_t{pointCount} + curve.order;
        if (!CountFits(bytes, knotCount, 4)) return RecordResult::kShortRead;
        curve.knots.resize(knotCount > 0 ? static_cast<size_t>(knotCount) : 0);
        for (float& knot : curve.knots) knot = bytes.F32();
    }
    curve.trailer = bytes.U32();
    if (!bytes.Ok()) return RecordResult::kShortRead;
    Report(LogModule::kModel, LogLevel::kInfo, "Loaded %d control Points", static_cast<int>(pointCount));
    return RecordResult::kComplete;
}

RecordResult ReadCame(ByteReader& bytes, const ChunkHeader& header, CobCame& camera) {
    ReadObjectStart(bytes, header, camera, "Loading Camera: ");
    camera.cameraType = bytes.I16();
    if (!bytes.Ok()) return RecordResult::kShortRead;
    if (camera.cameraType != kCobStandardCamera) {
        Report(LogModule::kModel, LogLevel::kWarning, "Can load only standard camera");
        return RecordResult::kRefused;
    }
    return RecordResult::kComplete;
}

// Fields that later versions of the light chunk added; read past, not kept.
void SkipLightVersionFields(ByteReader& bytes, int16_t minor) {
    if (minor >= 5) ReadName(bytes);
    if (minor >= 7) bytes.Skip(2);
    if (minor >= 9) {
        bytes.Skip(2);
        ReadName(bytes);
        bytes.Skip(4);
        ReadName(bytes);
        bytes.Skip(28);
    }
    if (minor >= 10) bytes.Skip(4);
    if (minor >= 11) bytes.Skip(6);
}

RecordResult ReadLght(ByteReader& bytes, const ChunkHeader& header, CobLght& light) {
    ReadObjectStart(bytes, header, light, "Loading light: ");
    const int16_t minor = header.minorVersion;
    light.lightType = bytes.I16();
    light.shadowFlags = bytes.I16();
    if (light.shadowFlags & 1) {
        bytes.Skip(4);
        if (minor >= 4) bytes.Skip(2);
        if (minor >= 7) bytes.Skip(2);
        if (minor >= 8) bytes.Skip(2);
    }
    light.red = bytes.F32();
    light.green = bytes.F32();
    light.blue = bytes.F32();
    light.spotCutoff = bytes.F32();
    light.secondAngle = bytes.F32();
    bytes.Skip(2);
    SkipLightVersionFields(bytes, minor);
    return Finished(bytes);
}

RecordResult ReadGrou(ByteReader& bytes, const ChunkHeader& header, CobGrou& group) {
    ReadObjectStart(bytes, header, group, "Loading Group ");
    return Finished(bytes);
}

RecordResult ReadNote(ByteReader& bytes, const ChunkHeader& header, CobNote& note) {
    Report(LogModule::kModel, LogLevel::kInfo, "Loading Note");
    note.id = header.id;
    note.parentId = header.parentId;
    note.name = ReadName(bytes);
    return Finished(bytes);
}

// Reads one record into a fresh element and keeps it only when it is complete.
template <typename Record>
RecordResult ReadInto(ByteReader& bytes, const ChunkHeader& header, std::vector<Record>& list,
                      RecordResult (*read)(ByteReader&, const ChunkHeader&, Record&)) {
    Record record;
    const RecordResult result = read(bytes, header, record);
    if (result == RecordResult::kComplete) list.push_back(std::move(record));
    return result;
}

struct AcceptedVersion {
    const char* type;
    int16_t maxMajor;
    int16_t maxMinor;
};

constexpr AcceptedVersion kAcceptedVersions[] = {
    {"END ", 1, 0},  {"PolH", 0, 8}, {"Mat1", 0, 6}, {"NCur", 0, 2}, {"Came", 0, 2},
    {"Lght", 0, 12}, {"Grou", 0, 1}, {"ShBx", 0, 4}, {"Note", 0, 1},
};

bool IsAccepted(const ChunkHeader& header) {
    for (const AcceptedVersion& accepted : kAcceptedVersions) {
        if (header.type != accepted.type) continue;
        // Versions compare as signed numbers: only one above the limit is unknown to us.
        return header.majorVersion <= accepted.maxMajor && header.minorVersion <= accepted.maxMinor;
    }
    return false;
}

ChunkHeader ReadChunkHeader(ByteReader& bytes) {
    ChunkHeader header;
    header.type = bytes.String(4);
    header.majorVersion = bytes.I16();
    header.minorVersion = bytes.I16();
    header.id = bytes.I32();
    header.parentId = bytes.I32();
    header.size = bytes.I32();
    return header;
}

// The chunks' sizes lead from the file header to the end of the file or to an "END "
// chunk; a file cut short, even by its last byte, fails here before any record is
// read. Empty when they do, else where the file ends too early.
std::string CutShortAt(ByteReader bytes) {
    while (!bytes.AtEnd()) {
        const size_t at = bytes.Position();
        const ChunkHeader header = ReadChunkHeader(bytes);
        if (!bytes.Ok()) return "the file ends inside the chunk header at byte " + std::to_string(at);
        if (IsAccepted(header) && header.type == "END ") return std::string();
        // A negative size has no body, as when the chunk is skipped.
        const size_t size = header.size > 0 ? static_cast<size_t>(header.size) : 0;
        if (bytes.Remaining() < size)
            return "the file ends inside the " + header.type + " chunk at byte " + std::to_string(at) + ", " +
                   std::to_string(bytes.Remaining()) + " of its " + std::to_string(size) + " bytes are there";
        bytes.Skip(size);
    }
    return std::string();
}

}  // namespace

float CobShaderParameter::FloatValue(size_t index) const {
    if (index >= value.size() / 4) return 0;
    float result;
    std::memcpy(&result, value.data() + index * 4, sizeof result);
    return result;
}

int32_t CobShaderParameter::LongValue(size_t index) const {
    if (index >= value.size() / 4) return 0;
    int32_t result;
    std::memcpy(&result, value.data() + index * 4, sizeof result);
    return result;
}

const CobShaderParameter* CobShader::FindParameter(const std::string& parameterName) const {
    for (const CobShaderParameter& parameter : parameters)
        if (parameter.name == parameterName) return &parameter;
    return nullptr;
}

const CobMat1* CobReader::FindMaterial(int32_t polyhedronId, int16_t materialNumber) const {
    for (const CobMat1& material : materials_)
        if (material.materialNumber == materialNumber && material.parentId == polyhedronId) return &material;
    return nullptr;
}

const CobShBx* CobReader::FindShaderBox(int32_t materialId) const {
    for (const CobShBx& box : shaderBoxes_)
        if (box.parentId == materialId) return &box;
    return nullptr;
}

void CobReader::Clear() {
    polyhedra_.clear();
    materials_.clear();
    shaderBoxes_.clear();
    curves_.clear();
    cameras_.clear();
    lights_.clear();
    groups_.clear();
    notes_.clear();
    lastError_.clear();
}

void CobReader::SetError(const std::string& text) {
    lastError_ = text;
    Report(LogModule::kModel, LogLevel::kError, "%s", text.c_str());
}

bool CobReader::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Report(LogModule::kModel, LogLevel::kError, "Couln't find COB file: %s", path.c_str());
        return false;
    }
    Report(LogModule::kModel, LogLevel::kInfo, "Loading COB file: %s", path.c_str());
    Clear();
    file.close();
    std::vector<uint8_t> content;
    if (!ReadWholeFile(path, content)) {
        SetError("Could not open file.");
        return false;
    }
    ByteReader bytes(content.data(), content.size());
    return ReadFile(bytes, path);
}

bool CobReader::LoadFromMemory(const void* data, size_t size, const std::string& displayName) {
    Report(LogModule::kModel, LogLevel::kInfo, "Loading COB file: %s", displayName.c_str());
    Clear();
    ByteReader bytes(data, size);
    return ReadFile(bytes, displayName);
}

bool CobReader::ReadFile(ByteReader& bytes, const std::string& displayName) {
    const uint8_t* header = bytes.Take(kFileHeaderSize);
    if (header == nullptr || std::memcmp(header, kSignature, 9) != 0 || std::memcmp(header + 9, kVersion, 6) != 0) {
        SetError("Not a valid cob format of " + displayName);
        return false;
    }
    if (header[15] == 'A') {
        Report(LogModule::kModel, LogLevel::kError, "Reading ASCII file is not supported");
        return false;
    }
    if (header[15] != 'B') {
        SetError("Unknown type (should be ASCII or BINARY) of file " + displayName);
        return false;
    }
    const std::string cut = CutShortAt(bytes);
    if (!cut.empty()) {
        SetError("Not a valid cob format of " + displayName + ": " + cut);
        return false;
    }
    Report(LogModule::kModel, LogLevel::kInfo, "Reading BINARY file");
    const bool result = ReadChunks(bytes);
    Report(LogModule::kModel, LogLevel::kInfo, "Loading is done: %s", displayName.c_str());
    return result;
}

bool CobReader::ReadChunks(ByteReader& bytes) {
    while (!bytes.AtEnd()) {
        const ChunkHeader header = ReadChunkHeader(bytes);
        if (!bytes.Ok()) break;
        RecordResult result = RecordResult::kComplete;
        const bool accepted = IsAccepted(header);
        if (accepted && header.type == "END ") return true;
        if (accepted && header.type == "PolH")
            result = ReadInto(bytes, header, polyhedra_, ReadPolH);
        else if (accepted && header.type == "Mat1")
            result = ReadInto(bytes, header, materials_, ReadMat1);
        else if (accepted && header.type == "ShBx")
            result = ReadInto(bytes, header, shaderBoxes_, ReadShBx);
        else if (accepted && header.type == "NCur")
            result = ReadInto(bytes, header, curves_, ReadNCur);
        else if (accepted && header.type == "Came")
            result = ReadInto(bytes, header, cameras_, ReadCame);
        else if (accepted && header.type == "Lght")
            result = ReadInto(bytes, header, lights_, ReadLght);
        else if (accepted && header.type == "Grou")
            result = ReadInto(bytes, header, groups_, ReadGrou);
        else if (accepted && header.type == "Note")
            result = ReadInto(bytes, header, notes_, ReadNote);
        else {
            Report(LogModule::kModel, LogLevel::kInfo, "Ignoring chunk: %s", header.type.c_str());
            if (header.size > 0) bytes.Skip(static_cast<size_t>(header.size));
        }
        if (result == RecordResult::kRefused) return false;
    }
    // A record may still run out of file inside a chunk of the right size; the records
    // completed before it stay.
    return true;
}
