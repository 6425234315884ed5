#include "server/lobby.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "net/frame.h"
#include "net/protocol.h"
#include "support/report_capture.h"

namespace {

struct Message {
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
};

class Recorder : public ClientOutput {
public:
    void Send(ClientId client, const std::vector<uint8_t>& frame) override {
        FrameHead head;
        ASSERT_EQ(CheckFrame(frame.data(), frame.size(), head), FrameStatus::kFrame);
        ASSERT_EQ(head.length, frame.size());
        inbox[client].push_back({head.kind, std::vector<uint8_t>(frame.begin() + 3, frame.end())});
    }
    void Close(ClientId client) override { closed.push_back(client); }

    std::map<ClientId, std::vector<Message>> inbox;
    std::vector<ClientId> closed;
};

std::vector<uint8_t> UpdateBytes(uint8_t slot) {
    std::vector<uint8_t> update(kPlayerUpdateShortSize, 0);
    update[0] = 1 << 4;  // the bullet is loaded: the short form
    update[1] = slot;
    return update;
}

class LobbyTest : public ::testing::Test {
protected:
    LobbyTest() : lobby(output, LobbySettings()) {}

    void Connect(ClientId id, const std::string& address = "127.0.1.1") { lobby.Connect(id, address, now); }
    void Receive(ClientId id, MessageKind kind, const Payload& payload = {}) {
        lobby.Receive(id, ToByte(kind), payload.data(), payload.size(), now);
    }
    // Everything a client got since the last look.
    std::vector<Message> Take(ClientId id) {
        std::vector<Message> messages = std::move(output.inbox[id]);
        output.inbox[id].clear();
        return messages;
    }
    uint8_t Status(ClientId id, MessageKind kind) {
        const std::vector<Message> got = Take(id);
        if (got.size() != 1 || got[0].kind != ToByte(kind) || got[0].payload.empty()) return 0;
        return got[0].payload[0];
    }
    uint8_t Login(ClientId id, const std::string& name, const std::string& address = "127.0.1.1") {
        Connect(id, address);
        Receive(id, MessageKind::kLogin, EncodeText(name));
        return Status(id, MessageKind::kLogin);
    }
    CreateRequest Request(std::vector<std::string> names, int32_t maxPlayers = 4) {
        CreateRequest request;
        request.game.max_players = maxPlayers;
        request.game.victories = 3;
        request.game.level_name = "Canyon";
        request.game.checksum = 0xabcd;
        request.names = std::move(names);
        return request;
    }
    // Creates and returns the game id, or 0 when refused.
    int32_t Create(ClientId id, const CreateRequest& request) {
        Receive(id, MessageKind::kCreateGame, EncodeCreateRequest(request));
        const std::vector<Message> got = Take(id);
        CreateReply reply;
        if (got.empty() || got[0].kind != ToByte(MessageKind::kCreateGame) ||
            !DecodeCreateReply(got[0].payload.data(), got[0].payload.size(), reply) ||
            reply.status != kStatusAccepted) {
            return 0;
        }
        return reply.game_id;
    }
    void Join(ClientId id, int32_t game, std::vector<std::string> names) {
        Receive(id, MessageKind::kJoinGame, EncodeJoinRequest(JoinRequest{game, false, std::move(names)}));
    }
    void Rejoin(ClientId id, int32_t game) {
        Receive(id, MessageKind::kJoinGame, EncodeJoinRequest(JoinRequest{game, true, {}}));
    }
    // Alice (client 1) creates a two-place game, Bob (client 2) joins it.
    int32_t TwoPlayerGame() {
        EXPECT_EQ(Login(1, "Alice"), kStatusAccepted);
        EXPECT_EQ(Login(2, "Bob"), kStatusAccepted);
        const int32_t game = Create(1, Request({"Alice"}, 2));
        Join(2, game, {"Bob"});
        Take(1);
        Take(2);
        return game;
    }
    static std::vector<PlayerJoined> Roster(const std::vector<Message>& messages) {
        std::vector<PlayerJoined> roster;
        for (const Message& m : messages) {
            PlayerJoined joined;
            if (m.kind == ToByte(MessageKind::kPlayerJoined) &&
                DecodePlayerJoined(m.payload.data(), m.payload.size(), joined)) {
                roster.push_back(joined);
            }
        }
        return roster;
    }
    static std::vector<uint8_t> Kinds(const std::vector<Message>& messages) {
        std::vector<uint8_t> kinds;
        for (const Message& m : messages) kinds.push_back(m.kind);
        return kinds;
    }

