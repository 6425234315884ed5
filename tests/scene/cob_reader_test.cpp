#include "scene/cob_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/report.h"
#include "file_builders.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

bool LoadBytes(CobReader& reader, const std::string& bytes, const std::string& name = "scene.cob") {
    return reader.LoadFromMemory(bytes.data(), bytes.size(), name);
}

ByteWriter PolHBody(const CobPolHSpec& polh, int16_t minor) {
    ByteWriter w;
    WriteCobPolH(w, polh, minor);
    return w;
}

ByteWriter NoteBody(const std::string& text) {
    ByteWriter w;
    w.Name(text);
    return w;
}

ByteWriter Mat1Body(const CobMat1Spec& spec) {
    ByteWriter w;
    WriteCobMat1(w, spec);
    return w;
}

ByteWriter ShBxBody(const std::string& look, const std::vector<CobParameterSpec>& parameters) {
    ByteWriter w;
    WriteCobShBx(w, look, parameters);
    return w;
}

// One chunk of every kind, then END.
CobFileBuilder FullSceneBuilder() {
    ByteWriter grou, came, lght, ncur;
    WriteCobObjectStart(grou, "group one", 2);
    const float eye[3] = {1, 2, 3};
    WriteCobCame(came, "cam", kCobStandardCamera, eye);
    WriteCobLght(lght, "lamp", 12, 4, 1, 0.25f, 0.5f, 0.75f, 30);
    WriteCobNCur(ncur, "path", 1, 3, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    CobMat1Spec mat;
    mat.subRecords = CobTextureSubRecord("C:\\maps\\hull.bmp", 2, 3);
    return CobFileBuilder()
        .Chunk("Grou", 0, 1, 1, 0, grou)
        .Chunk("PolH", 0, 8, 2, 1, PolHBody(CobSquare("hull"), 8))
        .Chunk("Mat1", 0, 6, 3, 2, Mat1Body(mat))
        .Chunk("ShBx", 0, 4, 4, 3, ShBxBody("phong", CobPhongParameters(0.8f)))
        .Chunk("Came", 0, 2, 5, 0, came)
        .Chunk("Lght", 0, 12, 6, 0, lght)
        .Chunk("NCur", 0, 2, 7, 0, ncur)
        .Chunk("Note", 0, 1, 8, 0, NoteBody("hello"))
        .End();
}

std::string FullScene() { return FullSceneBuilder().Bytes(); }

size_t RecordCount(const CobReader& r) {
    return r.Polyhedra().size() + r.Materials().size() + r.ShaderBoxes().size() + r.Curves().size() +
           r.Cameras().size() + r.Lights().size() + r.Groups().size() + r.Notes().size();
}

}  // namespace

TEST(CobReaderHeader, RefusesWhatIsNotABinaryCobFileAndIgnoresTheByteOrderLetters) {
    ReportCapture log;
    CobReader reader;

    std::string ascii = CobFileBuilder('A').Chunk("Note", 0, 1, 1, 0, NoteBody("x")).Bytes();
    EXPECT_FALSE(LoadBytes(reader, ascii));
    EXPECT_TRUE(log.Contains("Reading ASCII file is not supported")) << log.Joined();
    EXPECT_FALSE(log.Contains("Loading Note")) << "an ASCII file must be refused before any chunk is read";

    std::string other = CobFileBuilder('X').Bytes();
    EXPECT_FALSE(LoadBytes(reader, other, "odd.cob"));
    EXPECT_EQ(reader.LastError(), "Unknown type (should be ASCII or BINARY) of file odd.cob");
    EXPECT_TRUE(log.Contains("Unknown type (should be ASCII or BINARY) of file odd.cob")) << "a set error is logged";

    std::string wrongVersion = CobFileBuilder().Bytes();
    wrongVersion[14] = '2';
    EXPECT_FALSE(LoadBytes(reader, wrongVersion, "v2.cob"));
    EXPECT_EQ(reader.LastError(), "Not a valid cob format of v2.cob");

    std::string wrongSignature = CobFileBuilder().Bytes();
    wrongSignature[8] = '_';
    EXPECT_FALSE(LoadBytes(reader, wrongSignature, "sig.cob"));
    EXPECT_EQ(reader.LastError(), "Not a valid cob format of sig.cob");

    EXPECT_FALSE(LoadBytes(reader, "Caligari V00.01B", "short.cob")) << "a header cut short is not a COB file";
    EXPECT_EQ(reader.LastError(), "Not a valid cob format of short.cob");

    std::string bigEndianLetters = CobFileBuilder('B', "HL").Chunk("Note", 0, 1, 258, 0, NoteBody("order")).Bytes();
    ASSERT_TRUE(LoadBytes(reader, bigEndianLetters));
    ASSERT_EQ(reader.Notes().size(), 1u);
    EXPECT_EQ(reader.Notes()[0].id, 258) << "little-endian whatever the byte-order letters say";
    EXPECT_TRUE(log.Contains("Reading BINARY file"));
}

