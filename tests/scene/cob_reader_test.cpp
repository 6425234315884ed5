#include "scene/cob_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/report.h"
#include "file_builders.h"
#include "support/report_capture.h"

namespace {

bool LoadBytes(CobReader& reader, const std::string& bytes, const std::string& name = "scene.cob") {
    return reader.LoadFromMemory(bytes.data(), bytes.size(), name);
}

ByteWriter NoteBody(const std::string& text) { return std::move(ByteWriter().Name(text)); }
ByteWriter PolHBody(const CobPolHSpec& polh, int16_t minor) { return Encoded(WriteCobPolH, polh, minor); }
ByteWriter ShBxBody(const std::string& look, const std::vector<CobParameterSpec>& parameters) {
    return Encoded(WriteCobShBx, look, parameters);
}

// `chunk` followed by a note: the note is only found when the chunk was read to its exact end.
std::string ThenNote(const std::string& type, int16_t minor, const ByteWriter& chunk) {
    return CobFileBuilder().Chunk(type, 0, minor, 1, 0, chunk).Chunk("Note", 0, 1, 2, 0, NoteBody("next")).Bytes();
}

// One chunk of every kind, then END.
CobFileBuilder FullSceneBuilder() {
    const float eye[3] = {1, 2, 3};
    const std::vector<CobVertex> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    CobMat1Spec mat;
    mat.subRecords = CobTextureSubRecord("C:\\maps\\hull.bmp", 2, 3);
    return CobFileBuilder()
        .Chunk("Grou", 0, 1, 1, 0, Encoded(WriteCobObjectStart, "group one", int16_t{2}, nullptr, nullptr))
        .Chunk("PolH", 0, 8, 2, 1, PolHBody(CobSquare("hull"), 8))
        .Chunk("Mat1", 0, 6, 3, 2, Encoded(WriteCobMat1, mat))
        .Chunk("ShBx", 0, 4, 4, 3, ShBxBody("phong", CobPhongParameters(0.8f)))
        .Chunk("Came", 0, 2, 5, 0, Encoded(WriteCobCame, "cam", kCobStandardCamera, eye))
        .Chunk("Lght", 0, 12, 6, 0,
               Encoded(WriteCobLght, "lamp", int16_t{12}, int16_t{4}, int16_t{1}, 0.25f, 0.5f, 0.75f, 30.0f))
        .Chunk("NCur", 0, 2, 7, 0, Encoded(WriteCobNCur, "path", 1, 3, square))
        .Chunk("Note", 0, 1, 8, 0, NoteBody("hello"))
        .End();
}

size_t RecordCount(const CobReader& r) {
    return r.Polyhedra().size() + r.Materials().size() + r.ShaderBoxes().size() + r.Curves().size() +
           r.Cameras().size() + r.Lights().size() + r.Groups().size() + r.Notes().size();
}

}  // namespace

// Not a binary COB file, or one cut short: refused before any record is kept.
TEST(CobReaderHeader, RefusedFilesGiveTheirReasonInTheLogAndKeepNoRecord) {
    std::string wrongVersion = CobFileBuilder().Bytes();
    wrongVersion[14] = '2';
    const std::string whole = CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("a")).End().Bytes();
    const std::string cut = "Not a valid cob format of x.cob: the file ends inside the ";
    const struct {
        std::string bytes, error;
    } cases[] = {
        {CobFileBuilder('A').Chunk("Note", 0, 1, 1, 0, NoteBody("x")).Bytes(), ""},
        {CobFileBuilder('X').Bytes(), "Unknown type (should be ASCII or BINARY) of file x.cob"},
        {wrongVersion, "Not a valid cob format of x.cob"},
        {whole.substr(0, 33), cut + "chunk header at byte 32"},
        {CobFileBuilder().Chunk("Huge", 0, 0, 7, 0, ByteWriter(), 1 << 30).Bytes(),
         cut + "Huge chunk at byte 32, 0 of its 1073741824 bytes are there"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        ReportCapture log;
        CobReader reader;
        EXPECT_FALSE(LoadBytes(reader, c.bytes, "x.cob"));
        EXPECT_EQ(reader.LastError(), c.error);
        EXPECT_TRUE(log.Contains(c.error.empty() ? "Reading ASCII file is not supported" : c.error))
            << "errors are logged";
        EXPECT_EQ(RecordCount(reader), 0u);
    }
}

