#include "net/protocol.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

bool operator==(const GameRecord& a, const GameRecord& b) {
    return a.max_players == b.max_players && a.victories == b.victories && a.reserved == b.reserved &&
           a.game_id == b.game_id && a.level_name == b.level_name && a.title == b.title && a.checksum == b.checksum;
}

GameRecord SampleGame() {
    GameRecord game;
    game.max_players = 4;
    game.victories = 10;
    game.reserved = -7;
    game.game_id = 0x01020304;
    game.level_name = "canyon";
    game.title = "evening race";
    game.checksum = 0xdeadbeef;
    return game;
}

// One payload with the decoder that must give back what was encoded.
struct RoundTrip {
    const char* name;
    Payload payload;
    std::function<bool(const uint8_t*, size_t)> decodesToOriginal;
    std::set<size_t> shorterValidSizes;  // cuts that form a different valid record
};

template <typename Value, typename Decode>
std::function<bool(const uint8_t*, size_t)> Matches(Value original, Decode decode,
                                                    std::function<bool(const Value&, const Value&)> same) {
    return [=](const uint8_t* data, size_t size) {
        Value read;
        return decode(data, size, read) && same(read, original);
    };
}

std::vector<RoundTrip> RoundTrips() {
    std::vector<RoundTrip> cases;
    const GameRecord game = SampleGame();
    cases.push_back({"text", EncodeText("PLAYER"), Matches<std::string>("PLAYER", DecodeText, std::equal_to<>()), {}});
    cases.push_back({"empty text", EncodeText(""), Matches<std::string>("", DecodeText, std::equal_to<>()), {}});
    cases.push_back({"byte", EncodeByte(5), Matches<uint8_t>(5, DecodeByte, std::equal_to<>()), {}});
    cases.push_back({"int", EncodeInt(-123456), Matches<int32_t>(-123456, DecodeInt, std::equal_to<>()), {}});
    cases.push_back({"game record",
                     EncodeGameRecord(game),
                     Matches<GameRecord>(game, DecodeGameRecord, [](auto& a, auto& b) { return a == b; }),
                     {}});

    CreateRequest create;
    create.game = game;
    create.names = {"Player1", "", "Player2"};
    cases.push_back({"create request",
                     EncodeCreateRequest(create),
                     Matches<CreateRequest>(create, DecodeCreateRequest,
                                            [](auto& a, auto& b) { return a.game == b.game && a.names == b.names; }),
                     {}});

    const CreateReply created{kStatusAccepted, 77};
    const CreateReply refused{kStatusRefused, 0};
    auto sameCreated = [](const CreateReply& a, const CreateReply& b) {
        return a.status == b.status && a.game_id == b.game_id;
    };
    cases.push_back({"create reply",
                     EncodeCreateReply(created),
                     Matches<CreateReply>(created, DecodeCreateReply, sameCreated),
                     {}});
    cases.push_back({"create refused",
                     EncodeCreateReply(refused),
                     Matches<CreateReply>(refused, DecodeCreateReply, sameCreated),
                     {}});

    auto sameJoin = [](const JoinRequest& a, const JoinRequest& b) {
        return a.game_id == b.game_id && a.rejoin == b.rejoin && a.names == b.names;
    };
    const JoinRequest join{42, false, {"Ann", "Bob"}};
    const JoinRequest noNames{42, false, {}};
    const JoinRequest rejoin{42, true, {}};
    cases.push_back(
        {"join request", EncodeJoinRequest(join), Matches<JoinRequest>(join, DecodeJoinRequest, sameJoin), {4}});
    cases.push_back({"join without names",
                     EncodeJoinRequest(noNames),
                     Matches<JoinRequest>(noNames, DecodeJoinRequest, sameJoin),
                     {4}});
    cases.push_back(
        {"rejoin", EncodeJoinRequest(rejoin), Matches<JoinRequest>(rejoin, DecodeJoinRequest, sameJoin), {}});

    auto sameJoinReply = [](const JoinReply& a, const JoinReply& b) {
        return a.status == b.status && a.game == b.game;
    };
    const JoinReply joined{kStatusAccepted, game};
    const JoinReply joinRefused{kStatusRefused, GameRecord()};
    cases.push_back(
        {"join reply", EncodeJoinReply(joined), Matches<JoinReply>(joined, DecodeJoinReply, sameJoinReply), {}});
    cases.push_back({"join refused",
                     EncodeJoinReply(joinRefused),
                     Matches<JoinReply>(joinRefused, DecodeJoinReply, sameJoinReply),
                     {}});

    const PlayerJoined player{3, "Zed", 1};
    cases.push_back({"player joined",
                     EncodePlayerJoined(player),
                     Matches<PlayerJoined>(
                         player, DecodePlayerJoined,
                         [](auto& a, auto& b) { return a.slot == b.slot && a.name == b.name && a.flag == b.flag; }),
                     {}});

    const PingReply pong{1000, -5};
    cases.push_back({"ping reply",
                     EncodePingReply(pong),
                     Matches<PingReply>(pong, DecodePingReply,
                                        [](auto& a, auto& b) {
                                            return a.client_time == b.client_time && a.server_time == b.server_time;
                                        }),
                     {}});
    return cases;
}