    ReportCapture log;
    Recorder output;
    Lobby lobby;
    int64_t now = 1000;
};

TEST_F(LobbyTest, LogInAcceptsOnlyCleanUniqueNames) {
    struct Case {
        const char* name;
        uint8_t status;
    } const cases[] = {
        {"Alice", kStatusAccepted},
        {"  Bob\t", kStatusAccepted},  // trimmed
        {"bob", kStatusRefused},       // taken, ignoring case
        {"ALICE", kStatusRefused},
        {"", kStatusRefused},
        {"   ", kStatusRefused},
        {"abcdefghijklmnopqrstuvwx", kStatusAccepted},  // 24 bytes
        {"abcdefghijklmnopqrstuvwxy", kStatusRefused},  // 25
        {"semi;colon", kStatusRefused},
        {"arrow>head", kStatusRefused},
        {"bell\x07", kStatusRefused},
        {"caf\xc3\xa9", kStatusRefused},
    };
    ClientId id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Login(id++, c.name), c.status);
    }
    // A second log in on the same connection is refused too.
    Receive(1, MessageKind::kLogin, EncodeText("Carol"));
    EXPECT_EQ(Status(1, MessageKind::kLogin), kStatusRefused);
}

TEST_F(LobbyTest, AConnectionWithoutLogInIsClosedAfterTenSeconds) {
    Connect(1);
    Login(2, "Alice");
    now += 9999;
    lobby.Tick(now);
    EXPECT_TRUE(output.closed.empty());
    now += 1;
    lobby.Tick(now);
    EXPECT_EQ(output.closed, std::vector<ClientId>{1});
    EXPECT_EQ(lobby.ClientCount(), 1u);
}

TEST_F(LobbyTest, BeforeLogInOnlyPingIsAnswered) {
    Connect(1);
    Receive(1, MessageKind::kListGames);
    Receive(1, MessageKind::kChat, EncodeChat("hi"));
    Receive(1, MessageKind::kCreateGame, EncodeCreateRequest(Request({"A"})));
    EXPECT_TRUE(Take(1).empty());
    now = 0x12345678;
    Receive(1, MessageKind::kPing, EncodeInt(-7));
    const std::vector<Message> got = Take(1);
    ASSERT_EQ(got.size(), 1u);
    PingReply reply;
    ASSERT_TRUE(DecodePingReply(got[0].payload.data(), got[0].payload.size(), reply));
    EXPECT_EQ(reply.client_time, -7);
    EXPECT_EQ(reply.server_time, 0x12345678);
}