TEST(CobReaderChunks, EndsAtEndOrFileEndAndSkipsUnknownAndNewerChunksBySize) {
    ReportCapture log;
    CobReader reader;
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder()
                                      .Chunk("Note", 0, 1, 1, 0, NoteBody("a"))
                                      .End(0)
                                      .Chunk("Note", 0, 1, 2, 0, NoteBody("b"))
                                      .Bytes()));
    EXPECT_EQ(reader.Notes().size(), 1u) << "nothing after an END chunk is read";

    const ByteWriter junk = ByteWriter().Text("not a record at all");
    const std::string bytes = CobFileBuilder()
                                  .Chunk("END ", 1, 1, 0, 0, ByteWriter())  // a newer END is unknown
                                  .Chunk("Unit", 0, 0, 1, 0, junk)
                                  .Chunk("Mat1", 1, 0, 3, 0, junk)
                                  .Chunk("Zero", 0, 0, 5, 0, ByteWriter(), -7)
                                  .Chunk("Note", 0, 1, 6, 0, NoteBody("kept"))
                                  .Bytes();
    EXPECT_TRUE(LoadBytes(reader, bytes)) << "a file may end without END";
    EXPECT_TRUE(reader.Materials().empty()) << "Mat1 major 1 is newer than the reader knows";
    EXPECT_EQ(reader.Notes().size(), 1u) << "the chunk after a negative size is still found";
}

TEST(CobReaderVersions, PolHAndLightsReadExactlyTheFieldsOfTheirMinorVersion) {
    ReportCapture log;
    CobReader reader;
    for (int16_t minor = 0; minor <= 12; ++minor) {
        SCOPED_TRACE("minor " + std::to_string(minor));
        ASSERT_TRUE(LoadBytes(reader, ThenNote("PolH", minor, PolHBody(CobSquare(), minor))));
        EXPECT_EQ(reader.Polyhedra().size(), minor <= 8 ? 1u : 0u)
            << "PolH from minor 9 on is newer than the reader knows";
        EXPECT_EQ(reader.Notes().size(), 1u) << "PolH read too much or too little";
        ASSERT_TRUE(LoadBytes(
            reader, ThenNote("Lght", minor,
                             Encoded(WriteCobLght, "sun", minor, int16_t{1}, int16_t{1}, 1.0f, 0.5f, 0.25f, 45.0f))));
        EXPECT_EQ(reader.Lights().at(0).spotCutoff, 45);
        EXPECT_EQ(reader.Notes().size(), 1u) << "Lght read too much or too little";
    }
}

TEST(CobReaderPolH, CountsBeyondTheFileEndTheLoadWithoutAllocating) {
    ReportCapture log;
    CobReader reader;
    ByteWriter vertices, faces, negative;
    WriteCobObjectStart(vertices, "liar");
    vertices.I32(0x7FFFFFFF).F32(1);  // two billion vertices announced, one float present
    WriteCobObjectStart(faces, "faces");
    faces.I32(0).I32(0).I32(3).U8(0).I16(0x7FFF).I16(0);
    for (const ByteWriter* body : {&vertices, &faces}) {
        EXPECT_TRUE(LoadBytes(
            reader,
            CobFileBuilder().Chunk("Note", 0, 1, 1, 0, NoteBody("before")).Chunk("PolH", 0, 4, 2, 0, *body).Bytes()));
        EXPECT_TRUE(reader.Polyhedra().empty()) << "a record cut short is not kept";
        EXPECT_EQ(reader.Notes().size(), 1u);
    }
    WriteCobObjectStart(negative, "none");
    negative.I32(-5).I32(-1).I32(-3);
    ASSERT_TRUE(LoadBytes(reader, CobFileBuilder().Chunk("PolH", 0, 4, 2, 0, negative).Bytes()));
    EXPECT_EQ(reader.Polyhedra().size(), 1u) << "negative counts hold no items";
}

TEST(CobReaderMat1, ReadsEverySubRecordKindAndWarnsAboutTheUncheckedOnes) {
    ReportCapture log;
    CobReader reader;
    CobMat1Spec spec;
    spec.subRecords =
        ByteWriter().Text("e:").U8(1).Name("env.bmp").Bytes() + CobTextureSubRecord("tex.bmp", 4, 5) +
        ByteWriter().Text("b:").U8(2).Name("bump.bmp").F32(0.5f).F32(0.25f).F32(2).F32(3).F32(0.75f).Bytes();
    ASSERT_TRUE(LoadBytes(reader, ThenNote("Mat1", 6, Encoded(WriteCobMat1, spec))));
    const CobMat1& mat = reader.Materials().at(0);
    ASSERT_TRUE(mat.environmentMap && mat.textureMap && mat.bumpMap);
    EXPECT_EQ(reader.Notes().size(), 1u) << "the next chunk header starts at the byte that ends the sub-records";
}

TEST(CobReaderShBx, ReadsEveryParameterTypeBySize) {
    ReportCapture log;
    CobReader reader;
    const std::string four = "1234";
    const std::vector<CobParameterSpec> parameters = {
        {"p1", 1, four},
        {"p6", 6, four},
        {"p4", 4, four + four},
        {"p7", 7, four + four + four},
        {"p10", 10, ByteWriter().Name("a name").Bytes()},
        {"p11", 11, std::string(1, '\0')},
        {"p33", 33, "xy"},
        {"p45", 45, "q"},
        {"p49", 49, four + four + four + four},
    };
    ASSERT_TRUE(LoadBytes(reader, ThenNote("ShBx", 4, ShBxBody("caligari phong", parameters))));
    const CobShader& shader = reader.ShaderBoxes().at(0).shaders[2];
    ASSERT_EQ(shader.parameters.size(), parameters.size());
    EXPECT_EQ(shader.FindParameter("p10")->TextValue(), "a name");
    EXPECT_EQ(reader.Notes().size(), 1u) << "parameter sizes must be exact for the next chunk to be found";
}

