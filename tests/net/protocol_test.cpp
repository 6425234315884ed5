#include "net/protocol.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// One payload of every kind, with its decoder and the encoder that must give the same
// bytes back from what was decoded. The encoders' byte layout is pinned by the layout
// table below, so a decoder that drops, swaps or misreads a field shows here.
struct RoundTrip {
    const char* name;
    Payload payload;
    std::function<std::optional<Payload>(const uint8_t*, size_t)> decodeAndEncodeAgain;
    std::set<size_t> shorterValidSizes;  // cuts that form a different valid record
};

template <typename Value, typename Encode, typename Decode>
RoundTrip Case(const char* name, const Value& value, Encode encode, Decode decode, std::set<size_t> shorter = {}) {
    return {name, encode(value),
            [=](const uint8_t* data, size_t size) -> std::optional<Payload> {
                Value read;
                if (!decode(data, size, read)) return std::nullopt;
                return encode(read);
            },
            std::move(shorter)};
}

GameRecord SampleGame() { return GameRecord{4, 10, -7, 0x01020304, "canyon", "evening race", 0xdeadbeef}; }

std::vector<RoundTrip> RoundTrips() {
    const GameRecord game = SampleGame();
    return {
        Case<std::string>("text", "PLAYER", EncodeText, DecodeText),
        Case<uint8_t>("byte", 5, EncodeByte, DecodeByte),
        Case<int32_t>("int", -123456, EncodeInt, DecodeInt),
        Case("game record", game, EncodeGameRecord, DecodeGameRecord),
        Case("create request", CreateRequest{game, {"Player1", "", "Player2"}}, EncodeCreateRequest,
             DecodeCreateRequest),
        Case("create reply", CreateReply{kStatusAccepted, 77}, EncodeCreateReply, DecodeCreateReply),
        Case("create refused", CreateReply{kStatusRefused, 0}, EncodeCreateReply, DecodeCreateReply),
        // A join request cut after its game id is a rejoin.
        Case("join request", JoinRequest{42, false, {"Ann", "Bob"}}, EncodeJoinRequest, DecodeJoinRequest, {4}),
        Case("rejoin", JoinRequest{42, true, {}}, EncodeJoinRequest, DecodeJoinRequest),
        Case("join reply", JoinReply{kStatusAccepted, game}, EncodeJoinReply, DecodeJoinReply),
        Case("join refused", JoinReply{kStatusRefused, GameRecord()}, EncodeJoinReply, DecodeJoinReply),
        Case("player joined", PlayerJoined{3, "Zed", 1}, EncodePlayerJoined, DecodePlayerJoined),
        Case("ping reply", PingReply{1000, -5}, EncodePingReply, DecodePingReply),
    };
}

TEST(Protocol, EveryPayloadDecodesToWhatWasEncodedButNotWhenCutAtAnyByteOrFollowedByMore) {
    for (const RoundTrip& c : RoundTrips()) {
        EXPECT_EQ(c.decodeAndEncodeAgain(c.payload.data(), c.payload.size()), c.payload) << c.name;
        Payload longer = c.payload;
        longer.push_back(0xff);
        EXPECT_FALSE(c.decodeAndEncodeAgain(longer.data(), longer.size())) << c.name << ": bytes left over";
        for (size_t cut = 0; cut < c.payload.size(); ++cut) {
            if (c.shorterValidSizes.count(cut)) continue;
            // A copy of exactly `cut` bytes, so a read past the frame would be caught by ASan.
            const std::vector<uint8_t> shorter(c.payload.begin(), c.payload.begin() + cut);
            EXPECT_FALSE(c.decodeAndEncodeAgain(shorter.empty() ? nullptr : shorter.data(), cut))
                << c.name << " " << cut;
        }
    }
}

TEST(Protocol, EachRecordHasItsFixedLayoutAndRepliesCarryTheirBodyOnlyWhenNotRefused) {
    const struct {
        const char* name;
        Payload encoded, expected;
    } cases[] = {
        {"create request",
         EncodeCreateRequest(CreateRequest{{2, 5, 0, 9, "ab", "T", 0x11223344}, {"P"}}),
         {2,    0,    0,    0,    5,   0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0,  // players, victories, 0, id
          2,    'a',  'b',  1,    'T',                                   // level, title
          0x44, 0x33, 0x22, 0x11,                                        // checksum
          1,    1,    'P'}},                                             // names
        {"refused create", EncodeCreateReply({kStatusRefused, 5}), {2}},
        {"accepted create", EncodeCreateReply({kStatusAccepted, 5}), {1, 5, 0, 0, 0}},
        {"refused join", EncodeJoinReply({kStatusRefused, SampleGame()}), {2}},
        {"rejoin names the game only", EncodeJoinRequest({7, true, {"ignored"}}), {7, 0, 0, 0}},
        {"player joined", EncodePlayerJoined({1, "A", 1}), {1, 1, 'A', 1}},
        {"ping reply", EncodePingReply({1, -2}), {1, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff}},
        {"chat has no length byte", EncodeChat("me>hi"), {'m', 'e', '>', 'h', 'i'}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.encoded, c.expected) << c.name;
}

TEST(Protocol, TextsAndNameListsAreCutAtTheirLengthByte) {
    const std::string longText(300, 'n');
    const Payload text = EncodeText(longText);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[0], 255);

    JoinRequest join{1, false, std::vector<std::string>(300, "x")};
    JoinRequest read;
    const Payload payload = EncodeJoinRequest(join);
    ASSERT_TRUE(DecodeJoinRequest(payload.data(), payload.size(), read));
    EXPECT_EQ(read.names.size(), 255u);
}

TEST(Protocol, ChatIsTheWholePayloadUpToTheFrameLimit) {
    const Payload chat{'a', 0, 'b'};
    EXPECT_EQ(DecodeChat(chat.data(), chat.size()), std::string("a\0b", 3));
    EXPECT_EQ(DecodeChat(nullptr, 0), "");
    EXPECT_EQ(EncodeChat(std::string(70000, 'c')).size(), 65532u);
}

TEST(Protocol, AGameRecordNeedsALevelPlayersAndVictories) {
    struct Case {
        int32_t players;
        int32_t victories;
        const char* level;
        bool valid;
    } const cases[] = {
        {4, 10, "canyon", true}, {0, 10, "canyon", false}, {4, 0, "canyon", false},
        {4, 10, "", false},      {-1, -1, "x", true},
    };
    for (const Case& c : cases) {
        GameRecord game;
        game.max_players = c.players;
        game.victories = c.victories;
        game.level_name = c.level;
        EXPECT_EQ(IsValidGameRecord(game), c.valid) << c.players << " " << c.victories << " " << c.level;
    }
}

TEST(Protocol, APlayerUpdateMustHaveTheSizeItsFlagsCallFor) {
    struct Case {
        uint8_t flags;
        size_t size;
        bool wellSized;
    } const cases[] = {
        {0x00, 34, true}, {0x00, 24, false}, {0x10, 24, true}, {0x10, 34, false},
        {0x90, 34, true}, {0x6f, 34, true},  {0x00, 0, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> record(c.size, 0);
        if (!record.empty()) record[0] = c.flags;
        EXPECT_EQ(IsWellSizedPlayerUpdate(record.empty() ? nullptr : record.data(), record.size()), c.wellSized)
            << int(c.flags) << " " << c.size;
    }
}

}  // namespace
