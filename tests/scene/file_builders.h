#pragma once

// Test-side writers for COB scenes, MS3D models and BMP pictures, byte by byte, so every
// field the readers look at can be chosen (or broken) by a test.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class ByteWriter {
public:
    ByteWriter& U8(uint8_t value) { return Text(std::string(1, static_cast<char>(value))); }
    ByteWriter& U16(uint16_t value) { return Little(value, 2); }
    ByteWriter& I16(int16_t value) { return U16(static_cast<uint16_t>(value)); }
    ByteWriter& U32(uint32_t value) { return Little(value, 4); }
    ByteWriter& I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
    ByteWriter& F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return U32(bits);
    }
    ByteWriter& Text(const std::string& text) {
        bytes_ += text;
        return *this;
    }
    ByteWriter& Fixed(std::string text, size_t width) {  // zero-padded or cut to the width
        text.resize(width, '\0');
        return Text(text);
    }
    ByteWriter& Name(const std::string& text) { return I16(static_cast<int16_t>(text.size())).Text(text); }
    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    ByteWriter& Little(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) U8(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    std::string bytes_;
};

// What one of the writers below writes, e.g. as a chunk body: Encoded(WriteCobPolH, polh, int16_t{4}).
template <typename Write, typename... Args>
ByteWriter Encoded(Write write, const Args&... args) {
    ByteWriter w;
    write(w, args...);
    return w;
}

// ---- COB --------------------------------------------------------------------

struct CobVertex {
    float x, y, z;
};

struct CobFaceSpec {
    uint8_t flags = 0;
    int16_t material = 0;
    std::vector<std::pair<int32_t, int32_t>> corners;  // (vertex, texture vertex)
};

struct CobPolHSpec {
    std::string name = "cube";
    float matrix[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    std::vector<CobVertex> vertices;
    std::vector<std::pair<float, float>> textureVertices;
    std::vector<CobFaceSpec> faces;
};

// Duplicate count, name, local axes and position matrix, as every placed COB object starts;
// without a matrix the object is only moved to its centre.
inline void WriteCobObjectStart(ByteWriter& w, const std::string& name, int16_t duplicateCount = 0,
                                const float centre[3] = nullptr, const float* matrix = nullptr) {
    const float origin[3] = {0, 0, 0};
    const float* c = centre ? centre : origin;
    const float identity[12] = {1, 0, 0, c[0], 0, 1, 0, c[1], 0, 0, 1, c[2]};
    w.I16(duplicateCount).Name(name).F32(c[0]).F32(c[1]).F32(c[2]);
    for (float value : {1, 0, 0, 0, 1, 0, 0, 0, 1}) w.F32(value);
    for (int i = 0; i < 12; ++i) w.F32((matrix ? matrix : identity)[i]);
}

inline void WriteCobPolH(ByteWriter& w, const CobPolHSpec& polh, int16_t minorVersion) {
    WriteCobObjectStart(w, polh.name, 0, nullptr, polh.matrix);
    w.I32(static_cast<int32_t>(polh.vertices.size()));
    for (const CobVertex& v : polh.vertices) w.F32(v.x).F32(v.y).F32(v.z);
    w.I32(static_cast<int32_t>(polh.textureVertices.size()));
    for (const auto& tv : polh.textureVertices) w.F32(tv.first).F32(tv.second);
    w.I32(static_cast<int32_t>(polh.faces.size()));
    for (const CobFaceSpec& face : polh.faces) {
        w.U8(face.flags).I16(static_cast<int16_t>(face.corners.size()));
        if ((face.flags & 0x08) == 0) w.I16(face.material);
        for (const auto& corner : face.corners) w.I32(corner.first).I32(corner.second);
    }
    if (minorVersion >= 5) w.I32(0);                       // draw flags
    if (minorVersion == 6 || minorVersion == 7) w.I16(0);  // radiosity quality
}

// A unit square in the x-y plane: four vertices, four texture vertices, one quad face.
inline CobPolHSpec CobSquare(const std::string& name = "square", int16_t material = 0) {
    CobPolHSpec polh;
    polh.name = name;
    polh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    polh.textureVertices = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    polh.faces = {CobFaceSpec{0, material, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}}};
    return polh;
}

struct CobMat1Spec {
    int16_t number = 0;
    float red = 0.5f, green = 0.25f, blue = 1, alpha = 1;
    float ka = 0.1f, ks = 0.5f, exp = 0.3f, ior = 1;
    std::string subRecords;  // already encoded, e.g. by CobTextureSubRecord
};