TEST(CobReaderShBx, RefusedParametersAreFatalKeepEarlierRecordsAndEndTheLoad) {
    const std::string bytes = CobFileBuilder()
                                  .Chunk("Note", 0, 1, 1, 0, NoteBody("before"))
                                  .Chunk("ShBx", 0, 4, 2, 0, ShBxBody("phong", {{"flag", 11, std::string(1, '\1')}}))
                                  .Bytes();
    ReportCapture log;
    CobReader reader;
    try {
        LoadBytes(reader, bytes);
        ADD_FAILURE() << "must be a fatal report";
    } catch (const FatalReport& fatal) {
        EXPECT_EQ(fatal.line, "mod F Shader value is not supported");
    }
    EXPECT_EQ(reader.Notes().size(), 1u) << "records completed before the fatal one stay";
    EXPECT_TRUE(reader.ShaderBoxes().empty());
    SetFatalHandler([] {});
    EXPECT_FALSE(LoadBytes(reader, ThenNote("ShBx", 4, ShBxBody("phong", {{"odd", 12, "????"}}))))
        << "with a fatal handler that returns, the load still ends";
    EXPECT_TRUE(reader.Notes().empty()) << "the bytes after a parameter of unknown size mean nothing";
}

TEST(CobReaderNCur, RationalCurvesCarryWeightsAndKnots) {
    ReportCapture log;
    CobReader reader;
    const std::vector<CobVertex> four = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const std::string bytes =
        CobFileBuilder()
            .Chunk("NCur", 0, 2, 1, 0, Encoded(WriteCobNCur, "rational", 2, 4, four))
            .Chunk("NCur", 0, 2, 2, 0, Encoded(WriteCobNCur, "open", 0, 2, four))
            .Chunk("NCur", 0, 1, 3, 0, Encoded(WriteCobNCur, "few", 1, 4, std::vector<CobVertex>{{0, 0, 0}}))
            .End()
            .Bytes();
    ASSERT_TRUE(LoadBytes(reader, bytes));
    ASSERT_EQ(reader.Curves().size(), 3u);
    EXPECT_EQ(reader.Curves()[0].controlPoints.at(3).weight, 3.5f) << "a rational point is followed by its weight";
    EXPECT_EQ(reader.Curves()[0].knots.size(), 8u) << "4 points of order 4 have 8 knots";
    EXPECT_TRUE(reader.Curves()[2].knots.empty()) << "fewer points than the order: no knots";
    EXPECT_EQ(log.Count("Curve should be closed or rational"), 1) << "only the open, non-rational one warns";
}

TEST(CobReaderCame, AnythingButTheStandardCameraEndsTheLoad) {
    ReportCapture log;
    CobReader reader;
    EXPECT_FALSE(LoadBytes(reader, CobFileBuilder()
                                       .Chunk("Came", 0, 2, 2, 0, Encoded(WriteCobCame, "odd", int16_t{3}, nullptr))
                                       .Chunk("Note", 0, 1, 3, 0, NoteBody("never"))
                                       .Bytes()));
    EXPECT_TRUE(reader.Notes().empty()) << "a refused camera ends the load";
    EXPECT_TRUE(log.Contains("Can load only standard camera"));
}

TEST(CobReaderTruncation, TheWholeFileHoldsEveryKindAndEveryPrefixEndingBetweenChunksTheRecordsBeforeIt) {
    const CobFileBuilder builder = FullSceneBuilder();
    const std::string& full = builder.Bytes();
    const std::vector<size_t>& starts = builder.ChunkStarts();
    const size_t records = starts.size() - 1;  // every chunk but END
    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE("prefix " + std::to_string(length));
        ReportCapture log;
        CobReader reader;
        const bool betweenChunks =
            length == 32 || length == full.size() || std::binary_search(starts.begin(), starts.end(), length);
        EXPECT_EQ(LoadBytes(reader, full.substr(0, length)), betweenChunks) << "a chunk cut short refuses the file";
        const auto chunksBefore = std::lower_bound(starts.begin(), starts.end(), length) - starts.begin();
        const size_t whole = betweenChunks ? static_cast<size_t>(chunksBefore) : 0;
        EXPECT_EQ(RecordCount(reader), std::min(whole, records));
        EXPECT_TRUE(reader.ShaderBoxes().empty() || reader.ShaderBoxes()[0].shaders[3].name == "none");
    }
}