TEST_F(LobbyTest, CreateChecksTheRequest) {
    ASSERT_EQ(Login(1, "Alice"), kStatusAccepted);
    struct Case {
        const char* what;
        int32_t maxPlayers;
        int32_t victories;
        const char* level;
        size_t names;
        bool accepted;
    } const cases[] = {
        {"no places", 0, 3, "Canyon", 1, false},
        {"17 places", 17, 3, "Canyon", 1, false},
        {"no victories", 2, 0, "Canyon", 1, false},
        {"1001 victories", 2, 1001, "Canyon", 1, false},
        {"no level", 2, 3, "", 1, false},
        {"no players", 2, 3, "Canyon", 0, false},
        {"more players than places", 2, 3, "Canyon", 3, false},
        {"the smallest game", 1, 1, "Canyon", 1, true},
        {"already in a game", 16, 1000, "Canyon", 16, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CreateRequest request = Request(std::vector<std::string>(c.names, "P"), c.maxPlayers);
        request.game.victories = c.victories;
        request.game.level_name = c.level;
        EXPECT_EQ(Create(1, request) != 0, c.accepted);
    }
}

TEST_F(LobbyTest, TheListShowsEveryGameWithItsIdAndDefaultTitle) {
    ASSERT_EQ(Login(1, "Alice"), kStatusAccepted);
    ASSERT_EQ(Login(2, "Bob"), kStatusAccepted);
    ASSERT_EQ(Login(3, "Carol"), kStatusAccepted);
    const int32_t first = Create(1, Request({"Alice"}));
    CreateRequest titled = Request({"Bob"});
    titled.game.title = "Fast one";
    const int32_t second = Create(2, titled);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);

    Receive(3, MessageKind::kListGames);
    const std::vector<Message> got = Take(3);
    ASSERT_EQ(got.size(), 2u);
    GameRecord records[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(got[i].kind, ToByte(MessageKind::kListGames));
        ASSERT_TRUE(DecodeGameRecord(got[i].payload.data(), got[i].payload.size(), records[i]));
    }
    EXPECT_EQ(records[0].game_id, first);
    EXPECT_EQ(records[0].title, "Alice's game");
    EXPECT_EQ(records[0].level_name, "Canyon");
    EXPECT_EQ(records[0].checksum, 0xabcdu);
    EXPECT_EQ(records[1].game_id, second);
    EXPECT_EQ(records[1].title, "Fast one");
}

TEST_F(LobbyTest, AJoinerGetsTheReplyThenTheRosterAndTheOthersHearOfIt) {
    ASSERT_EQ(Login(1, "Alice"), kStatusAccepted);
    ASSERT_EQ(Login(2, "Bob"), kStatusAccepted);
    const int32_t game = Create(1, Request({"Alice", "Alice 2"}, 4));
    Take(1);
    Join(2, game, {"Bob"});

    const std::vector<Message> joiner = Take(2);
    ASSERT_FALSE(joiner.empty());
    ASSERT_EQ(joiner[0].kind, ToByte(MessageKind::kJoinGame));
    JoinReply reply;
    ASSERT_TRUE(DecodeJoinReply(joiner[0].payload.data(), joiner[0].payload.size(), reply));
    EXPECT_EQ(reply.status, kStatusAccepted);
    EXPECT_EQ(reply.game.game_id, game);
    EXPECT_EQ(reply.game.max_players, 4);
    const std::vector<PlayerJoined> roster = Roster(joiner);
    ASSERT_EQ(roster.size(), 3u);
    EXPECT_EQ(joiner.size(), 4u);
    const struct {
        uint8_t slot;
        const char* name;
        uint8_t flag;
    } expected[] = {{0, "Alice", 0}, {1, "Alice 2", 0}, {2, "Bob", 1}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(roster[i].slot, expected[i].slot);
        EXPECT_EQ(roster[i].name, expected[i].name);
        EXPECT_EQ(roster[i].flag, expected[i].flag);
    }
    const std::vector<PlayerJoined> told = Roster(Take(1));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].slot, 2);
    EXPECT_EQ(told[0].name, "Bob");
    EXPECT_EQ(told[0].flag, 0);
}

TEST_F(LobbyTest, AJoinNeedsAGameWithFreePlaces) {
    const int32_t game = TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), kStatusAccepted);
    Join(3, game, {"Carol"});
    EXPECT_EQ(Status(3, MessageKind::kJoinGame), kStatusRefused);
    Join(3, game + 100, {"Carol"});
    EXPECT_EQ(Status(3, MessageKind::kJoinGame), kStatusRefused);
    Join(3, game, {});
    EXPECT_EQ(Status(3, MessageKind::kJoinGame), kStatusRefused);
}