inline std::string CobTextureSubRecord(const std::string& file, float uRepeats = 1, float vRepeats = 1) {
    return ByteWriter().Text("t:").U8(0).Name(file).F32(0).F32(0).F32(uRepeats).F32(vRepeats).Bytes();
}

inline void WriteCobMat1(ByteWriter& w, const CobMat1Spec& m) {
    w.I16(m.number).U8(0).U8(1).U8(30);
    w.F32(m.red).F32(m.green).F32(m.blue).F32(m.alpha).F32(m.ka).F32(m.ks).F32(m.exp).F32(m.ior);
    w.Text(m.subRecords);
}

struct CobParameterSpec {
    std::string name;
    int32_t type;
    std::string value; /* encoded bytes */
};

// The parameters a phong look needs, with the given diffuse factor.
inline std::vector<CobParameterSpec> CobPhongParameters(float diffuseFactor) {
    const auto f = [](float value) { return ByteWriter().F32(value).Bytes(); };
    return {{"diffuse factor", 1, f(diffuseFactor)},
            {"specular factor", 1, f(0.4f)},
            {"specular colour", 7, f(1) + f(1) + f(1)}};
}

// Four shaders: the third is the look shader given here, the others carry no parameters.
inline void WriteCobShBx(ByteWriter& w, const std::string& lookShader,
                         const std::vector<CobParameterSpec>& parameters) {
    for (int shader = 0; shader < 4; ++shader) {
        const bool look = shader == 2;
        const std::vector<CobParameterSpec> none;
        const auto& list = look ? parameters : none;
        w.U8(3).Name(look ? lookShader : shader == 0 ? "constant" : "none").U8(static_cast<uint8_t>(list.size()));
        w.U8(0).U8(0).U8(0);
        for (const CobParameterSpec& p : list) w.Name(p.name).I32(p.type).Text(p.value);
        w.U8(look ? 5 : 0).U8(0);
    }
}

inline void WriteCobNCur(ByteWriter& w, const std::string& name, int32_t flags, int32_t order,
                         const std::vector<CobVertex>& points) {
    WriteCobObjectStart(w, name);
    w.I32(flags).I32(order).I32(static_cast<int32_t>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) {
        w.F32(points[i].x).F32(points[i].y).F32(points[i].z);
        if (flags & 2) w.F32(0.5f + static_cast<float>(i));  // rational: a weight per point
    }
    if (points.size() >= static_cast<size_t>(order))
        for (size_t k = 0; k < points.size() + static_cast<size_t>(order); ++k) w.F32(static_cast<float>(k));
    w.U32(0xCAFEF00D);
}

inline void WriteCobCame(ByteWriter& w, const std::string& name, int16_t type, const float centre[3] = nullptr) {
    WriteCobObjectStart(w, name, 0, centre);
    w.I16(type);
}

// A light chunk body with every field its minor version has; `cutoff` is the first
// float after the colour.
inline void WriteCobLght(ByteWriter& w, const std::string& name, int16_t minor, int16_t type, int16_t shadowFlags,
                         float r, float g, float b, float cutoff) {
    WriteCobObjectStart(w, name);
    w.I16(type).I16(shadowFlags);
    if (shadowFlags & 1) {
        w.I16(1).I16(2);
        for (int from : {4, 7, 8})
            if (minor >= from) w.I16(3);
    }
    w.F32(r).F32(g).F32(b).F32(cutoff).F32(15).I16(6);
    if (minor >= 5) w.Name("projector.bmp");
    if (minor >= 7) w.I16(7);
    if (minor >= 9) w.I16(8).Name("gel").I32(9).Name("shadow map").Text(std::string(28, '\xA0'));
    if (minor >= 10) w.I32(10);
    if (minor >= 11) w.I16(11).I16(12).I16(13);
}

class CobFileBuilder {
public:
    explicit CobFileBuilder(char format = 'B') {
        w_.Text("Caligari V00.01").U8(static_cast<uint8_t>(format)).Text("LH").Fixed("    ", 13).U8('\n');
    }

    // Appends a chunk; the size field is the body's length unless given.
    CobFileBuilder& Chunk(const std::string& type, int16_t major, int16_t minor, int32_t id, int32_t parent,
                          const ByteWriter& body, int32_t size = -1) {
        chunkStarts_.push_back(w_.Size());
        w_.Fixed(type, 4).I16(major).I16(minor).I32(id).I32(parent);
        w_.I32(size >= 0 ? size : static_cast<int32_t>(body.Size())).Text(body.Bytes());
        return *this;
    }
    CobFileBuilder& End(int16_t major = 1) { return Chunk("END ", major, 0, 0, 0, ByteWriter()); }