TEST(CobReaderLoad, ReadsEveryRecordKindWithItsLogLines) {
    ReportCapture log;
    CobReader reader;
    ASSERT_TRUE(LoadBytes(reader, FullScene(), "full.cob"));
    EXPECT_TRUE(reader.LastError().empty());

    ASSERT_EQ(reader.Groups().size(), 1u);
    EXPECT_EQ(reader.Groups()[0].name, "group one");
    EXPECT_EQ(reader.Groups()[0].duplicateCount, 2);

    ASSERT_EQ(reader.Polyhedra().size(), 1u);
    const CobPolH& polh = reader.Polyhedra()[0];
    EXPECT_EQ(polh.id, 2);
    EXPECT_EQ(polh.parentId, 1);
    EXPECT_EQ(polh.name, "hull");
    ASSERT_EQ(polh.vertices.size(), 4u);
    EXPECT_EQ(polh.vertices[2].x, 1);
    EXPECT_EQ(polh.vertices[2].y, 1);
    ASSERT_EQ(polh.textureVertices.size(), 4u);
    EXPECT_EQ(polh.textureVertices[3].v, 1);
    ASSERT_EQ(polh.faces.size(), 1u);
    ASSERT_EQ(polh.faces[0].corners.size(), 4u);
    EXPECT_EQ(polh.faces[0].corners[3].vertexIndex, 3);
    EXPECT_EQ(polh.faces[0].corners[3].textureVertexIndex, 3);

    ASSERT_EQ(reader.Materials().size(), 1u);
    const CobMat1& mat = reader.Materials()[0];
    EXPECT_EQ(mat.parentId, 2);
    EXPECT_FLOAT_EQ(mat.red, 0.5f);
    EXPECT_FLOAT_EQ(mat.ks, 0.5f);
    EXPECT_EQ(mat.autoFacetAngle, 30);
    ASSERT_TRUE(mat.textureMap.has_value());
    EXPECT_EQ(mat.textureMap->fileName, "C:\\maps\\hull.bmp");
    EXPECT_EQ(mat.textureMap->uRepeats, 2);
    EXPECT_EQ(mat.textureMap->vRepeats, 3);

    ASSERT_EQ(reader.ShaderBoxes().size(), 1u);
    const CobShader& look = reader.ShaderBoxes()[0].shaders[2];
    EXPECT_EQ(look.name, "phong");
    EXPECT_EQ(look.flags, 5);
    ASSERT_NE(look.FindParameter("diffuse factor"), nullptr);
    EXPECT_FLOAT_EQ(look.FindParameter("diffuse factor")->FloatValue(), 0.8f);
    EXPECT_EQ(look.FindParameter("specular colour")->value.size(), 12u);

    ASSERT_EQ(reader.Cameras().size(), 1u);
    EXPECT_EQ(reader.Cameras()[0].localAxes.centre.z, 3);
    EXPECT_EQ(reader.Cameras()[0].positionMatrix.rows[1][3], 2);
    ASSERT_EQ(reader.Lights().size(), 1u);
    EXPECT_EQ(reader.Lights()[0].lightType, 4);
    EXPECT_FLOAT_EQ(reader.Lights()[0].blue, 0.75f);
    EXPECT_EQ(reader.Lights()[0].spotCutoff, 30);
    ASSERT_EQ(reader.Curves().size(), 1u);
    EXPECT_EQ(reader.Curves()[0].controlPoints.size(), 4u);
    EXPECT_EQ(reader.Curves()[0].knots.size(), 7u) << "4 points of order 3 have 4 + 3 knots";
    EXPECT_EQ(reader.Curves()[0].trailer, 0xCAFEF00Du);
    ASSERT_EQ(reader.Notes().size(), 1u);
    EXPECT_EQ(reader.Notes()[0].name, "hello");

    const std::vector<std::string> expected = {
        "Loading COB file: full.cob", "Reading BINARY file", "Loading Group group one", "Loading PolH",
        "Loaded PolH 'hull', Faces=1, Vertices=4", "Loading Mat1", "Got information for texture C:\\maps\\hull.bmp!",
        "Loading Shader", "Loading Camera: cam", "Loading light: lamp", "Loaded 4 control Points", "Loading Note",
        "Loading is done: full.cob"};
    EXPECT_EQ(log.Messages(), expected);
    for (const std::string& line : log.Lines()) EXPECT_EQ(line.substr(0, 4), "mod ") << line;
}

