#include "net/server_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/main_thread_queue.h"
#include "support/scripted_peer.h"
#include "support/report_capture.h"

namespace {

// Records what the client asked of the game, with the clock it saw then.
class RecordingGame : public NetworkGame,
                      public NetworkClock,
                      public LevelDirectory,
                      public LineList,
                      public ServerBrowserView {
public:
    void SelectLevel(const std::string& name, int32_t victories) override {
        Note("select " + name + " " + std::to_string(victories));
    }
    void AddPlayer(int slot, const std::string& name, bool local) override {
        Note("add " + std::to_string(slot) + " " + name + (local ? " local" : ""));
    }
    void RemovePlayer(int slot) override { Note("remove " + std::to_string(slot)); }
    void ApplyUpdate(const std::vector<uint8_t>&) override { Note("update at " + std::to_string(clock)); }
    void StartRace() override { Note("start"); }
    void EndRace() override { Note("end"); }
    void AbortRace() override { Note("abort"); }
    void PauseForReconnect() override { Note("pause"); }
    void ResumeAfterReconnect() override { Note("resume"); }
    void AddRaceLine(const std::string& line) override { Note("line " + line); }

    int32_t Now() override { return clock; }
    void Set(int32_t ms) override { clock = ms; }
    void Shift(int32_t ms) override {
        clock += ms;
        Note("shift " + std::to_string(ms));
    }
    void SetLastCorrection(int32_t ms) override { lastCorrection = ms; }

    bool HasLevel(const std::string& name, uint32_t checksum) const override {
        return name == "canyon" && checksum == 77;
    }

    void AddLine(const std::string& line) override { Note("list " + line); }
    void ClearLines() override { Note("list cleared"); }

    void ShowServers(const std::vector<ServerRow>& rows, bool cached) override {
        std::string names;
        for (const ServerRow& row : rows)
            names += " " + row.entry.name + (row.compatible ? "" : "(" + row.entry.version + ")");
        Note(std::string(cached ? "cached servers" : "servers") + names);
    }
    void ShowPing(const std::string& host, uint16_t port, int pingMs) override {
        Note("ping " + host + ":" + std::to_string(port) + " " + std::to_string(pingMs));
    }
    void ShowListFailed(const std::string& text) override { Note("no list: " + text); }

    void Note(const std::string& what) { calls.push_back(what); }
    bool Called(const std::string& what) const { return std::find(calls.begin(), calls.end(), what) != calls.end(); }

    std::vector<std::string> calls;
    int32_t clock = 0;
    int32_t lastCorrection = 0;
};

GameRecord Canyon(int32_t id) {
    GameRecord game;
    game.max_players = 2;
    game.victories = 3;
    game.game_id = id;
    game.level_name = "canyon";
    game.title = "evening";
    game.checksum = 77;
    return game;
}

std::vector<uint8_t> PlayerUpdateAt(int32_t time) {
    std::vector<uint8_t> record(kPlayerUpdateShortSize, 0);
    record[0] = 1 << 4;  // bullet loaded: the short form
    record[1] = 1;
    for (int i = 0; i < 4; ++i) record[2 + i] = static_cast<uint8_t>(static_cast<uint32_t>(time) >> (8 * i));
    return record;
}

class ServerManagerTest : public ::testing::Test {
protected:
    ServerManagerTest() { NewClient(); }

    void NewClient() {
        ServerManagerOptions options;
        options.clock = [this] { return now; };
        // Waiting moves the clock; a waiting game entry finds its level loaded.
        options.wait = [this](int64_t ms) {
            now += ms;
            waits.push_back(ms);
            if (loadResult != 1) entryResult = loadResult;
        };
        client = std::make_unique<ServerManager>(peer, queue, game, game, game, options);
        client->SetLobbyLists(&game, &game);
    }

