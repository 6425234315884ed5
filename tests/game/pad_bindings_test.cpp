#include "game/pad_bindings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "platform/window_root.h"
#include "support/report_capture.h"

namespace {

PadBindings Read(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return ReadPadBindings(ini);
}

PadAction ActionOf(const PadBindings& bindings, PadControl control) { return bindings[static_cast<size_t>(control)]; }

TEST(PadBindings, WithoutPadsSectionTheShippedControlsAreUsedQuietlyAndWrittenOut) {
    ReportCapture capture;
    IniFile ini;
    ini.Parse("[Keys]\nPLAYER_0_FIRE=13\n");
    const PadBindings bindings = ReadPadBindings(ini);
    EXPECT_EQ(bindings, DefaultPadBindings());
    EXPECT_TRUE(capture.Lines().empty()) << capture.Joined();
    ASSERT_TRUE(AddDefaultPadBindings(ini));
    EXPECT_NE(ini.ToText().find("[Pads]\nINCREASE_SPEED=UP\nDECREASE_SPEED=DOWN\nTURN_LEFT=LEFT\nTURN_RIGHT=RIGHT\n"
                                "FIRE=A\nSHOW_MENU=START\nSHOW_SCORE=BACK\nNEXT_CAMERA=Y\n"),
              std::string::npos)
        << ini.ToText();
    EXPECT_EQ(ReadPadBindings(ini), DefaultPadBindings());
    ini.SetValue("Pads", "FIRE", "B", false);
    EXPECT_FALSE(AddDefaultPadBindings(ini)) << "the player's own section stays";
    EXPECT_EQ(ini.GetString("Pads", "FIRE"), "B");
}

TEST(PadBindings, ValuesNameControlsInAnyCaseAndBadOnesFallBackWithAWarning) {
    struct Case {
        const char* text;
        PadControl control;
        PadAction action;
        const char* warning;  // empty for none
    };
    const std::vector<Case> cases{
        {"FIRE=X", PadControl::kX, PadAction::kFire, ""},
        {"FIRE=right_trigger", PadControl::kRightTrigger, PadAction::kFire, ""},
        {"INCREASE_SPEED=RIGHT_TRIGGER", PadControl::kUp, PadAction::kNone, ""},
        {"FIRE=NONE", PadControl::kA, PadAction::kNone, ""},
        {"FIRE=TRIANGLE", PadControl::kA, PadAction::kFire, "Pad control \"TRIANGLE\" of FIRE is unknown; using A"},
        {"FIRE=START", PadControl::kStart, PadAction::kMenu, ""},  // the later action on the control wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReportCapture capture;
        EXPECT_EQ(ActionOf(Read(std::string("[Pads]\n") + c.text + "\n"), c.control), c.action);
        EXPECT_EQ(capture.Messages(), *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
    }
}

PadEvent Press(int pad, PadControl control) { return PadEvent{pad, control, true}; }
PadEvent Release(int pad, PadControl control) { return PadEvent{pad, control, false}; }

TEST(PadRouter, InARacePadsDriveTheirPlayersShipAndTheCommands) {
    struct Case {
        PadEvent press;
        PadOutcome::Kind kind;
        int command;
        int player;
        int bindingKind;
    };
    const std::vector<Case> cases{
        {Press(0, PadControl::kUp), PadOutcome::kBinding, kControlSpeedUp, 0, kBindingShipControl},
        {Press(1, PadControl::kA), PadOutcome::kBinding, kControlFire, 1, kBindingShipControl},
        {Press(2, PadControl::kA), PadOutcome::kNothing, 0, -1, kBindingNone},  // a third pad has no ship
        {Press(2, PadControl::kStart), PadOutcome::kBinding, kCommandShowMenu, -1, kBindingCommand},
        {Press(1, PadControl::kY), PadOutcome::kBinding, kCommandNextCamera, -1, kBindingCamera},
        {Press(0, PadControl::kB), PadOutcome::kNothing, 0, -1, kBindingNone},
        {Press(kMaxPads, PadControl::kUp), PadOutcome::kNothing, 0, -1, kBindingNone},
        {Press(-1, PadControl::kUp), PadOutcome::kNothing, 0, -1, kBindingNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("pad " + std::to_string(c.press.pad) + " " + PadControlName(c.press.control));
        PadRouter router;
        const PadOutcome outcome = router.Route(c.press, false);
        EXPECT_EQ(outcome.kind, c.kind);
        if (outcome.kind != PadOutcome::kBinding) continue;
        EXPECT_EQ(outcome.binding.command, c.command);
        EXPECT_EQ(outcome.binding.player, c.player);
        EXPECT_EQ(outcome.binding.kind, c.bindingKind);
        EXPECT_TRUE(outcome.binding.pressed);
        const PadOutcome release = router.Route(Release(c.press.pad, c.press.control), false);
        EXPECT_EQ(release.binding.command, c.command);
        EXPECT_FALSE(release.binding.pressed);
    }
}

TEST(PadRouter, InTheMenusPadsAreArrowsEnterAndEscape) {
    const std::vector<std::pair<PadControl, int>> cases{
        {PadControl::kUp, kKeyUp},        {PadControl::kA, kKeyEnter}, {PadControl::kB, kKeyEscape},
        {PadControl::kStart, kKeyEscape}, {PadControl::kX, 0},
    };
    for (const auto& [control, key] : cases) {
        SCOPED_TRACE(PadControlName(control));
        const PadOutcome outcome = PadRouter().Route(Press(3, control), true);
        EXPECT_EQ(outcome.kind, key == 0 ? PadOutcome::kNothing : PadOutcome::kMenuKey);
        EXPECT_EQ(outcome.key, key);
        EXPECT_TRUE(outcome.pressed || key == 0);
    }
    PadRouter rebound;
    PadBindings bindings = DefaultPadBindings();
    bindings[static_cast<size_t>(PadControl::kStart)] = PadAction::kNone;
    bindings[static_cast<size_t>(PadControl::kX)] = PadAction::kMenu;
    rebound.SetBindings(bindings);
    EXPECT_EQ(rebound.Route(Press(0, PadControl::kX), true).key, kKeyEscape) << "the bound menu button closes menus";
    EXPECT_EQ(rebound.Route(Press(0, PadControl::kStart), true).kind, PadOutcome::kNothing);
}

TEST(PadRouter, AReleaseUndoesItsPressWhereverTheMenusAreNow) {
    PadRouter router;
    ASSERT_EQ(router.Route(Press(0, PadControl::kUp), false).kind, PadOutcome::kBinding);
    const PadOutcome upReleased = router.Route(Release(0, PadControl::kUp), true);
    EXPECT_EQ(upReleased.kind, PadOutcome::kBinding) << "the ship's speed-up ends though a menu opened";
    EXPECT_EQ(upReleased.binding.command, kControlSpeedUp);
    EXPECT_FALSE(upReleased.binding.pressed);

    ASSERT_EQ(router.Route(Press(1, PadControl::kA), true).kind, PadOutcome::kMenuKey);
    const PadOutcome enterReleased = router.Route(Release(1, PadControl::kA), false);
    EXPECT_EQ(enterReleased.kind, PadOutcome::kMenuKey) << "the menu's Enter goes up though the race is on";
    EXPECT_EQ(enterReleased.key, kKeyEnter);
    EXPECT_FALSE(enterReleased.pressed);

    EXPECT_EQ(router.Route(Release(1, PadControl::kA), false).kind, PadOutcome::kNothing) << "released once";
    EXPECT_EQ(router.Route(Release(0, PadControl::kX), false).kind, PadOutcome::kNothing) << "never pressed";
}

}  // namespace