TEST(CobReaderLoad, ReadsFromAFileAndStartsEmptyOnEveryLoad) {
    ReportCapture log;
    TempDir dir;
    dir.Write("full.cob", FullScene());
    CobReader reader;
    ASSERT_TRUE(reader.Load(dir.File("full.cob")));
    EXPECT_EQ(RecordCount(reader), 8u);

    dir.Write("note.cob", CobFileBuilder().Chunk("Note", 0, 0, 1, 0, NoteBody("only")).Bytes());
    ASSERT_TRUE(reader.Load(dir.File("note.cob")));
    EXPECT_EQ(RecordCount(reader), 1u) << "a load must empty the lists of the previous one";

    EXPECT_FALSE(reader.Load(dir.File("missing.cob")));
    EXPECT_TRUE(log.Contains("Couln't find COB file: " + dir.File("missing.cob")));

    EXPECT_FALSE(reader.Load(dir.Path())) << "a directory is not a COB file";
    EXPECT_EQ(reader.LastError(), "Could not open file.");
}

TEST(CobReaderChunks, EndsAtEndChunkOrFileEnd) {
    ReportCapture log;
    CobReader reader;
    std::string afterEnd =
        CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("a")).End(0).Chunk("Note", 0, 1, 2, 0, NoteBody("b")).Bytes();
    ASSERT_TRUE(LoadBytes(reader, afterEnd));
    EXPECT_EQ(reader.Notes().size(), 1u) << "nothing after an END chunk is read";

    std::string withoutEnd = CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("a")).Bytes();
    EXPECT_TRUE(LoadBytes(reader, withoutEnd)) << "a file may end right after its last chunk";

    // An END chunk of a newer minor version is unknown and skipped; reading goes on.
    std::string newerEnd = CobFileBuilder()
                               .Chunk("END ", 1, 1, 0, 0, ByteWriter())
                               .Chunk("Note", 0, 1, 2, 0, NoteBody("b"))
                               .Bytes();
    ASSERT_TRUE(LoadBytes(reader, newerEnd));
    EXPECT_EQ(reader.Notes().size(), 1u);
    EXPECT_TRUE(log.Contains("Ignoring chunk: END "));
}

TEST(CobReaderChunks, SkipsUnknownAndNewerChunksBySize) {
    ReportCapture log;
    CobReader reader;
    ByteWriter junk;
    junk.Text("not a record at all");
    std::string bytes = CobFileBuilder()
                            .Chunk("Unit", 0, 0, 1, 0, junk)
                            .Chunk("PolH", 0, 9, 2, 0, PolHBody(CobSquare("future"), 9))
                            .Chunk("Mat1", 1, 0, 3, 0, junk)
                            .Chunk("Note", 0, 2, 4, 0, junk)
                            .Chunk("Zero", 0, 0, 5, 0, ByteWriter(), -7)
                            .Chunk("Note", 0, 1, 6, 0, NoteBody("kept"))
                            .Bytes();
    ASSERT_TRUE(LoadBytes(reader, bytes));
    EXPECT_TRUE(reader.Polyhedra().empty()) << "PolH minor 9 is newer than the reader knows";
    EXPECT_TRUE(reader.Materials().empty()) << "Mat1 major 1 is newer than the reader knows";
    ASSERT_EQ(reader.Notes().size(), 1u);
    EXPECT_EQ(reader.Notes()[0].name, "kept");
    for (const char* type : {"Unit", "PolH", "Mat1", "Note", "Zero"})
        EXPECT_TRUE(log.Contains(std::string("Ignoring chunk: ") + type)) << type;
    EXPECT_FALSE(log.Contains("Loading PolH")) << "a skipped chunk must not be read";

    bytes = CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("a")).Chunk("Huge", 0, 0, 2, 0, ByteWriter(), 1 << 30).Bytes();
    EXPECT_TRUE(LoadBytes(reader, bytes)) << "a chunk skip beyond the file ends the load well";
    EXPECT_EQ(reader.Notes().size(), 1u);
}

