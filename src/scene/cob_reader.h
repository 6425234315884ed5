#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/vec3.h"

class ByteReader;

// Binary COB scene files ("Caligari V00.01B"), read into typed records, one per
// recognised chunk, kept per kind in file order. The reader interprets nothing:
// models, cameras and lights are made from these records elsewhere.

// The part every record has: the chunk's own id, the id of the chunk that owns it,
// and the record's name where its chunk has one (empty for Mat1 and ShBx).
struct CobRecord {
    int32_t id = 0;
    int32_t parentId = 0;
    std::string name;
};

struct CobLocalAxes {
    Vec3 centre;
    Vec3 xAxis;
    Vec3 yAxis;
    Vec3 zAxis;
};

// Three rows of four; the fourth row 0 0 0 1 is implied.
struct CobPositionMatrix {
    float rows[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

// Objects placed in the scene: PolH, NCur, Came, Lght and Grou start alike.
struct CobObjectRecord : CobRecord {
    int16_t duplicateCount = 0;
    CobLocalAxes localAxes;
    CobPositionMatrix positionMatrix;
};

struct CobTextureVertex {
    float u = 0, v = 0;
};

struct CobFaceCorner {
    int32_t vertexIndex = 0;
    int32_t textureVertexIndex = 0;
};

constexpr uint8_t kCobFaceHole = 0x08;

struct CobFace {
    uint8_t flags = 0;
    int16_t materialIndex = 0;  // not in the file for holes; stays 0 then
    std::vector<CobFaceCorner> corners;

    bool IsHole() const { return (flags & kCobFaceHole) != 0; }
};

struct CobPolH : CobObjectRecord {
    std::vector<Vec3> vertices;
    std::vector<CobTextureVertex> textureVertices;
    std::vector<CobFace> faces;
    int32_t drawFlags = 0;         // minor version 5 and above
    int16_t radiosityQuality = 0;  // minor versions 6 and 7 only
};

struct CobEnvironmentMap {
    uint8_t flags = 0;
    std::string fileName;
};

struct CobTextureMap {
    uint8_t flags = 0;
    std::string fileName;
    float uOffset = 0, vOffset = 0;
    float uRepeats = 1, vRepeats = 1;
};

struct CobBumpMap {
    uint8_t flags = 0;
    std::string fileName;
    float uOffset = 0, vOffset = 0;
    float uRepeats = 1, vRepeats = 1;
    float amplitude = 0;
};

struct CobMat1 : CobRecord {
    int16_t materialNumber = 0;
    uint8_t shaderType = 0;
    uint8_t facetType = 0;
    uint8_t autoFacetAngle = 0;
    float red = 0, green = 0, blue = 0, alpha = 1;
    float ka = 0;   // ambient factor
    float ks = 0;   // specular factor
    float exp = 0;  // highlight exponent
    float ior = 1;  // index of refraction
    // A later sub-record of the same kind replaces an earlier one.
    std::optional<CobEnvironmentMap> environmentMap;
    std::optional<CobTextureMap> textureMap;
    std::optional<CobBumpMap> bumpMap;
};

// Shader parameter type codes as they appear in a shader box.
enum CobParameterType : int32_t {
    kCobParameterName = 10,
    kCobParameterByteFlag = 11,  // the value 1 is refused
};

// A parameter's value is kept as the bytes read; which numbers are floats is up to
// the reader of the parameter. Names (type 10) keep their characters.
struct CobShaderParameter {
    std::string name;
    int32_t type = 0;
    std::vector<uint8_t> value;

    // The index-th 4-byte value as a float or as a long; 0 when there is no such value.
    float FloatValue(size_t index = 0) const;
    int32_t LongValue(size_t index = 0) const;
    std::string TextValue() const { return std::string(value.begin(), value.end()); }
};

struct CobShader {
    uint8_t shaderClass = 0;
    std::string name;  // e.g. "phong" or "caligari phong"
    std::vector<CobShaderParameter> parameters;
    uint8_t flags = 0;

    // The first parameter of that name, or nullptr.
    const CobShaderParameter* FindParameter(const std::string& parameterName) const;
};

struct CobShBx : CobRecord {
    std::array<CobShader, 4> shaders;
};

struct CobControlPoint {
    Vec3 position;
    float weight = 1;  // in the file only for rational curves
};

struct CobNCur : CobObjectRecord {
    int32_t flags = 0;
    int32_t order = 0;
    std::vector<CobControlPoint> controlPoints;
    std::vector<float> knots;  // control points + order of them when there are at least `order` points
    uint32_t trailer = 0;      // the final 4-byte value, kept as read

    bool IsClosed() const { return (flags & 1) != 0; }
    bool IsRational() const { return (flags & 2) != 0; }
};

constexpr int16_t kCobStandardCamera = 8;

struct CobCame : CobObjectRecord {
    int16_t cameraType = 0;
};

struct CobLght : CobObjectRecord {
    int16_t lightType = 0;  // 1 directional, 2 positional, 4 spot
    int16_t shadowFlags = 0;
    float red = 0, green = 0, blue = 0;
    float spotCutoff = 0;   // the first float after the colour
    float secondAngle = 0;  // the second one, kept as read
};

struct CobGrou : CobObjectRecord {};

struct CobNote : CobRecord {};  // the note's text is its name

class CobReader {
public:
    CobReader() = default;
    CobReader(const CobReader&) = delete;
    CobReader& operator=(const CobReader&) = delete;

    // Reads one COB file; true when it was read to its end or to an "END " chunk.
    // Every call starts from empty lists, so a reader holds one file at a time.
    bool Load(const std::string& path);
    // The same for a file already in memory; `displayName` stands for the path in the log.
    bool LoadFromMemory(const void* data, size_t size, const std::string& displayName);

    const std::vector<CobPolH>& Polyhedra() const { return polyhedra_; }
    const std::vector<CobMat1>& Materials() const { return materials_; }
    const std::vector<CobShBx>& ShaderBoxes() const { return shaderBoxes_; }
    const std::vector<CobNCur>& Curves() const { return curves_; }
    const std::vector<CobCame>& Cameras() const { return cameras_; }
    const std::vector<CobLght>& Lights() const { return lights_; }
    const std::vector<CobGrou>& Groups() const { return groups_; }
    const std::vector<CobNote>& Notes() const { return notes_; }

    // The Mat1 with that material number owned by the polyhedron `polyhedronId`, or nullptr.
    const CobMat1* FindMaterial(int32_t polyhedronId, int16_t materialNumber) const;
    // The ShBx owned by the Mat1 `materialId`, or nullptr.
    const CobShBx* FindShaderBox(int32_t materialId) const;

    // The text of the last error, empty when none.
    const std::string& LastError() const { return lastError_; }

private:
    void Clear();
    void SetError(const std::string& text);
    bool ReadFile(ByteReader& bytes, const std::string& displayName);
    bool ReadChunks(ByteReader& bytes);

    std::vector<CobPolH> polyhedra_;
    std::vector<CobMat1> materials_;
    std::vector<CobShBx> shaderBoxes_;
    std::vector<CobNCur> curves_;
    std::vector<CobCame> cameras_;
    std::vector<CobLght> lights_;
    std::vector<CobGrou> groups_;
    std::vector<CobNote> notes_;
    std::string lastError_;
};