TEST_F(LobbyTest, ChatStaysInItsRoomAndCarriesItsSendersName) {
    TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), kStatusAccepted);
    ASSERT_EQ(Login(4, "Dave"), kStatusAccepted);
    struct Case {
        ClientId from;
        const char* line;
        const char* heard;
        std::vector<ClientId> listeners;
    } const cases[] = {
        {3, "Carol>hello", "Carol>hello", {3, 4}},
        {3, "Alice>I am Alice", "Carol>Alice>I am Alice", {3, 4}},
        {1, "gg", "Alice>gg", {1, 2}},
        {2, "Bob>go", "Bob>go", {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Receive(c.from, MessageKind::kChat, EncodeChat(c.line));
        for (ClientId id = 1; id <= 4; ++id) {
            const std::vector<Message> got = Take(id);
            const bool listens = std::find(c.listeners.begin(), c.listeners.end(), id) != c.listeners.end();
            ASSERT_EQ(got.size(), listens ? 1u : 0u) << "client " << id;
            if (listens) {
                EXPECT_EQ(DecodeChat(got[0].payload.data(), got[0].payload.size()), c.heard);
            }
        }
    }
}

TEST_F(LobbyTest, ChatLinesBeyondTheRateAreDropped) {
    ASSERT_EQ(Login(1, "Alice"), kStatusAccepted);
    const LobbySettings settings;
    for (int i = 0; i < settings.chatLinesPerWindow + 3; ++i) Receive(1, MessageKind::kChat, EncodeChat("spam"));
    EXPECT_EQ(Take(1).size(), static_cast<size_t>(settings.chatLinesPerWindow));
    EXPECT_EQ(log.Count("Chat of Alice dropped: too many lines"), 1);
    now += settings.chatWindowMs;
    Receive(1, MessageKind::kChat, EncodeChat("later"));
    EXPECT_EQ(Take(1).size(), 1u);
}

TEST_F(LobbyTest, TheRaceStartsWhenEveryClientIsReadyAndTwoPlayersAreIn) {
    const std::vector<uint8_t> start = {ToByte(MessageKind::kReady)};
    TwoPlayerGame();
    Receive(1, MessageKind::kReady);
    EXPECT_TRUE(Take(1).empty());
    EXPECT_TRUE(Take(2).empty());
    Receive(2, MessageKind::kReady);
    EXPECT_EQ(Kinds(Take(1)), start) << "a two-client race starts on the second ready";
    EXPECT_EQ(Kinds(Take(2)), start);
    // One client alone never starts; with two local players it does.
    ASSERT_EQ(Login(3, "Solo"), kStatusAccepted);
    Create(3, Request({"Solo"}, 2));
    Take(3);
    Receive(3, MessageKind::kReady);
    EXPECT_TRUE(Take(3).empty());
    ASSERT_EQ(Login(4, "Pair"), kStatusAccepted);
    Create(4, Request({"Pair", "Pair 2"}, 2));
    Take(4);
    Receive(4, MessageKind::kReady);
    EXPECT_EQ(Kinds(Take(4)), start);
}

TEST_F(LobbyTest, UpdatesGoToTheOtherMembersUnchangedAndBadOnesAreDropped) {
    TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), kStatusAccepted);  // in the lobby: hears nothing
    std::vector<uint8_t> update = UpdateBytes(1);
    update[5] = 0x5a;
    Receive(2, MessageKind::kPlayerUpdate, update);
    EXPECT_TRUE(Take(2).empty());
    EXPECT_TRUE(Take(3).empty());
    const std::vector<Message> got = Take(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, ToByte(MessageKind::kPlayerUpdate));
    EXPECT_EQ(got[0].payload, update);

    std::vector<uint8_t> wrongSize = UpdateBytes(1);
    wrongSize.push_back(0);
    Receive(2, MessageKind::kPlayerUpdate, wrongSize);
    Receive(2, MessageKind::kPlayerUpdate, UpdateBytes(2));  // a third slot in a two-place game
    EXPECT_TRUE(Take(1).empty());
    EXPECT_EQ(log.Count("Player update of 25 bytes from Bob dropped"), 1);
    EXPECT_EQ(log.Count("Player update for slot 2 from Bob dropped"), 1);
}