TEST(CobReaderPolH, VersionBranchesReadTheirTrailingFields) {
    for (int16_t minor = 0; minor <= 8; ++minor) {
        ReportCapture log;
        CobReader reader;
        CobPolHSpec polh = CobSquare();
        polh.drawFlags = 77;
        polh.radiosityQuality = 3;
        std::string bytes = CobFileBuilder()
                                .Chunk("PolH", 0, minor, 1, 0, PolHBody(polh, minor))
                                .Chunk("Note", 0, 1, 2, 0, NoteBody("next"))
                                .Bytes();
        ASSERT_TRUE(LoadBytes(reader, bytes)) << "minor " << minor;
        ASSERT_EQ(reader.Polyhedra().size(), 1u) << "minor " << minor;
        EXPECT_EQ(reader.Polyhedra()[0].drawFlags, minor >= 5 ? 77 : 0) << "DrawFlags from minor 5 on, minor " << minor;
        EXPECT_EQ(reader.Polyhedra()[0].radiosityQuality, minor == 6 || minor == 7 ? 3 : 0)
            << "radiosity quality only in minor 6 and 7, minor " << minor;
        ASSERT_EQ(reader.Notes().size(), 1u) << "the PolH of minor " << minor << " read too much or too little";
        EXPECT_EQ(reader.Notes()[0].name, "next");
    }
}

TEST(CobReaderPolH, HoleFacesHaveNoMaterialIndex) {
    ReportCapture log;
    CobReader reader;
    CobPolHSpec polh = CobSquare();
    CobFaceSpec hole;
    hole.flags = kCobFaceHole;
    hole.material = 99;  // not written for a hole
    hole.corners = {{1, 0}, {2, 1}, {3, 2}};
    polh.faces.push_back(hole);
    CobFaceSpec after;
    after.material = 4;
    after.corners = {{0, 0}, {1, 1}, {2, 2}};
    polh.faces.push_back(after);
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder().Chunk("PolH", 0, 4, 1, 0, PolHBody(polh, 4)).Bytes()));
    ASSERT_EQ(reader.Polyhedra().size(), 1u);
    const std::vector<CobFace>& faces = reader.Polyhedra()[0].faces;
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_TRUE(faces[1].IsHole());
    EXPECT_EQ(faces[1].materialIndex, 0);
    EXPECT_EQ(faces[1].corners[0].vertexIndex, 1) << "the first vertex pair follows the corner count of a hole";
    EXPECT_EQ(faces[2].materialIndex, 4);
    EXPECT_TRUE(log.Contains("Loaded PolH 'square', Faces=3, Vertices=4"));
}

TEST(CobReaderPolH, CountsBeyondTheFileEndTheLoadWithoutAllocating) {
    ReportCapture log;
    CobReader reader;
    ByteWriter body;
    WriteCobObjectStart(body, "liar");
    body.I32(0x7FFFFFFF).F32(1);  // two billion vertices announced, one float present
    std::string bytes =
        CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("before")).Chunk("PolH", 0, 4, 2, 0, body).Bytes();
    EXPECT_TRUE(LoadBytes(reader, bytes));
    EXPECT_TRUE(reader.Polyhedra().empty()) << "a record cut short is not kept";
    EXPECT_EQ(reader.Notes().size(), 1u);

    ByteWriter faces;
    WriteCobObjectStart(faces, "faces");
    faces.I32(0).I32(0).I32(3).U8(0).I16(0x7FFF).I16(0);
    EXPECT_TRUE(LoadBytes(reader, CobFileBuilder().Chunk("PolH", 0, 4, 2, 0, faces).Bytes()));
    EXPECT_TRUE(reader.Polyhedra().empty());

    ByteWriter negative;
    WriteCobObjectStart(negative, "none");
    negative.I32(-5).I32(-1).I32(-3);
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder().Chunk("PolH", 0, 4, 2, 0, negative).Bytes()));
    ASSERT_EQ(reader.Polyhedra().size(), 1u) << "negative counts hold no items";
    EXPECT_TRUE(reader.Polyhedra()[0].vertices.empty());
}

