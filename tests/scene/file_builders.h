#pragma once

// Test-side writers for the scene file formats: COB chunks, MS3D models and BMP
// pictures are put together byte by byte, so every field the readers look at can be
// chosen (or broken) by a test.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class ByteWriter {
public:
    ByteWriter& U8(uint8_t value) { return Raw(&value, 1); }
    ByteWriter& I8(int8_t value) { return U8(static_cast<uint8_t>(value)); }
    ByteWriter& U16(uint16_t value) { return Little(value, 2); }
    ByteWriter& I16(int16_t value) { return U16(static_cast<uint16_t>(value)); }
    ByteWriter& U32(uint32_t value) { return Little(value, 4); }
    ByteWriter& I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
    ByteWriter& F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return U32(bits);
    }
    ByteWriter& Text(const std::string& text) { return Raw(text.data(), text.size()); }
    // A text padded with zeros (or cut) to a fixed width.
    ByteWriter& Fixed(const std::string& text, size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, '\0');
        return Text(field);
    }
    // A COB name: a short length and the characters.
    ByteWriter& Name(const std::string& text) { return I16(static_cast<int16_t>(text.size())).Text(text); }
    ByteWriter& Raw(const void* data, size_t size) {
        bytes_.append(static_cast<const char*>(data), size);
        return *this;
    }

    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    ByteWriter& Little(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<char>(value >> (8 * i)));
        return *this;
    }

    std::string bytes_;
};

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
    int16_t duplicateCount = 0;
    float centre[3] = {0, 0, 0};
    float matrix[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    std::vector<CobVertex> vertices;
    std::vector<std::pair<float, float>> textureVertices;
    std::vector<CobFaceSpec> faces;
    int32_t drawFlags = 0;
    int16_t radiosityQuality = 0;
};