    // Turns of the client loop until it reaches `state`, at most `turns`.
    bool RunUntil(int state, int turns = 20) {
        for (int i = 0; i < turns; ++i) {
            client->RunOnce();
            if (client->State() == state) return true;
        }
        return false;
    }

    // A turn of the client loop, then what it handed to the game's thread.
    void Turn() {
        client->RunOnce();
        queue.RunPending();
    }

    // Into the lobby, which lists game 9 when `listed`.
    void LogIn(bool listed = false) {
        ASSERT_TRUE(client->ConnectTo("127.0.0.1", 4077));
        client->Login("ann", &loginResult);
        peer.Reply(MessageKind::kLogin, EncodeByte(kStatusAccepted));
        ASSERT_TRUE(RunUntil(kClientLobby));
        if (!listed) return;
        peer.Reply(MessageKind::kListGames, EncodeGameRecord(Canyon(9)));
        Turn();
    }

    void EnterRace() {
        LogIn();
        client->CreateGame(Canyon(0), 3, &entryResult, {"ann"});
        client->RunOnce();  // the lobby's last turn
        peer.Reply(MessageKind::kCreateGame, EncodeCreateReply(CreateReply{kStatusAccepted, 42}));
        ASSERT_TRUE(RunUntil(kClientRacing));
        queue.RunPending();
    }

