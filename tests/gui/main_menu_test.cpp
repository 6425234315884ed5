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
    QuietServices services;
    MainMenu menu{game, network, config.Path(), services.Lend()};
};

TEST_F(MainMenuFlow, StartGameLeadsThroughTheLevelChoiceToTheRaceOrBack) {
    Choose(menu.StartGameButton());
    ReleaseOn(menu, kKeyEscape);
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuMain) << "a cancelled level choice returns";

    Choose(menu.StartGameButton());
    Click(menu.ChooseLevel().OkButton());
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuRace);
    EXPECT_FALSE(menu.IsVisible()) << "the race shows without the menu";

    menu.PrepareForShowing();
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "a second race can be started";
}

TEST_F(MainMenuFlow, ExitEndsTheApplicationAndEscapeIsIgnored) {
    ReleaseOn(menu, kKeyEscape);
    root.Tick();
    EXPECT_TRUE(menu.IsVisible()) << "Escape does not close the main menu";
    Click(menu.ExitButton());
    root.Tick();
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
    }
}

}  // namespace