    const std::string& Bytes() const { return w_.Bytes(); }
    const std::vector<size_t>& ChunkStarts() const { return chunkStarts_; }

private:
    ByteWriter w_;
    std::vector<size_t> chunkStarts_;  // where each chunk header starts
};

// ---- MS3D -------------------------------------------------------------------

struct Ms3dTriangleSpec {
    uint16_t vertices[3];
    float t[3];
};
struct Ms3dGroupSpec {
    std::vector<uint16_t> triangles;
    int8_t material;
};
struct Ms3dMaterialSpec {
    std::string texture;
    float shininess = 20;
};

// Vertex i sits at (i, 2i, -i); every triangle's normals point along +z.
inline std::string Ms3dFile(int32_t version, size_t vertexCount, const std::vector<Ms3dTriangleSpec>& triangles,
                            const std::vector<Ms3dGroupSpec>& groups, const std::vector<Ms3dMaterialSpec>& materials) {
    ByteWriter w;
    w.Text("MS3D000000").I32(version).U16(static_cast<uint16_t>(vertexCount));
    for (size_t i = 0; i < vertexCount; ++i)
        w.U8(0).F32(static_cast<float>(i)).F32(2.0f * i).F32(-1.0f * i).U8(i == 0 ? 0xFF : 2).U8(1);
    w.U16(static_cast<uint16_t>(triangles.size()));
    for (const Ms3dTriangleSpec& t : triangles) {
        w.U16(0).U16(t.vertices[0]).U16(t.vertices[1]).U16(t.vertices[2]);
        for (int n = 0; n < 9; ++n) w.F32(n % 3 == 2 ? 1.0f : 0.0f);
        w.F32(0.1f).F32(0.2f).F32(0.3f).F32(t.t[0]).F32(t.t[1]).F32(t.t[2]).U8(1).U8(0);
    }
    w.U16(static_cast<uint16_t>(groups.size()));
    for (const Ms3dGroupSpec& g : groups) {
        w.U8(0).Fixed("group", 32).U16(static_cast<uint16_t>(g.triangles.size()));
        for (uint16_t index : g.triangles) w.U16(index);
        w.U8(static_cast<uint8_t>(g.material));
    }
    w.U16(static_cast<uint16_t>(materials.size()));
    for (const Ms3dMaterialSpec& m : materials) {
        w.Fixed("material", 32);
        for (int c = 0; c < 16; ++c) w.F32(0.1f * static_cast<float>(c % 4 + 1));
        w.F32(m.shininess).F32(1).U8(0).Fixed(m.texture, 128).Fixed("", 128);
    }
    return w.Bytes();
}

// ---- BMP --------------------------------------------------------------------

struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colourCount = 0;       // the header's used-colour count
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    uint32_t masks[3] = {0, 0, 0};  // written for bit fields (after a 40-byte header, inside larger ones)
    std::string pixels;             // exactly as stored, padding included
    bool fileHeader = true;
};

inline std::string BmpFile(const BmpSpec& spec) {
    ByteWriter dib;
    const bool core = spec.headerSize == 12;
    dib.U32(spec.headerSize);
    if (core) {
        dib.U16(static_cast<uint16_t>(spec.width)).U16(static_cast<uint16_t>(spec.height)).U16(1).U16(spec.bitCount);
    } else {
        dib.I32(spec.width).I32(spec.height).U16(1).U16(spec.bitCount).U32(spec.compression);
        dib.U32(static_cast<uint32_t>(spec.pixels.size())).I32(2835).I32(2835).U32(spec.colourCount).U32(0);
        if (spec.headerSize > 40 || spec.compression == 3) dib.U32(spec.masks[0]).U32(spec.masks[1]).U32(spec.masks[2]);
        while (dib.Size() < spec.headerSize) dib.U8(0);
    }
    for (uint32_t colour : spec.palette) {
        dib.U8(colour & 0xFF).U8((colour >> 8) & 0xFF).U8((colour >> 16) & 0xFF);
        if (!core) dib.U8(0);
    }
    if (!spec.fileHeader) return dib.Bytes() + spec.pixels;
    const uint32_t offset = 14 + static_cast<uint32_t>(dib.Size());
    return ByteWriter().Text("BM").U32(offset + static_cast<uint32_t>(spec.pixels.size())).U32(0).U32(offset).Bytes() +
           dib.Bytes() + spec.pixels;
}
