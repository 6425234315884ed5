#include "server/lobby.h"

#include <gtest/gtest.h>

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

std::string StatusWord(uint8_t status) {
    if (status == kStatusAccepted) return "accepted";
    return status == kStatusRefused ? "refused" : "status " + std::to_string(status);
}

// A message as a client reads it, with the fields the rules are about (a refused join
// carries no game); what does not decode shows as its kind and size.
std::string Describe(const Message& m) {
    using std::to_string;
    const uint8_t* data = m.payload.data();
    const size_t size = m.payload.size();
    const auto is = [&m](MessageKind kind) { return m.kind == ToByte(kind); };
    uint8_t byte = 0;
    CreateReply created;
    JoinReply joined;
    PlayerJoined player;
    GameRecord game;
    PingReply ping;
    if (is(MessageKind::kLogin) && DecodeByte(data, size, byte)) return "login " + StatusWord(byte);
    if (is(MessageKind::kCreateGame) && DecodeCreateReply(data, size, created))
        return "create " + StatusWord(created.status) + " " + to_string(created.game_id);
    if (is(MessageKind::kJoinGame) && DecodeJoinReply(data, size, joined))
        return joined.status != kStatusAccepted
                   ? "join " + StatusWord(joined.status)
                   : "join accepted " + to_string(joined.game.game_id) + " of " + to_string(joined.game.max_players);
    if (is(MessageKind::kPlayerJoined) && DecodePlayerJoined(data, size, player))
        return "player " + to_string(player.slot) + " " + player.name + " " + to_string(player.flag);
    if (is(MessageKind::kPlayerLeft) && DecodeByte(data, size, byte)) return "left " + to_string(byte);
    if (is(MessageKind::kListGames) && DecodeGameRecord(data, size, game))
        return "game " + to_string(game.game_id) + " " + game.title + "/" + game.level_name + "/" +
               to_string(game.checksum);
    if (is(MessageKind::kPing) && DecodePingReply(data, size, ping))
        return "ping " + to_string(ping.client_time) + " " + to_string(ping.server_time);
    if (is(MessageKind::kChat)) return "chat " + DecodeChat(data, size);
    if (is(MessageKind::kReady) && size == 0) return "start";
    if (is(MessageKind::kLeaveGame) && size == 0) return "over";
    return "kind " + to_string(m.kind) + " of " + to_string(size) + " bytes";
}

std::vector<uint8_t> UpdateBytes(uint8_t slot) {
    std::vector<uint8_t> update(kPlayerUpdateShortSize, 0);
    update[0] = 1 << 4;  // the bullet is loaded: the short form
    update[1] = slot;
    return update;
}

class LobbyTest : public ::testing::Test {
protected:
    LobbyTest() : lobby(output, LobbySettings()) {}

    // Each client comes from an address of its own, 127.0.1.<id>.
    void Connect(ClientId id) { lobby.Connect(id, "127.0.1." + std::to_string(id), now); }
    void Receive(ClientId id, MessageKind kind, const Payload& payload = {}) {
        lobby.Receive(id, ToByte(kind), payload.data(), payload.size(), now);
    }
    // Everything a client got since the last look.
    std::vector<Message> Take(ClientId id) {
        std::vector<Message> messages = std::move(output.inbox[id]);
        output.inbox[id].clear();
        return messages;
    }
    // The same, described and joined by ", ".
    std::string Heard(ClientId id) {
        std::string heard;
        for (const Message& m : Take(id)) heard += (heard.empty() ? "" : ", ") + Describe(m);
        return heard;
    }
    std::string Login(ClientId id, const std::string& name) {
        Connect(id);
        Receive(id, MessageKind::kLogin, EncodeText(name));
        return Heard(id);
    }
    // Clients 1, 2, ... log in under these names.
    void LogInAll(const std::vector<std::string>& names) {
        for (size_t i = 0; i < names.size(); ++i) ASSERT_EQ(Login(i + 1, names[i]), "login accepted") << names[i];
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
        const std::string heard = Heard(id);
        const std::string accepted = "create accepted ";
        return heard.rfind(accepted, 0) == 0 ? std::stoi(heard.substr(accepted.size())) : 0;
    }
    void Join(ClientId id, int32_t game, std::vector<std::string> names) {
        Receive(id, MessageKind::kJoinGame, EncodeJoinRequest(JoinRequest{game, false, std::move(names)}));
    }
    void Rejoin(ClientId id, int32_t game) {
        Receive(id, MessageKind::kJoinGame, EncodeJoinRequest(JoinRequest{game, true, {}}));
    }
    // Alice (client 1) creates a two-place game, Bob (client 2) joins it.
    int32_t TwoPlayerGame() {
        LogInAll({"Alice", "Bob"});
        const int32_t game = Create(1, Request({"Alice"}, 2));
        Join(2, game, {"Bob"});
        Take(1);
        Take(2);
        return game;
    }