// Duplicate count, name, local axes (centre and the unit axes) and an identity matrix
// with a translation, as every placed COB object starts.
inline void WriteCobObjectStart(ByteWriter& w, const std::string& name, int16_t duplicateCount = 0,
                                const float centre[3] = nullptr, const float* matrix = nullptr) {
    w.I16(duplicateCount).Name(name);
    const float origin[3] = {0, 0, 0};
    const float* c = centre ? centre : origin;
    w.F32(c[0]).F32(c[1]).F32(c[2]);
    const float axes[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (float value : axes) w.F32(value);
    const float identity[12] = {1, 0, 0, c[0], 0, 1, 0, c[1], 0, 0, 1, c[2]};
    const float* m = matrix ? matrix : identity;
    for (int i = 0; i < 12; ++i) w.F32(m[i]);
}

inline void WriteCobPolH(ByteWriter& w, const CobPolHSpec& polh, int16_t minorVersion) {
    WriteCobObjectStart(w, polh.name, polh.duplicateCount, polh.centre, polh.matrix);
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
    if (minorVersion >= 5) w.I32(polh.drawFlags);
    if (minorVersion == 6 || minorVersion == 7) w.I16(polh.radiosityQuality);
}

// A unit square in the x-y plane: four vertices, four texture vertices, one quad face.
inline CobPolHSpec CobSquare(const std::string& name = "square", int16_t material = 0) {
    CobPolHSpec polh;
    polh.name = name;
    polh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    polh.textureVertices = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    CobFaceSpec face;
    face.material = material;
    face.corners = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    polh.faces = {face};
    return polh;
}

struct CobMat1Spec {
    int16_t number = 0;
    float red = 0.5f, green = 0.25f, blue = 1, alpha = 1;
    float ka = 0.1f, ks = 0.5f, exp = 0.3f, ior = 1;
    std::string subRecords;  // already encoded; see CobTextureSubRecord
};

inline std::string CobTextureSubRecord(const std::string& file, float uRepeats = 1, float vRepeats = 1) {
    ByteWriter w;
    w.Text("t:").U8(0).Name(file).F32(0).F32(0).F32(uRepeats).F32(vRepeats);
    return w.Bytes();
}

inline std::string CobEnvironmentSubRecord(const std::string& file) {
    ByteWriter w;
    w.Text("e:").U8(1).Name(file);
    return w.Bytes();
}

inline std::string CobBumpSubRecord(const std::string& file, float amplitude) {
    ByteWriter w;
    w.Text("b:").U8(2).Name(file).F32(0.5f).F32(0.25f).F32(2).F32(3).F32(amplitude);
    return w.Bytes();
}

inline void WriteCobMat1(ByteWriter& w, const CobMat1Spec& m) {
    w.I16(m.number).U8(0).U8(1).U8(30);
    w.F32(m.red).F32(m.green).F32(m.blue).F32(m.alpha).F32(m.ka).F32(m.ks).F32(m.exp).F32(m.ior);
    w.Text(m.subRecords);
}

struct CobParameterSpec {
    std::string name;
    int32_t type;
    std::string value;  // encoded bytes
};

inline std::string CobFloatValue(float value) { return ByteWriter().F32(value).Bytes(); }

// The parameters a phong look needs, with the given diffuse factor.
inline std::vector<CobParameterSpec> CobPhongParameters(float diffuseFactor) {
    return {{"diffuse factor", 1, CobFloatValue(diffuseFactor)},
            {"specular factor", 1, CobFloatValue(0.4f)},
            {"specular colour", 7, CobFloatValue(1) + CobFloatValue(1) + CobFloatValue(1)}};
}

inline void WriteCobShader(ByteWriter& w, const std::string& name, const std::vector<CobParameterSpec>& parameters,
                           uint8_t flags = 0) {
    w.U8(3).Name(name).U8(static_cast<uint8_t>(parameters.size())).U8(0).U8(0).U8(0);
    for (const CobParameterSpec& p : parameters) w.Name(p.name).I32(p.type).Text(p.value);
    w.U8(flags).U8(0);
}

// Four shaders: the third is the look shader given here, the others carry no parameters.
inline void WriteCobShBx(ByteWriter& w, const std::string& lookShader, const std::vector<CobParameterSpec>& parameters) {
    WriteCobShader(w, "constant", {});
    WriteCobShader(w, "none", {});
    WriteCobShader(w, lookShader, parameters, 5);
    WriteCobShader(w, "none", {});
}

inline void WriteCobNCur(ByteWriter& w, const std::string& name, int32_t flags, int32_t order,
                         const std::vector<CobVertex>& points) {
    WriteCobObjectStart(w, name);
    w.I32(flags).I32(order).I32(static_cast<int32_t>(points.size()));
    const bool rational = (flags & 2) != 0;
    for (size_t i = 0; i < points.size(); ++i) {
        w.F32(points[i].x).F32(points[i].y).F32(points[i].z);
        if (rational) w.F32(0.5f + static_cast<float>(i));
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
        if (minor >= 4) w.I16(3);
        if (minor >= 7) w.I16(4);
        if (minor >= 8) w.I16(5);
    }
    w.F32(r).F32(g).F32(b).F32(cutoff).F32(15).I16(6);
    if (minor >= 5) w.Name("projector.bmp");
    if (minor >= 7) w.I16(7);
    if (minor >= 9) {
        w.I16(8).Name("gel").I32(9).Name("shadow map");
        for (int i = 0; i < 28; ++i) w.U8(static_cast<uint8_t>(0xA0 + i));
    }
    if (minor >= 10) w.I32(10);
    if (minor >= 11) w.I16(11).I16(12).I16(13);
}

class CobFileBuilder {
public:
    explicit CobFileBuilder(char format = 'B', const std::string& byteOrder = "LH") {
        w_.Text("Caligari V00.01").U8(static_cast<uint8_t>(format)).Text(byteOrder);
        w_.Fixed("    ", 13).U8('\n');  // pads the header to 32 bytes
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
    // Where each chunk header starts, in order.
    const std::vector<size_t>& ChunkStarts() const { return chunkStarts_; }

private:
    ByteWriter w_;
    std::vector<size_t> chunkStarts_;
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

inline std::string Ms3dFile(int32_t version, size_t vertexCount, const std::vector<Ms3dTriangleSpec>& triangles,
                            const std::vector<Ms3dGroupSpec>& groups, const std::vector<Ms3dMaterialSpec>& materials) {
    ByteWriter w;
    w.Text("MS3D000000").I32(version);
    w.U16(static_cast<uint16_t>(vertexCount));
    for (size_t i = 0; i < vertexCount; ++i)
        w.U8(0).F32(static_cast<float>(i)).F32(2.0f * i).F32(-1.0f * i).I8(i == 0 ? -1 : 2).U8(1);
    w.U16(static_cast<uint16_t>(triangles.size()));
    for (const Ms3dTriangleSpec& t : triangles) {
        w.U16(0).U16(t.vertices[0]).U16(t.vertices[1]).U16(t.vertices[2]);
        for (int n = 0; n < 9; ++n) w.F32(n % 3 == 2 ? 1.0f : 0.0f);
        w.F32(0.1f).F32(0.2f).F32(0.3f);
        w.F32(t.t[0]).F32(t.t[1]).F32(t.t[2]);
        w.U8(1).U8(0);
    }
    w.U16(static_cast<uint16_t>(groups.size()));
    for (const Ms3dGroupSpec& g : groups) {
        w.U8(0).Fixed("group", 32).U16(static_cast<uint16_t>(g.triangles.size()));
        for (uint16_t index : g.triangles) w.U16(index);
        w.I8(g.material);
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
    uint32_t colourCount = 0;   // the header's used-colour count
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
        if (spec.headerSize > 40) {
            dib.U32(spec.masks[0]).U32(spec.masks[1]).U32(spec.masks[2]);
            while (dib.Size() < spec.headerSize) dib.U8(0);
        } else if (spec.compression == 3) {
            dib.U32(spec.masks[0]).U32(spec.masks[1]).U32(spec.masks[2]);
        }
    }
    for (uint32_t colour : spec.palette) {
        dib.U8(colour & 0xFF).U8((colour >> 8) & 0xFF).U8((colour >> 16) & 0xFF);
        if (!core) dib.U8(0);
    }
    if (!spec.fileHeader) return dib.Bytes() + spec.pixels;
    ByteWriter file;
    const uint32_t offset = 14 + static_cast<uint32_t>(dib.Size());
    file.Text("BM").U32(offset + static_cast<uint32_t>(spec.pixels.size())).U32(0).U32(offset);
    return file.Bytes() + dib.Bytes() + spec.pixels;
}