TEST(CobReaderMat1, ReadsEverySubRecordKind) {
    ReportCapture log;
    CobReader reader;
    CobMat1Spec spec;
    spec.number = 7;
    spec.subRecords = CobEnvironmentSubRecord("env.bmp") + CobTextureSubRecord("tex.bmp", 4, 5) +
                      CobBumpSubRecord("bump.bmp", 0.75f);
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder()
                                      .Chunk("Mat1", 0, 6, 1, 9, Mat1Body(spec))
                                      .Chunk("Note", 0, 1, 2, 0, NoteBody("next"))
                                      .Bytes()));
    ASSERT_EQ(reader.Materials().size(), 1u);
    const CobMat1& mat = reader.Materials()[0];
    EXPECT_EQ(mat.materialNumber, 7);
    ASSERT_TRUE(mat.environmentMap && mat.textureMap && mat.bumpMap);
    EXPECT_EQ(mat.environmentMap->fileName, "env.bmp");
    EXPECT_EQ(mat.environmentMap->flags, 1);
    EXPECT_EQ(mat.textureMap->fileName, "tex.bmp");
    EXPECT_EQ(mat.textureMap->vRepeats, 5);
    EXPECT_EQ(mat.bumpMap->fileName, "bump.bmp");
    EXPECT_EQ(mat.bumpMap->uOffset, 0.5f);
    EXPECT_EQ(mat.bumpMap->amplitude, 0.75f);
    EXPECT_EQ(log.Count("This section wasn't checked for correct loading!"), 2) << "environment and bump maps warn";
    EXPECT_TRUE(log.Contains("Got information for texture tex.bmp!"));
    EXPECT_NE(log.Joined().find("mod w This section wasn't checked"), std::string::npos) << "as a warning";
    ASSERT_EQ(reader.Notes().size(), 1u) << "the next chunk header starts at the byte that ends the sub-records";
}

TEST(CobReaderMat1, WithoutSubRecordsTheNextHeaderIsReadWhole) {
    ReportCapture log;
    CobReader reader;
    CobMat1Spec plain;
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder()
                                      .Chunk("Mat1", 0, 0, 1, 0, Mat1Body(plain))
                                      .Chunk("Mat1", 0, 0, 2, 0, Mat1Body(plain))
                                      .End()
                                      .Bytes()));
    EXPECT_EQ(reader.Materials().size(), 2u);
    EXPECT_FALSE(reader.Materials()[0].textureMap.has_value());

    // A material at the very end of the file completes without a following byte.
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder().Chunk("Mat1", 0, 0, 1, 0, Mat1Body(plain)).Bytes()));
    EXPECT_EQ(reader.Materials().size(), 1u);
}

TEST(CobReaderShBx, ReadsEveryParameterTypeBySize) {
    ReportCapture log;
    CobReader reader;
    const std::string four = "1234";
    std::vector<CobParameterSpec> parameters = {
        {"p1", 1, four},          {"p2", 2, four},          {"p3", 3, four},          {"p5", 5, four},
        {"p6", 6, four},          {"p4", 4, four + four},   {"p7", 7, four + four + four},
        {"p8", 8, four + four + four}, {"p9", 9, four + four + four},
        {"p10", 10, ByteWriter().Name("a name").Bytes()}, {"p11", 11, std::string(1, '\0')},
        {"p33", 33, "xy"},        {"p34", 34, "zw"},        {"p45", 45, "q"},         {"p49", 49, four + four + four + four},
    };
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder()
                                      .Chunk("ShBx", 0, 4, 1, 0, ShBxBody("caligari phong", parameters))
                                      .Chunk("Note", 0, 1, 2, 0, NoteBody("next"))
                                      .Bytes()));
    ASSERT_EQ(reader.ShaderBoxes().size(), 1u);
    const CobShader& shader = reader.ShaderBoxes()[0].shaders[2];
    ASSERT_EQ(shader.parameters.size(), parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i) {
        EXPECT_EQ(shader.parameters[i].name, parameters[i].name);
        EXPECT_EQ(shader.parameters[i].type, parameters[i].type);
    }
    EXPECT_EQ(shader.FindParameter("p10")->TextValue(), "a name");
    EXPECT_EQ(shader.FindParameter("p49")->value.size(), 16u);
    EXPECT_EQ(shader.FindParameter("p4")->LongValue(1), 0x34333231);
    EXPECT_EQ(shader.FindParameter("p4")->FloatValue(2), 0) << "a value past the parameter's end reads as 0";
    EXPECT_EQ(reader.ShaderBoxes()[0].shaders[3].name, "none");
    ASSERT_EQ(reader.Notes().size(), 1u) << "parameter sizes must be exact for the next chunk to be found";
}