TEST_F(LobbyTest, LeavingFreesTheSlotsEndsALonelyRaceAndRemovesAnEmptyGame) {
    TwoPlayerGame();
    Receive(1, MessageKind::kReady);
    Receive(2, MessageKind::kReady);
    Take(1);
    Take(2);
    Receive(2, MessageKind::kLeaveGame);
    const std::vector<Message> got = Take(1);
    ASSERT_EQ(Kinds(got), (std::vector<uint8_t>{ToByte(MessageKind::kPlayerLeft), ToByte(MessageKind::kLeaveGame)}));
    EXPECT_EQ(got[0].payload, std::vector<uint8_t>{1});
    EXPECT_TRUE(Take(2).empty());
    EXPECT_EQ(lobby.GameCount(), 1u);
    Receive(1, MessageKind::kLeaveGame);
    EXPECT_EQ(lobby.GameCount(), 0u);
    Receive(2, MessageKind::kListGames);
    EXPECT_TRUE(Take(2).empty());
}

TEST_F(LobbyTest, ARejoinWithinTheWaitTakesThePlayersBack) {
    const int32_t game = TwoPlayerGame();
    lobby.Disconnect(2, now);
    now += 59999;
    lobby.Tick(now);
    EXPECT_TRUE(Take(1).empty());
    // The name stays reserved while Bob's players wait.
    EXPECT_EQ(Login(3, "BOB"), kStatusRefused);

    Connect(4);
    Rejoin(4, game);
    const std::vector<Message> got = Take(4);
    ASSERT_EQ(Kinds(got), (std::vector<uint8_t>{ToByte(MessageKind::kJoinGame), ToByte(MessageKind::kPlayerJoined),
                                                ToByte(MessageKind::kPlayerJoined)}));
    const std::vector<PlayerJoined> roster = Roster(got);
    EXPECT_EQ(roster[1].name, "Bob");
    EXPECT_EQ(roster[1].flag, 1);
    EXPECT_EQ(roster[0].flag, 0);
    // Back under Bob's name: chat says so, and the wait no longer runs.
    Receive(4, MessageKind::kChat, EncodeChat("back"));
    const std::vector<Message> heard = Take(1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(DecodeChat(heard[0].payload.data(), heard[0].payload.size()), "Bob>back");
    now += 120000;
    lobby.Tick(now);
    Take(4);
    EXPECT_TRUE(Take(1).empty());
}

TEST_F(LobbyTest, AfterTheWaitThePlayersAreGoneAndARejoinIsRefused) {
    const int32_t game = TwoPlayerGame();
    lobby.Disconnect(2, now);
    now += 60000;
    lobby.Tick(now);
    const std::vector<Message> got = Take(1);
    ASSERT_EQ(Kinds(got), std::vector<uint8_t>{ToByte(MessageKind::kPlayerLeft)});
    EXPECT_EQ(got[0].payload, std::vector<uint8_t>{1});
    Connect(4);
    Rejoin(4, game);
    EXPECT_EQ(Status(4, MessageKind::kJoinGame), kStatusRefused);
    EXPECT_EQ(Login(5, "Bob"), kStatusAccepted);
}

TEST_F(LobbyTest, ARejoinTakesThePlayersFromItsOwnAddressFirst) {
    ASSERT_EQ(Login(1, "Alice", "127.0.1.1"), kStatusAccepted);
    ASSERT_EQ(Login(2, "Bob", "127.0.1.2"), kStatusAccepted);
    ASSERT_EQ(Login(3, "Carol", "127.0.1.3"), kStatusAccepted);
    const int32_t game = Create(1, Request({"Alice"}, 3));
    Join(2, game, {"Bob"});
    Join(3, game, {"Carol"});
    lobby.Disconnect(2, now);
    lobby.Disconnect(3, now);
    Connect(4, "127.0.1.3");
    Rejoin(4, game);
    for (const PlayerJoined& joined : Roster(Take(4))) {
        EXPECT_EQ(joined.flag == 1, joined.name == "Carol") << joined.name;
    }
}

}  // namespace
