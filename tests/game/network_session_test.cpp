#include "game/network_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/main_thread_queue.h"
#include "game/game_manager.h"
#include "game/game_test_support.h"
#include "game/level_test_support.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "game/player_update.h"
#include "support/report_capture.h"
#include "support/scripted_peer.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSpeedUp = 1;

// A network race on a copy of a shipped level against a scripted server. The client
// loop and the main thread's queue are turned by hand; waiting moves the clock.
class NetworkSessionTest : public ::testing::Test {
protected:
    NetworkSessionTest() {
        CopyShippedLevel("crossroads", data.Path());
        game.LoadLevelList(data.Path());
        game.SetMessageLines(&lines);
        auto owned = std::make_unique<ScriptedPeer>();
        peer = owned.get();
        ServerManagerOptions options;
        options.clock = [this] { return now; };
        options.wait = [this](int64_t ms) {
            now += ms;
            // The main thread's part while the client waits: a frame runs what was
            // posted (the server's level), then the screen loads the level.
            queue.RunPending();
            if (entryResult == 1) entryResult = game.LoadLevel() ? 0 : -1;
        };
        session = std::make_unique<NetworkSession>(game, queue, std::move(owned), options);
        session->SetMessageLines(&lines);
        session->SetRaceOver([this] {
            ++racesOver;
            game.StopGame();
        });
    }
    ~NetworkSessionTest() override {
        session.reset();
        game.SetMessageLines(nullptr);
    }

    ServerManager& Client() { return session->Client(); }
    void Turn(int turns = 1) {
        for (int i = 0; i < turns; ++i) Client().RunOnce();
        queue.RunPending();
    }
    void Step(int64_t ms) {
        now += ms;
        game.GameStep();
    }

    // Logged in, a game joined on Crossroads with a remote "bob" in slot 1.
    void JoinRace() {
        ASSERT_TRUE(Client().ConnectTo("127.0.0.1", 4077));
        Client().Login("ann", &loginResult);
        peer->Reply(MessageKind::kLogin, EncodeByte(kStatusAccepted));
        Turn(2);
        // Two players, four victories, game 5.
        const GameRecord crossroads{2, 4, 0, 5, "Crossroads", "noon", static_cast<uint32_t>(game.Levels().at(0).crc)};
        peer->Reply(MessageKind::kListGames, EncodeGameRecord(crossroads));
        Turn();
        ASSERT_EQ(Client().GameCount(), 1u);
        Client().JoinGame(0, &entryResult, {"ann"});
        Turn();
        peer->Reply(MessageKind::kJoinGame, EncodeJoinReply(JoinReply{kStatusAccepted, crossroads}));
        peer->Reply(MessageKind::kPlayerJoined, EncodePlayerJoined(PlayerJoined{0, "ann", 1}));
        peer->Reply(MessageKind::kPlayerJoined, EncodePlayerJoined(PlayerJoined{1, "bob", 0}));
        Turn(2);
        ASSERT_EQ(game.GetState(), GameState::kLoaded);
        ASSERT_EQ(Client().State(), kClientRacing);
    }
    void StartRace() {
        peer->Reply(MessageKind::kReady, {});
        Turn();
        Step(20);
        ASSERT_EQ(game.GetState(), GameState::kPlaying);
    }

    QuietServices services;
    ReportCapture capture;
    TempDir data;
    int64_t now = 1000;
    GameManager game{services.Lend(), [this] { return now; }};
    RecordedLines lines;
    MainThreadQueue queue;
    ScriptedPeer* peer = nullptr;
    std::unique_ptr<NetworkSession> session;
    std::atomic<int> loginResult{0};
    std::atomic<int> entryResult{0};
    int racesOver = 0;
};

TEST_F(NetworkSessionTest, TheServersGameBecomesTheLoadedRaceAndStoppingItLeavesTheServersGame) {
    JoinRace();
    EXPECT_TRUE(game.NetworkGame());
    EXPECT_EQ(game.CurrentLevel().name, "Crossroads");
    EXPECT_EQ(game.HitLimit(), 4);
    const Player &ann = *game.Players().FindPlayer(0), &bob = *game.Players().FindPlayer(1);
    EXPECT_EQ((std::vector<bool>{ann.active, ann.local, bob.active, bob.local}),
              (std::vector<bool>{true, true, true, false}));
    EXPECT_TRUE(Client().StartAllowed());

    peer->Reply(MessageKind::kPlayerLeft, EncodeByte(1));
    Turn();
    EXPECT_FALSE(bob.active);

    game.StopGame();
    EXPECT_EQ(peer->SentOf(MessageKind::kLeaveGame).size(), 1u);
    Turn();
    EXPECT_EQ(Client().State(), kClientLobby);
}

TEST_F(NetworkSessionTest, LocalChangesGoOutAndRemoteOnesAndTheServersClockComeIn) {
    JoinRace();
    StartRace();
    peer->sent.clear();
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, true);
    const std::vector<PeerFrame> updates = peer->SentOf(MessageKind::kPlayerUpdate);
    ASSERT_EQ(updates.size(), 1u);
    PlayerUpdate sent;
    ASSERT_TRUE(DecodePlayerUpdate(updates[0].payload.data(), updates[0].payload.size(), sent));
    EXPECT_EQ(sent.player_id, 0);
    EXPECT_GT(sent.ship_acceleration, 0.0f);

    RecordingSink recording;
    session->SetRecorder(&recording);
    // Bob's update is stamped 5 s ahead: the game clock catches up before it is applied.
    PlayerUpdate bob = game.Players().FindPlayer(1)->MakeUpdate();
    bob.time = game.Players().Clock().Now() + 5000;
    bob.ship_speed = 0.002f;
    peer->Reply(MessageKind::kPlayerUpdate, EncodePlayerUpdate(bob));
    Turn();
    EXPECT_FLOAT_EQ(game.Players().FindPlayer(1)->ship.speed, 0.002f);
    EXPECT_EQ(game.Players().Clock().Now(), bob.time);
    EXPECT_EQ(recording.clocks, std::vector<int32_t>({bob.time}))
        << "a replay of the race sets its clock to the server's, as the race did";
    session->SetRecorder(nullptr);
}

TEST_F(NetworkSessionTest, ALostConnectionPausesTheRaceUntilItIsBackAndOneThatStaysLostAbortsIt) {
    JoinRace();
    StartRace();
    peer->pumpFails = true;
    Turn();
    peer->pumpFails = false;
    EXPECT_EQ(game.GetState(), GameState::kPaused);
    peer->Reply(MessageKind::kJoinGame, EncodeJoinReply(JoinReply{kStatusAccepted, Client().CurrentGame()}));
    Turn(2);
    EXPECT_EQ(game.GetState(), GameState::kPlaying);
    EXPECT_EQ(Client().State(), kClientRacing);

    peer->pumpFails = true;
    peer->connectResults = {false, false, false};
    Turn();
    EXPECT_EQ(game.GetState(), GameState::kFinishing);
    EXPECT_EQ(lines.lines.back(), "Game is aborted");
    Step(GameManager::kRunOutMs);
    session->Tick();
    EXPECT_EQ(racesOver, 0) << "the run-out is shown whole";
    Step(20);
    session->Tick();
    EXPECT_EQ(racesOver, 1);
    EXPECT_EQ(game.GetState(), GameState::kNoLevel);
}

}  // namespace