TEST(CobReaderShBx, RefusedParametersAreFatalKeepEarlierRecordsAndEndTheLoad) {
    struct Case {
        CobParameterSpec parameter;
        const char* message;
    };
    const Case cases[] = {{{"flag", 11, std::string(1, '\1')}, "Shader value is not supported"},
                          {{"odd", 12, "????"}, "Unknown type of the parameter"}};
    for (const Case& c : cases) {
        ReportCapture log;
        CobReader reader;
        std::string bytes = CobFileBuilder()
                                .Chunk("Note", 0, 1, 1, 0, NoteBody("before"))
                                .Chunk("ShBx", 0, 4, 2, 0, ShBxBody("phong", {c.parameter}))
                                .Bytes();
        try {
            LoadBytes(reader, bytes);
            ADD_FAILURE() << c.message << " must be a fatal report";
        } catch (const FatalReport& fatal) {
            EXPECT_EQ(fatal.line, std::string("mod F ") + c.message);
        }
        EXPECT_EQ(reader.Notes().size(), 1u) << "records completed before the fatal one stay";
        EXPECT_TRUE(reader.ShaderBoxes().empty());
    }

    ReportCapture log;
    SetFatalHandler([] {});
    CobReader reader;
    std::string bytes = CobFileBuilder()
                            .Chunk("ShBx", 0, 4, 1, 0, ShBxBody("phong", {{"odd", 12, "????"}}))
                            .Chunk("Note", 0, 1, 2, 0, NoteBody("after"))
                            .Bytes();
    EXPECT_FALSE(LoadBytes(reader, bytes)) << "with a fatal handler that returns, the load still ends";
    EXPECT_TRUE(reader.Notes().empty()) << "the bytes after a parameter of unknown size mean nothing";
    EXPECT_FALSE(log.Contains("Ignoring chunk: ????")) << "the parameter's value must not be read as a chunk";
}

TEST(CobReaderNCur, RationalCurvesCarryWeightsAndKnots) {
    ReportCapture log;
    CobReader reader;
    ByteWriter rational, closed, open, fewPoints;
    const std::vector<CobVertex> four = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    WriteCobNCur(rational, "rational", 2, 4, four);
    WriteCobNCur(closed, "closed", 1, 4, four);
    WriteCobNCur(open, "open", 0, 2, {{0, 0, 0}, {5, 5, 5}});
    WriteCobNCur(fewPoints, "few", 1, 4, {{0, 0, 0}, {1, 1, 1}});
    std::string bytes = CobFileBuilder()
                            .Chunk("NCur", 0, 2, 1, 0, rational)
                            .Chunk("NCur", 0, 2, 2, 0, closed)
                            .Chunk("NCur", 0, 0, 3, 0, open)
                            .Chunk("NCur", 0, 1, 4, 0, fewPoints)
                            .End()
                            .Bytes();
    ASSERT_TRUE(LoadBytes(reader, bytes));
    ASSERT_EQ(reader.Curves().size(), 4u);
    const CobNCur& r = reader.Curves()[0];
    EXPECT_TRUE(r.IsRational());
    ASSERT_EQ(r.controlPoints.size(), 4u);
    EXPECT_EQ(r.controlPoints[3].position.y, 1);
    EXPECT_EQ(r.controlPoints[3].weight, 3.5f) << "a rational point is followed by its weight";
    EXPECT_EQ(r.knots.size(), 8u) << "4 points of order 4 have 8 knots";
    EXPECT_EQ(r.knots[7], 7);
    EXPECT_EQ(reader.Curves()[1].controlPoints[3].weight, 1) << "non-rational points weigh 1";
    EXPECT_EQ(reader.Curves()[2].controlPoints[1].position.z, 5);
    EXPECT_TRUE(reader.Curves()[3].knots.empty()) << "fewer points than the order: no knots";
    EXPECT_EQ(reader.Curves()[3].trailer, 0xCAFEF00Du);
    EXPECT_EQ(log.Count("Curve should be closed or rational"), 1);
    EXPECT_EQ(log.Count("Loaded 4 control Points"), 2);
    EXPECT_EQ(log.Count("Loaded 2 control Points"), 2);
}

