#include "platform/pad_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PadInput, StickDirectionHasADeadZoneAndHoldsUntilTheStickComesBackFurther) {
    struct Case {
        int value;
        int previous;
        int direction;
        const char* why;
    };
    const std::vector<Case> cases{
        {0, 0, 0, "at rest"},
        {15999, 0, 0, "inside the dead zone"},
        {16000, 0, 1, "the press threshold"},
        {-16000, 0, -1, "the other way"},
        {-32768, 0, -1, "the far end"},
        {12000, 1, 1, "held until it comes back inside the release threshold"},
        {10001, 1, 1, "just outside the release threshold"},
        {10000, 1, 0, "the release threshold"},
        {12000, 0, 0, "not pressed between the thresholds"},
        {-12000, 1, 0, "a held direction does not hold the opposite one"},
        {-20000, 1, -1, "straight across to the opposite side"},
    };
    for (const Case& c : cases) EXPECT_EQ(StickDirection(c.value, c.previous), c.direction) << c.why << " " << c.value;
}

PadEvent Event(PadControl control, bool pressed) { return PadEvent{1, control, pressed}; }

void ExpectEvents(const std::vector<PadEvent>& actual, const std::vector<PadEvent>& expected, const char* why) {
    ASSERT_EQ(actual.size(), expected.size()) << why;
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].pad, expected[i].pad) << why;
        EXPECT_EQ(actual[i].control, expected[i].control) << why;
        EXPECT_EQ(actual[i].pressed, expected[i].pressed) << why;
    }
}

TEST(PadInput, TheDpadAndTheStickShareTheDirections) {
    PadState pad;
    ExpectEvents(pad.Button(1, PadControl::kUp, true), {Event(PadControl::kUp, true)}, "d-pad up");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickY, -30000), {}, "the stick adds nothing to a held direction");
    ExpectEvents(pad.Button(1, PadControl::kUp, false), {}, "the stick still holds up");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickY, 12000), {Event(PadControl::kUp, false)}, "both let go");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickY, 30000), {Event(PadControl::kDown, true)}, "down on the stick");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickX, -30000), {Event(PadControl::kLeft, true)}, "a diagonal");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickX, 30000),
                 {Event(PadControl::kLeft, false), Event(PadControl::kRight, true)}, "across in one move");
    EXPECT_TRUE(pad.Held(PadControl::kDown));
    ExpectEvents(pad.AxisMoved(1, PadState::kTriggerRight, 32767), {Event(PadControl::kRightTrigger, true)},
                 "a trigger pulled is a press");
    ExpectEvents(pad.Button(1, PadControl::kLeftTrigger, true), {}, "triggers come only as axes");
    ExpectEvents(pad.AxisMoved(1, PadState::kAxisCount, 30000), {}, "no such axis");
}

TEST(PadInput, AnUnpluggedPadReleasesEverythingItHeld) {
    PadState pad;
    pad.Button(1, PadControl::kA, true);
    pad.Button(1, PadControl::kStart, true);
    pad.AxisMoved(1, PadState::kStickY, -32768);
    ExpectEvents(pad.ReleaseAll(1),
                 {Event(PadControl::kA, false), Event(PadControl::kStart, false), Event(PadControl::kUp, false)},
                 "all held controls go up");
    EXPECT_FALSE(pad.Held(PadControl::kUp));
    ExpectEvents(pad.ReleaseAll(1), {}, "nothing is released twice");
    ExpectEvents(pad.AxisMoved(1, PadState::kStickY, -12000), {}, "the stick starts again from rest");
}

}  // namespace
