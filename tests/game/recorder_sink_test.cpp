#include "game/recorder_sink.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "app/debug_manager.h"
#include "game/player_manager.h"
#include "game_test_support.h"
#include "scene/model.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

struct DumpExit {};
void ThrowingExit(int) { throw DumpExit{}; }

// A level of one straight path with one local player on it, its updates going to the recorder.
class RecorderSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDumpExitHandler(ThrowingExit);
        SetDebugClock([this] { return now; });
        manager.AddUpdateSink(&sink);
        ASSERT_TRUE(manager.BuildPath(LinePoints(3, 10)));
        Model& ship = models.emplace_back();
        ship.rotation = {0, 0, 90};
        Model& bullet = models.emplace_back();
        ASSERT_NE(manager.AddPlayer(&ship, &bullet), nullptr);
        ASSERT_EQ(manager.PlacePlayers(), 1);
        manager.SetPlayerInfo(0, "Ann", true);
        manager.SetPlayerActive(0, true);
    }

    void TearDown() override {
        DebugFinish();
        SetDumpExitHandler(nullptr);
        SetDebugClock(nullptr);
    }

    void OpenRecording() {
        testing::internal::CaptureStdout();
        DebugInit(kDebugRecord, dir.File("run.dump").c_str());
        testing::internal::GetCapturedStdout();
    }

    std::vector<DebugAction> ActionsOfKind(int32_t kind) const {
        std::vector<DebugAction> found;
        for (const DebugAction& action : DebugPendingActions())
            if (action.kind == kind) found.push_back(action);
        return found;
    }

    TempDir dir;
    int64_t now = 0;
    SpinLock sceneLock;
    PlayerManager manager{sceneLock, [this] { return now; }};
    std::deque<Model> models;
    RecorderSink sink;
};

TEST_F(RecorderSinkTest, WhileARecordingIsOpenSentUpdatesAndTimerResetsReachTheDump) {
    EXPECT_FALSE(manager.SendUpdate(0, false)) << "no recording open: nobody takes the update";
    OpenRecording();
    now = 250;
    ASSERT_TRUE(manager.SendUpdate(0, false));
    const std::vector<DebugAction> updates = ActionsOfKind(kActionPlayerUpdate);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].data, EncodePlayerUpdate(manager.FindPlayer(0)->MakeUpdate()))
        << "the dump holds the update in its serialised form";
    manager.Clear();
    EXPECT_EQ(ActionsOfKind(kActionTimerReset).size(), 1u) << "clearing the level records a timer reset";
    DebugFinish();
    EXPECT_FALSE(sink.Accepting()) << "a finished recording takes nothing";
}

TEST_F(RecorderSinkTest, RecordedUpdatesApplyToThePlayersAndDamagedOnesAreLeftOut) {
    PlayerUpdate update = manager.FindPlayer(0)->MakeUpdate();
    update.ship_speed = 3.5f;
    std::vector<uint8_t> bytes = EncodePlayerUpdate(update);
    bytes.pop_back();
    ReportCapture log;
    EXPECT_FALSE(ApplyRecordedUpdate(manager, bytes.data(), bytes.size())) << "one byte short";
    EXPECT_TRUE(log.Contains("Damaged player update in dump: 23 bytes")) << log.Joined();
    EXPECT_EQ(manager.FindPlayer(0)->ship.speed, 0) << "a damaged record changes nothing";
    bytes = EncodePlayerUpdate(update);
    EXPECT_TRUE(ApplyRecordedUpdate(manager, bytes.data(), bytes.size()));
    EXPECT_FLOAT_EQ(manager.FindPlayer(0)->ship.speed, 3.5f);
}

}  // namespace