TEST(CobReaderCame, OnlyTheStandardCameraIsAccepted) {
    ReportCapture log;
    CobReader reader;
    ByteWriter good, bad;
    WriteCobCame(good, "front", kCobStandardCamera);
    WriteCobCame(bad, "odd", 3);
    std::string bytes = CobFileBuilder()
                            .Chunk("Came", 0, 2, 1, 0, good)
                            .Chunk("Came", 0, 2, 2, 0, bad)
                            .Chunk("Note", 0, 1, 3, 0, NoteBody("never"))
                            .Bytes();
    EXPECT_FALSE(LoadBytes(reader, bytes, "cams.cob"));
    EXPECT_EQ(reader.Cameras().size(), 1u);
    EXPECT_TRUE(reader.Notes().empty()) << "a refused camera ends the load";
    EXPECT_TRUE(log.Contains("Can load only standard camera"));
    EXPECT_TRUE(log.Contains("Loading Camera: odd"));
    EXPECT_TRUE(log.Contains("Loading is done: cams.cob"));
}

TEST(CobReaderLght, EveryMinorVersionReadsExactlyItsFields) {
    for (int16_t minor = 0; minor <= 12; ++minor) {
        for (int16_t shadowFlags : {0, 1}) {
            ReportCapture log;
            CobReader reader;
            ByteWriter light;
            WriteCobLght(light, "sun", minor, 1, shadowFlags, 1, 0.5f, 0.25f, 45);
            std::string bytes = CobFileBuilder()
                                    .Chunk("Lght", 0, minor, 1, 0, light)
                                    .Chunk("Note", 0, 1, 2, 0, NoteBody("next"))
                                    .Bytes();
            const std::string which = "minor " + std::to_string(minor) + " shadow " + std::to_string(shadowFlags);
            ASSERT_TRUE(LoadBytes(reader, bytes)) << which;
            ASSERT_EQ(reader.Lights().size(), 1u) << which;
            EXPECT_EQ(reader.Lights()[0].green, 0.5f) << which;
            EXPECT_EQ(reader.Lights()[0].spotCutoff, 45) << which;
            EXPECT_EQ(reader.Lights()[0].shadowFlags, shadowFlags) << which;
            ASSERT_EQ(reader.Notes().size(), 1u) << which << ": the light read too much or too little";
            EXPECT_EQ(reader.Notes()[0].name, "next") << which;
        }
    }
}

TEST(CobReaderTruncation, EveryPrefixKeepsOnlyWholeRecords) {
    const CobFileBuilder builder = FullSceneBuilder();
    const std::string& full = builder.Bytes();
    CobReader complete;
    {
        ReportCapture log;
        ASSERT_TRUE(LoadBytes(complete, full));
    }
    const std::vector<size_t>& starts = builder.ChunkStarts();
    for (size_t length = 0; length < full.size(); ++length) {
        ReportCapture log;
        CobReader reader;
        const bool loaded = LoadBytes(reader, full.substr(0, length));
        EXPECT_EQ(loaded, length >= 32) << "prefix " << length << ": only the header decides";
        // Every chunk that ends inside the prefix is kept. A chunk cut inside its body is
        // not, except a material cut right before its sub-records, which is whole so far.
        const size_t whole = static_cast<size_t>(std::upper_bound(starts.begin() + 1, starts.end(), length) - starts.begin()) - 1;
        const size_t count = RecordCount(reader);
        EXPECT_GE(count, whole) << "prefix " << length << " lost a record it holds whole";
        EXPECT_LE(count, whole + 1) << "prefix " << length << " kept a record it cuts";
        if (!reader.Polyhedra().empty()) {
            EXPECT_EQ(reader.Polyhedra()[0].faces.size(), complete.Polyhedra()[0].faces.size()) << length;
        }
        if (!reader.Notes().empty()) {
            EXPECT_EQ(reader.Notes()[0].name, "hello") << length;
        }
        if (!reader.ShaderBoxes().empty()) {
            EXPECT_EQ(reader.ShaderBoxes()[0].shaders[3].name, "none") << length;
        }
    }
    CobReader withoutEnd;
    ReportCapture log;
    ASSERT_TRUE(LoadBytes(withoutEnd, full.substr(0, starts.back())));
    EXPECT_EQ(RecordCount(withoutEnd), RecordCount(complete)) << "a file without its END chunk keeps every record";
}