TEST(Protocol, EveryPayloadDecodesToWhatWasEncodedButNotWhenCutAtAnyByteOrFollowedByMore) {
    for (const RoundTrip& c : RoundTrips()) {
        EXPECT_TRUE(c.decodesToOriginal(c.payload.data(), c.payload.size())) << c.name;
        Payload longer = c.payload;
        longer.push_back(0xff);
        EXPECT_FALSE(c.decodesToOriginal(longer.data(), longer.size())) << c.name << ": bytes left over";
        for (size_t cut = 0; cut < c.payload.size(); ++cut) {
            if (c.shorterValidSizes.count(cut)) continue;
            // A copy of exactly `cut` bytes, so a read past the frame would be caught by ASan.
            const std::vector<uint8_t> shorter(c.payload.begin(), c.payload.begin() + cut);
            EXPECT_FALSE(c.decodesToOriginal(shorter.empty() ? nullptr : shorter.data(), cut)) << c.name << " " << cut;
        }
    }
}

TEST(Protocol, TheCreateRequestLayoutIsFixed) {
    CreateRequest create;
    create.game = {2, 5, 0, 9, "ab", "T", 0x11223344};
    create.names = {"P"};
    const Payload expected{2,    0,    0,    0,    5,   0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0,  // players, victories, 0, id
                           2,    'a',  'b',  1,    'T',                                   // level, title
                           0x44, 0x33, 0x22, 0x11,                                        // checksum
                           1,    1,    'P'};                                              // names
    EXPECT_EQ(EncodeCreateRequest(create), expected);
}

TEST(Protocol, RepliesCarryTheirBodyOnlyWhenNotRefused) {
    EXPECT_EQ(EncodeCreateReply({kStatusRefused, 5}), (Payload{2}));
    EXPECT_EQ(EncodeCreateReply({kStatusAccepted, 5}), (Payload{1, 5, 0, 0, 0}));
    EXPECT_EQ(EncodeJoinReply({kStatusRefused, SampleGame()}), (Payload{2}));
    EXPECT_EQ(EncodeJoinRequest({7, true, {"ignored"}}), (Payload{7, 0, 0, 0}));
    EXPECT_EQ(EncodePlayerJoined({1, "A", 1}), (Payload{1, 1, 'A', 1}));
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

TEST(Protocol, ChatIsTheWholePayloadWithoutALengthByte) {
    EXPECT_EQ(EncodeChat("me>hi"), (Payload{'m', 'e', '>', 'h', 'i'}));
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
        {0x00, 34, true},  {0x00, 24, false}, {0x10, 24, true}, {0x10, 34, false}, {0x90, 34, true},
        {0x90, 24, false}, {0x80, 34, true},  {0x6f, 34, true}, {0x10, 25, false}, {0x00, 0, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> record(c.size, 0);
        if (!record.empty()) record[0] = c.flags;
        EXPECT_EQ(IsWellSizedPlayerUpdate(record.empty() ? nullptr : record.data(), record.size()), c.wellSized)
            << int(c.flags) << " " << c.size;
    }
    EXPECT_EQ(PlayerUpdateSizeFromFlags(0x10), kPlayerUpdateShortSize);
    EXPECT_EQ(PlayerUpdateSizeFromFlags(0x90), kPlayerUpdateLongSize);
}

}  // namespace