    ScriptedPeer peer;
    MainThreadQueue queue;
    RecordingGame game;
    int64_t now = 100000;
    std::vector<int64_t> waits;
    int loadResult = 0;  // what the screen sets the result to once it has loaded the level
    std::atomic<int> loginResult{0};
    std::atomic<int> entryResult{0};
    std::unique_ptr<ServerManager> client;
    ReportCapture log;
};

// A connection that closes during log in is told apart from a refused name.
TEST_F(ServerManagerTest, RefusedRepliesAndALostLogInLeaveTheClientIdleWithResultMinusOne) {
    struct Case {
        const char* name;
        MessageKind replyKind;
        std::vector<uint8_t> reply;  // empty: the connection closes instead
        bool connectedAfter;
        const char* status;
    };
    const std::vector<Case> cases = {
        {"log in", MessageKind::kLogin, EncodeByte(kStatusRefused), true, ""},
        {"create", MessageKind::kCreateGame, EncodeCreateReply(CreateReply{kStatusRefused, 0}), true, ""},
        {"join", MessageKind::kJoinGame, EncodeJoinReply(JoinReply{}), true, ""},
        {"log in cut off", MessageKind::kLogin, {}, false, "The server closed the connection during log in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        peer.Reset();
        std::atomic<int> result{0};
        const bool loggedInFirst = c.replyKind != MessageKind::kLogin;
        if (loggedInFirst)
            LogIn(true);
        else
            ASSERT_TRUE(client->ConnectTo("127.0.0.1", 4077));
        if (c.replyKind == MessageKind::kLogin) client->Login("ann", &result);
        if (c.replyKind == MessageKind::kCreateGame) client->CreateGame(Canyon(0), 3, &result, {"ann"});
        if (c.replyKind == MessageKind::kJoinGame) client->JoinGame(0, &result, {"ann"});
        if (loggedInFirst) client->RunOnce();  // the lobby's last turn
        peer.Junk();
        if (c.reply.empty())
            peer.pumpFails = true;
        else
            peer.Reply(c.replyKind, c.reply);
        EXPECT_TRUE(RunUntil(kClientIdle, 3));
        EXPECT_EQ(result, -1);
        EXPECT_EQ(client->IsConnected(), c.connectedAfter);
        EXPECT_EQ(client->StatusText(), c.status);
    }
}

TEST_F(ServerManagerTest, AFailedConnectSaysWhyOnItsSecondLine) {
    struct Case {
        bool listed;
        const char* why;
        const char* status;
    } const cases[] = {
        {false, "", "Could not connect to the server"},
        {false, "Connection refused by 127.0.0.1:4077",
         "Could not connect to the server\nConnection refused by 127.0.0.1:4077"},
        {true, "No answer from 127.0.0.2:4077", "Could not connect to the server\nNo answer from 127.0.0.2:4077"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        peer.Reset();
        peer.connectResults = {false};
        peer.connectFailure = c.why;
        EXPECT_FALSE(c.listed ? client->ConnectToListedServer(0) : client->ConnectTo("127.0.0.1", 4077));
        EXPECT_EQ(client->StatusText(), c.status);
    }
}

TEST_F(ServerManagerTest, ARefreshShowsTheListedGamesUntilTheNewListingIsWhole) {
    LogIn(true);
    game.calls.clear();

    now += ServerManager::kListRefreshMs;
    client->RunOnce();
    GameRecord dawn = Canyon(11);
    dawn.title = "dawn";
    peer.Reply(MessageKind::kListGames, EncodeGameRecord(dawn));
    peer.Reply(MessageKind::kListGames, EncodeGameRecord(Canyon(9)));
    Turn();
    EXPECT_EQ(peer.SentOf(MessageKind::kListGames).size(), 2u);
    EXPECT_EQ(client->GameCount(), 1u) << "the rows the player sees stay while the listing comes in";
    EXPECT_TRUE(game.calls.empty());

    now += ServerManager::kListQuietMs;
    Turn();
    EXPECT_EQ(client->GameCount(), 2u);
    EXPECT_EQ(game.calls, std::vector<std::string>({"list cleared", "list dawn: canyon", "list evening: canyon"}))
        << "whole, the listing replaces the rows in one go";

    // A Join clicked while the next listing comes in joins the row the player sees.
    now += ServerManager::kListRefreshMs;
    client->RunOnce();
    peer.Reply(MessageKind::kListGames, EncodeGameRecord(Canyon(9)));
    client->RunOnce();
    client->JoinGame(1, &entryResult, {"ann"});
    EXPECT_EQ(entryResult, 0);
    EXPECT_EQ(peer.SentOf(MessageKind::kJoinGame).at(0).payload, EncodeJoinRequest(JoinRequest{9, false, {"ann"}}));
}

TEST_F(ServerManagerTest, AcceptedLogInListsTheGames) {
    LogIn();
    EXPECT_EQ(loginResult, 1);
    EXPECT_EQ(peer.SentOf(MessageKind::kLogin).at(0).payload, EncodeText("ann"));
    EXPECT_EQ(peer.SentOf(MessageKind::kListGames).size(), 1u);
    GameRecord otherLevel = Canyon(8);
    otherLevel.checksum = 78;
    peer.Junk();  // unknown kinds are skipped in the lobby
    peer.Reply(MessageKind::kListGames, EncodeGameRecord(otherLevel));
    peer.Reply(MessageKind::kListGames, EncodeGameRecord(Canyon(9)));
    peer.Reply(MessageKind::kChat, EncodeChat("bob>hi"));
    Turn();
    EXPECT_EQ(client->State(), kClientLobby);
    EXPECT_EQ(client->GameCount(), 1u);
    EXPECT_TRUE(game.Called("list evening: canyon"));
    EXPECT_TRUE(game.Called("list bob>hi"));

    game.calls.clear();
    now += ServerManager::kListRefreshMs;
    client->RunOnce();
    now += ServerManager::kListAnswerMs - 1;
    client->RunOnce();
    EXPECT_EQ(peer.SentOf(MessageKind::kListGames).size(), 2u);
    EXPECT_EQ(client->GameCount(), 1u) << "a slow server has its time to answer";
    now += 1;
    Turn();
    EXPECT_EQ(client->GameCount(), 0u) << "a refresh nobody answers lists no games";
    // The chat and the games lists are both `game` here: the refresh clears only the games.
    EXPECT_EQ(std::count(game.calls.begin(), game.calls.end(), "list cleared"), 1);
}

TEST_F(ServerManagerTest, BadGameRecordsDropTheLobby) {
    GameRecord noPlayers = Canyon(9);
    noPlayers.max_players = 0;
    std::vector<uint8_t> pastItsFrame = EncodeGameRecord(Canyon(9));
    pastItsFrame[16] = 200;  // the level name's length runs past the frame
    for (const std::vector<uint8_t>& record : {EncodeGameRecord(noPlayers), pastItsFrame}) {
        peer.Reset();
        LogIn();
        peer.Reply(MessageKind::kListGames, record);
        client->RunOnce();
        EXPECT_EQ(client->StatusText(), "Bad game information data");
        client->RunOnce();
        EXPECT_EQ(client->State(), kClientIdle);
        EXPECT_EQ(client->GameCount(), 0u);
    }
}

TEST_F(ServerManagerTest, JoiningSelectsTheServersLevelAndWaitsForTheLoadButNotBeyondTheList) {
    LogIn(true);
    std::atomic<int> beyond{0};
    client->JoinGame(1, &beyond, {"ann"});
    EXPECT_EQ(beyond, -1) << "a join beyond the list fails at once";
    EXPECT_TRUE(peer.SentOf(MessageKind::kJoinGame).empty());
    client->JoinGame(0, &entryResult, {"ann", "cid"});
    EXPECT_EQ(peer.SentOf(MessageKind::kJoinGame).at(0).payload,
              EncodeJoinRequest(JoinRequest{9, false, {"ann", "cid"}}));
    client->RunOnce();  // the lobby's last turn
    JoinReply reply{kStatusAccepted, Canyon(9)};
    reply.game.victories = 7;
    peer.Reply(MessageKind::kJoinGame, EncodeJoinReply(reply));
    ASSERT_TRUE(RunUntil(kClientRacing));
    queue.RunPending();
    EXPECT_TRUE(game.Called("select canyon 7"));
    EXPECT_EQ(waits, std::vector<int64_t>({ServerManager::kLoadPollMs}));
}

TEST_F(ServerManagerTest, PingsComeInBurstsOfTenThenPauseAMinute) {
    EnterRace();
    peer.sent.clear();
    std::vector<int64_t> pingTimes;
    const int64_t start = now;
    for (int ms = 0; ms <= 71000; ms += 100) {
        now = start + ms;
        const size_t before = peer.SentOf(MessageKind::kPing).size();
        client->RunOnce();
        if (peer.SentOf(MessageKind::kPing).size() > before) pingTimes.push_back(ms);
    }
    const std::vector<int64_t> expected = {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 70000, 71000};
    EXPECT_EQ(pingTimes, expected);
}

TEST_F(ServerManagerTest, TheClockFollowsTheServerAfterTenReplies) {
    EnterRace();
    // Round trips of 20 ms; the server runs 500 ahead, with three replies far off.
    const std::vector<int32_t> offsets = {500, 500, 2000, 501, 499, -3000, 500, 502, 900, 498};
    game.clock = 1000;
    int32_t lastReceipt = 0;
    for (size_t i = 0; i < offsets.size(); ++i) {
        const int32_t sent = game.clock;
        const int32_t receipt = sent + 20;
        const int32_t server = receipt - 10 + offsets[i];
        game.clock = receipt;
        lastReceipt = receipt;
        peer.Reply(MessageKind::kPing, EncodePingReply(PingReply{sent, server}));
        client->RunOnce();
        if (i == 0) {
            EXPECT_EQ(game.clock, server + 10);  // the first reply sets the clock outright
            game.clock = receipt;                // the rest measure against the unmoved clock
        }
    }
    // The 7 smallest in size: 500 500 501 499 500 502 498 -> 500 on average.
    EXPECT_EQ(game.clock, lastReceipt + 500);
    EXPECT_TRUE(log.Contains("Trip time to server is 10"));
}

TEST_F(ServerManagerTest, AnUpdateStampedAheadMovesTheClockBeforeItIsApplied) {
    EnterRace();
    game.clock = 5000;
    game.calls.clear();
    peer.Reply(MessageKind::kPlayerUpdate, PlayerUpdateAt(5400));
    peer.Reply(MessageKind::kPlayerUpdate, PlayerUpdateAt(4000));
    Turn();
    // Only the update ahead moves the clock; one behind is applied as it is.
    const std::vector<std::string> expected = {"shift 400", "update at 5400", "update at 5400"};
    EXPECT_EQ(game.calls, expected);
}

TEST_F(ServerManagerTest, RaceMessagesReachTheGameInOrder) {
    EnterRace();
    game.calls.clear();
    peer.Junk();
    peer.Reply(MessageKind::kPlayerJoined, EncodePlayerJoined(PlayerJoined{0, "ann", 1}));
    client->RunOnce();
    EXPECT_FALSE(client->StartAllowed());
    peer.Reply(MessageKind::kPlayerJoined, EncodePlayerJoined(PlayerJoined{1, "bob", 0}));
    client->RunOnce();
    EXPECT_TRUE(client->StartAllowed()) << "start is allowed with two players";
    peer.Reply(MessageKind::kChat, EncodeChat("bob>go"));
    peer.Reply(MessageKind::kReady, {});
    peer.Reply(MessageKind::kPlayerLeft, EncodeByte(1));
    peer.Reply(MessageKind::kLeaveGame, {});
    client->RunOnce();
    EXPECT_TRUE(game.calls.empty());  // nothing runs on the client thread
    queue.RunPending();
    const std::vector<std::string> expected = {
        "add 0 ann local",    "add 1 bob", "line bob>go", "start", "line Time to reach server -1",
        "line Game started!", "remove 1",  "end"};
    EXPECT_EQ(game.calls, expected);
}

TEST_F(ServerManagerTest, ALostRaceConnectionIsTriedThreeTimesThenRejoinedWithTheGameIdOrAborted) {
    const JoinReply accepted{kStatusAccepted, Canyon(42)};
    const std::vector<std::string> lost = {"pause", "line Disconnected...", "line Try 0 to connect..."};
    struct Case {
        const char* rule;
        std::deque<bool> connects;
        size_t tries;
        std::optional<JoinReply> reply;
        int state;
        std::vector<std::string> calls;  // after `lost`
    } const cases[] = {
        {"an accepted rejoin resumes the race",
         {false, true},
         2,
         accepted,
         kClientRacing,
         {"line Try 1 to connect...", "line Connection resumed, updating...", "resume"}},
        {"a refused rejoin aborts it",
         {},
         1,
         JoinReply{},
         kClientIdle,
         {"line Connection resumed, updating...", "line Could not join game", "abort"}},
        {"three failed tries abort it",
         {false, false, false},
         3,
         std::nullopt,
         kClientIdle,
         {"line Try 1 to connect...", "line Try 2 to connect...", "line Game is aborted", "abort"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        peer.Reset();
        waits.clear();
        NewClient();
        EnterRace();
        game.calls.clear();
        peer.sent.clear();
        peer.pumpFails = true;
        peer.connectResults = c.connects;
        client->RunOnce();
        peer.pumpFails = false;
        EXPECT_EQ(peer.typedConnects.size(), 1 + c.tries) << "the first connect and the tries";
        EXPECT_EQ(peer.typedConnects.back(), "127.0.0.1:4077");
        std::vector<int64_t> expectedWaits(1 + c.tries, 5000);
        expectedWaits[0] = ServerManager::kLoadPollMs;
        EXPECT_EQ(waits, expectedWaits) << "five seconds before each try";
        if (c.reply) {
            EXPECT_EQ(client->State(), kClientJoining);
            EXPECT_EQ(peer.SentOf(MessageKind::kJoinGame).at(0).payload, EncodeJoinRequest(JoinRequest{42, true, {}}))
                << "a rejoin names the game id only";
            peer.Junk();
            peer.Reply(MessageKind::kJoinGame, EncodeJoinReply(*c.reply));
            EXPECT_TRUE(RunUntil(c.state, 3));
        }
        queue.RunPending();
        std::vector<std::string> expected = lost;
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(game.calls, expected);
        EXPECT_EQ(client->State(), c.state);
        EXPECT_FALSE(client->Reconnecting());
        EXPECT_EQ(client->IsConnected(), c.state == kClientRacing);
    }
}

ServerEntry ListedServer(const std::string& name, const std::string& version) {
    ServerEntry entry;
    entry.name = name;
    entry.version = version;
    entry.host = "127.0.0.1";
    entry.port = 1;  // nobody listens there: its ping says so at once
    return entry;
}

// A refresh swaps the whole list in one step (the screen keeps its rows until then); a
// failed fetch falls back to the cached list, marked so, or says there is no list.
TEST_F(ServerManagerTest, TheServerListArrivesWholeFromTheDirectoryOrTheCache) {
    struct Case {
        bool fetched;
        bool cached;
        std::string shown;
    };
    const Case cases[] = {
        {true, true, "servers north south(1.0)"},
        {false, true, "cached servers west"},
        {false, false, "no list: Could not get list of the servers"},
    };
    for (const Case& c : cases) {
        peer.servers.entries = {ListedServer("north", "0.9b")};
        peer.servers.foreign = {ListedServer("south", "1.0")};
        peer.listAvailable = c.fetched;
        peer.cachedServers.entries = {ListedServer("west", "0.9b")};
        peer.cacheAvailable = c.cached;
        client->RunOnce();  // a failed fetch of the case before ends its turn in idle
        game.calls.clear();
        client->RefreshServerList(&game);
        client->RunOnce();
        Turn();
        ASSERT_FALSE(game.calls.empty()) << c.shown;
        EXPECT_EQ(game.calls.front(), c.shown);
        EXPECT_EQ(client->State(), kClientIdle);
    }
}

// The screen asks, the client thread connects, the result comes back through the flag.
TEST_F(ServerManagerTest, ABackgroundConnectReportsItsOutcome) {
    struct Case {
        bool answers;
        int result;
    } const cases[] = {{true, 1}, {false, -1}};
    for (const Case& c : cases) {
        peer.Reset();
        peer.connectResults = {c.answers};
        std::atomic<int> result{0};
        client->ConnectInBackground("127.0.0.1", 4077, &result);
        EXPECT_EQ(result, 0) << "nothing happens on the asking thread";
        EXPECT_TRUE(peer.typedConnects.empty());
        client->RunOnce();
        client->RunOnce();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(peer.typedConnects, std::vector<std::string>{"127.0.0.1:4077"});
        EXPECT_EQ(client->State(), kClientIdle);
    }
}

TEST(ServerManagerThread, StopEndsAReconnectWaitAtOnce) {
    ScriptedPeer peer;
    MainThreadQueue queue;
    RecordingGame game;
    ServerManager client(peer, queue, game, game, game);
    ASSERT_TRUE(client.ConnectTo("127.0.0.1", 4077));
    // No screen waits for the level here, so the game is entered without a wait.
    client.CreateGame(Canyon(0), 3, nullptr, {"ann"});
    peer.Reply(MessageKind::kCreateGame, EncodeCreateReply(CreateReply{kStatusAccepted, 42}));
    client.RunOnce();
    client.RunOnce();
    ASSERT_EQ(client.State(), kClientRacing);
    peer.pumpFails = true;
    peer.pumped = false;
    std::thread racing([&] { client.RunOnce(); });
    for (int i = 0; i < 100000 && !peer.pumped; ++i) std::this_thread::yield();
    const auto stopAt = std::chrono::steady_clock::now();
    client.Stop();
    racing.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, std::chrono::milliseconds(1000));
}

}  // namespace
