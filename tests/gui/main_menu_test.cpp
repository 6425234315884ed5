#include "gui/main_menu.h"

#include <gtest/gtest.h>

#include "game/level_test_support.h"
#include "menu_test_support.h"

namespace {

class MainMenuFlow : public testing::Test {
protected:
    MainMenuFlow() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&menu);
        menu.SetOwner(&root);
        menu.SetPosition((640 - MainMenu::kWidth) / 2, (480 - MainMenu::kHeight) / 2);
        root.Resize();
        menu.PrepareForShowing();
    }

    void Choose(Button& button) {
        Click(button);
        root.Tick();
    }
    // A screen over the menu closes on one tick; the menu sees it closed on the next.
    void FinishScreen() {
        root.Tick();
        root.Tick();
    }

    ConfigCopy config;
    FakeMenuGame game;
    NoMenuNetwork network;
    Widget root;
    MainMenu menu{game, network, config.Path(), QuietEffects()};
};

TEST_F(MainMenuFlow, StartGameLeadsThroughTheLevelChoiceToTheRaceOrBack) {
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.FocusedChild(), &menu.ChooseLevel()) << "the level choice opens over the menu";
    ReleaseOn(menu, kKeyEscape);
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuMain) << "a cancelled level choice returns";
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuMain) << "the main menu's clicks were reset on the way back";

    Choose(menu.StartGameButton());
    Click(menu.ChooseLevel().OkButton());
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuRace);
    EXPECT_FALSE(menu.IsVisible()) << "the race shows without the menu";
    EXPECT_EQ(game.loads, 1);

    menu.PrepareForShowing();
    EXPECT_EQ(root.FocusedChild(), &menu);
    EXPECT_FALSE(menu.Choices().Any()) << "the menu comes back after a race without old choices";
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "a second race can be started";
}

TEST_F(MainMenuFlow, ExitEndsTheApplicationAndEscapeIsIgnored) {
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED);
    root.Tick();
    EXPECT_TRUE(menu.IsVisible()) << "Escape does not close the main menu";
    Click(menu.ExitButton());
    EXPECT_TRUE(menu.ExitChosen()) << "readable on the key up that chose it";
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuExit);
    EXPECT_TRUE(menu.ExitRequested());
}

TEST_F(MainMenuFlow, NetworkChoicesSayTheyAreNotAvailableAndStayInTheMainMenu) {
    for (Button* button : {&menu.LanButton(), &menu.InternetButton()}) {
        SCOPED_TRACE(button->Caption().Text());
        Choose(*button);
        EXPECT_EQ(menu.State(), kMenuMain);
        EXPECT_TRUE(ShowsMessage(menu, "Error", "Network games are not available yet"));
        Click(menu.Message().OkButton());
        root.Tick();
        EXPECT_FALSE(menu.Message().IsVisible());
    }
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "the main menu still works afterwards";
}

}  // namespace