    ReportCapture log;
    Recorder output;
    Lobby lobby;
    int64_t now = 1000;
};

TEST_F(LobbyTest, LogInAcceptsOnlyCleanUniqueNames) {
    struct Case {
        const char* name;
        bool accepted;
    } const cases[] = {
        {"Alice", true},
        {"  Bob\t", true},  // trimmed
        {"bob", false},     // taken, ignoring case
        {"   ", false},
        {"abcdefghijklmnopqrstuvwx", true},    // 24 bytes
        {"abcdefghijklmnopqrstuvwxy", false},  // 25
        {"semi;colon", false},
        {"arrow>head", false},
        {"bell\x07", false},
        {"caf\xc3\xa9", false},
    };
    ClientId id = 1;
    for (const Case& c : cases)
        EXPECT_EQ(Login(id++, c.name), c.accepted ? "login accepted" : "login refused") << c.name;
    // A second log in on the same connection is refused too.
    Receive(1, MessageKind::kLogin, EncodeText("Carol"));
    EXPECT_EQ(Heard(1), "login refused");
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
    EXPECT_EQ(Heard(1), "");
    now = 0x12345678;
    Receive(1, MessageKind::kPing, EncodeInt(-7));
    EXPECT_EQ(Heard(1), "ping -7 305419896");
}

TEST_F(LobbyTest, CreateChecksTheRequest) {
    LogInAll({"Alice"});
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
    LogInAll({"Alice", "Bob", "Carol"});
    const int32_t first = Create(1, Request({"Alice"}));
    CreateRequest titled = Request({"Bob"});
    titled.game.title = "Fast one";
    const int32_t second = Create(2, titled);
    ASSERT_NE(first, 0);
    EXPECT_NE(first, second);
    Receive(3, MessageKind::kListGames);
    EXPECT_EQ(Heard(3), "game " + std::to_string(first) + " Alice's game/Canyon/43981, game " + std::to_string(second) +
                            " Fast one/Canyon/43981");
}

TEST_F(LobbyTest, AJoinerGetsTheReplyThenTheRosterAndTheOthersHearOfIt) {
    LogInAll({"Alice", "Bob"});
    const int32_t game = Create(1, Request({"Alice", "Alice 2"}, 4));
    Join(2, game, {"Bob"});
    EXPECT_EQ(Heard(2),
              "join accepted " + std::to_string(game) + " of 4, player 0 Alice 0, player 1 Alice 2 0, player 2 Bob 1");
    EXPECT_EQ(Heard(1), "player 2 Bob 0");
}

TEST_F(LobbyTest, AJoinNeedsAGameWithFreePlaces) {
    const int32_t game = TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), "login accepted");
    const struct {
        const char* what;
        int32_t game;
        std::vector<std::string> names;
    } cases[] = {{"full", game, {"Carol"}}, {"unknown", game + 100, {"Carol"}}, {"no names", game, {}}};
    for (const auto& c : cases) {
        Join(3, c.game, c.names);
        EXPECT_EQ(Heard(3), "join refused") << c.what;
    }
}

TEST_F(LobbyTest, ChatStaysInItsRoomAndCarriesItsSendersName) {
    TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), "login accepted");
    ASSERT_EQ(Login(4, "Dave"), "login accepted");
    struct Case {
        ClientId from;
        const char* line;
        std::vector<std::string> heard;  // by clients 1 to 4
    } const cases[] = {
        {3, "Carol>hello", {"", "", "chat Carol>hello", "chat Carol>hello"}},
        {3, "Alice>I am Alice", {"", "", "chat Carol>Alice>I am Alice", "chat Carol>Alice>I am Alice"}},
        {1, "gg", {"chat Alice>gg", "chat Alice>gg", "", ""}},
    };
    for (const Case& c : cases) {
        Receive(c.from, MessageKind::kChat, EncodeChat(c.line));
        EXPECT_EQ((std::vector<std::string>{Heard(1), Heard(2), Heard(3), Heard(4)}), c.heard) << c.line;
    }
}

TEST_F(LobbyTest, ChatLinesBeyondTheRateAreDropped) {
    LogInAll({"Alice"});
    const LobbySettings settings;
    for (int i = 0; i < settings.chatLinesPerWindow + 3; ++i) Receive(1, MessageKind::kChat, EncodeChat("spam"));
    EXPECT_EQ(Take(1).size(), static_cast<size_t>(settings.chatLinesPerWindow));
    EXPECT_EQ(log.Count("Chat of Alice dropped: too many lines"), 1);
    now += settings.chatWindowMs;
    Receive(1, MessageKind::kChat, EncodeChat("later"));
    EXPECT_EQ(Take(1).size(), 1u);
}

