#include "game/recorder_sink.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "game/player_manager.h"
#include "game_test_support.h"
#include "scene/model.h"
#include "support/report_capture.h"

namespace {

TEST(RecorderSink, RecordedUpdatesApplyToThePlayersAndDamagedOnesAreLeftOut) {
    PlayerManager manager{[] { return int64_t{0}; }};
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 10)));
    std::deque<Model> models(2);
    models[0].rotation = {0, 0, 90};
    ASSERT_NE(manager.AddPlayer(&models[0], &models[1]), nullptr);
    ASSERT_EQ(manager.PlacePlayers(), 1);
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