TEST_F(LobbyTest, TheRaceStartsWhenEveryClientIsReadyAndTwoPlayersAreIn) {
    TwoPlayerGame();
    Receive(1, MessageKind::kReady);
    EXPECT_EQ(Heard(1) + Heard(2), "");
    Receive(2, MessageKind::kReady);
    EXPECT_EQ(Heard(1), "start") << "a two-client race starts on the second ready";
    EXPECT_EQ(Heard(2), "start");
    // One client alone never starts; with two local players it does.
    ASSERT_EQ(Login(3, "Solo"), "login accepted");
    ASSERT_NE(Create(3, Request({"Solo"}, 2)), 0);
    Receive(3, MessageKind::kReady);
    EXPECT_EQ(Heard(3), "");
    ASSERT_EQ(Login(4, "Pair"), "login accepted");
    ASSERT_NE(Create(4, Request({"Pair", "Pair 2"}, 2)), 0);
    Receive(4, MessageKind::kReady);
    EXPECT_EQ(Heard(4), "start");
}

TEST_F(LobbyTest, UpdatesGoToTheOtherMembersUnchangedAndBadOnesAreDropped) {
    TwoPlayerGame();
    ASSERT_EQ(Login(3, "Carol"), "login accepted");  // in the lobby: hears nothing
    std::vector<uint8_t> update = UpdateBytes(1);
    update[5] = 0x5a;
    Receive(2, MessageKind::kPlayerUpdate, update);
    EXPECT_EQ(Heard(2) + Heard(3), "");
    const std::vector<Message> got = Take(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, ToByte(MessageKind::kPlayerUpdate));
    EXPECT_EQ(got[0].payload, update);

    std::vector<uint8_t> wrongSize = UpdateBytes(1);
    wrongSize.push_back(0);
    Receive(2, MessageKind::kPlayerUpdate, wrongSize);
    Receive(2, MessageKind::kPlayerUpdate, UpdateBytes(2));  // a third slot in a two-place game
    EXPECT_EQ(Heard(1), "");
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
    EXPECT_EQ(Heard(1), "left 1, over");
    EXPECT_EQ(Heard(2), "");
    EXPECT_EQ(lobby.GameCount(), 1u);
    Receive(1, MessageKind::kLeaveGame);
    EXPECT_EQ(lobby.GameCount(), 0u);
    Receive(2, MessageKind::kListGames);
    EXPECT_EQ(Heard(2), "");
}

TEST_F(LobbyTest, ARejoinWithinTheWaitTakesThePlayersBack) {
    const int32_t game = TwoPlayerGame();
    lobby.Disconnect(2, now);
    now += 59999;
    lobby.Tick(now);
    EXPECT_EQ(Heard(1), "");
    // The name stays reserved while Bob's players wait.
    EXPECT_EQ(Login(3, "BOB"), "login refused");

    Connect(4);
    Rejoin(4, game);
    EXPECT_EQ(Heard(4), "join accepted " + std::to_string(game) + " of 2, player 0 Alice 0, player 1 Bob 1");
    // Back under Bob's name: chat says so, and the wait no longer runs.
    Receive(4, MessageKind::kChat, EncodeChat("back"));
    EXPECT_EQ(Heard(1), "chat Bob>back");
    now += 120000;
    lobby.Tick(now);
    Take(4);
    EXPECT_EQ(Heard(1), "");
}

TEST_F(LobbyTest, AfterTheWaitThePlayersAreGoneAndARejoinIsRefused) {
    const int32_t game = TwoPlayerGame();
    lobby.Disconnect(2, now);
    now += 60000;
    lobby.Tick(now);
    EXPECT_EQ(Heard(1), "left 1");
    Connect(4);
    Rejoin(4, game);
    EXPECT_EQ(Heard(4), "join refused");
    EXPECT_EQ(Login(5, "Bob"), "login accepted");
}

TEST_F(LobbyTest, ARejoinTakesThePlayersFromItsOwnAddressFirst) {
    LogInAll({"Alice", "Bob", "Carol"});
    const int32_t game = Create(1, Request({"Alice"}, 3));
    Join(2, game, {"Bob"});
    Join(3, game, {"Carol"});
    lobby.Disconnect(2, now);
    lobby.Disconnect(3, now);
    lobby.Connect(4, "127.0.1.3", now);
    Rejoin(4, game);
    EXPECT_EQ(Heard(4),
              "join accepted " + std::to_string(game) + " of 3, player 0 Alice 0, player 1 Bob 0, player 2 Carol 1");
}

}  // namespace
