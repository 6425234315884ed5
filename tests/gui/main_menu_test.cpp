#include "gui/main_menu.h"

#include <gtest/gtest.h>

#include "effects/sound_manager.h"
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

    ConfigCopy config;
    FakeMenuGame game;
    NoMenuNetwork network;
    Widget root;
    MainMenu menu{game, network, config.Path(), QuietEffects()};
};

TEST_F(MainMenuFlow, StartsHiddenAndShowsTheMainMenuWhenPrepared) {
    EXPECT_TRUE(menu.IsVisible());
    EXPECT_EQ(menu.State(), kMenuMain);
    EXPECT_EQ(root.FocusedChild(), &menu);
    EXPECT_EQ(menu.Width(), 300);
    EXPECT_EQ(menu.Height(), 220);
    EXPECT_FALSE(menu.ChooseLevel().IsVisible());
    EXPECT_FALSE(menu.Options().IsVisible());
}

TEST_F(MainMenuFlow, FiveButtonsInOrderWithinTheMargins) {
    std::vector<Button*> buttons{&menu.StartGameButton(), &menu.LanButton(), &menu.InternetButton(),
                                 &menu.OptionsButton(), &menu.ExitButton()};
    const char* captions[] = {"Start Game", "LAN (test)", "Internet (test)", "Options", "Exit"};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const Widget::AbsoluteRect& box = buttons[i]->Absolute();
        EXPECT_EQ(buttons[i]->Caption().Text(), captions[i]);
        EXPECT_EQ(buttons[i]->Caption().VisibleCharacters(), static_cast<int>(buttons[i]->Caption().Text().size()))
            << captions[i] << " is shown whole";
        EXPECT_EQ(box.x1, menu.Absolute().x1 + 10) << captions[i];
        EXPECT_EQ(box.x2, menu.Absolute().x2 - 10) << captions[i];
        EXPECT_GE(box.y1, menu.Absolute().y1 + 10) << captions[i];
        EXPECT_LE(box.y2, menu.Absolute().y2 - 10) << captions[i];
        if (i > 0) {
            EXPECT_GT(box.y1, buttons[i - 1]->Absolute().y2) << captions[i] << " is below the one before";
        }
    }
}

TEST_F(MainMenuFlow, StartGameLeadsThroughTheLevelChoiceToTheRace) {
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame);
    ChooseLevelScreen& chooseLevel = menu.ChooseLevel();
    EXPECT_TRUE(chooseLevel.IsVisible());
    EXPECT_TRUE(menu.IsVisible()) << "the level choice opens over the main menu";
    EXPECT_EQ(menu.FocusedChild(), &chooseLevel);
    EXPECT_EQ(chooseLevel.LevelList().LineCount(), 2) << "the screen was shown afresh";

    Click(chooseLevel.OkButton());
    root.Tick();  // the level choice closes
    root.Tick();  // the menu sees it closed
    EXPECT_EQ(menu.State(), kMenuRace);
    EXPECT_FALSE(menu.IsVisible()) << "the race shows without the menu";
    EXPECT_EQ(game.loads, 1);
}

TEST_F(MainMenuFlow, ACancelledLevelChoiceReturnsToTheMainMenu) {
    Choose(menu.StartGameButton());
    ReleaseOn(menu, kKeyEscape);
    root.Tick();
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuMain);
    EXPECT_TRUE(menu.IsVisible());
    EXPECT_FALSE(menu.Choices().Any()) << "the main menu's clicks were reset on the way back";
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuMain) << "and nothing is chosen again";
    EXPECT_EQ(game.loads, 0);
}

TEST_F(MainMenuFlow, OptionsOpenAndReturnToTheMainMenu) {
    Choose(menu.OptionsButton());
    EXPECT_EQ(menu.State(), kMenuOptions);
    EXPECT_TRUE(menu.Options().IsVisible());
    Click(menu.Options().OkButton());
    root.Tick();
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuMain);
    EXPECT_FALSE(menu.Options().IsVisible());
    SetSoundVolume(1.0f);
    SetMusicVolume(1.0f);
}

TEST_F(MainMenuFlow, ExitAsksTheApplicationToEnd) {
    Click(menu.ExitButton());
    EXPECT_TRUE(menu.ExitChosen()) << "readable on the key up that chose it";
    root.Tick();
    EXPECT_EQ(menu.State(), kMenuExit);
    EXPECT_TRUE(menu.ExitRequested());
}

TEST_F(MainMenuFlow, NetworkChoicesSayTheyAreNotAvailableAndStayInTheMainMenu) {
    for (Button* button : {&menu.LanButton(), &menu.InternetButton()}) {
        Choose(*button);
        EXPECT_EQ(menu.State(), kMenuMain) << button->Caption().Text();
        EXPECT_TRUE(ShowsMessage(menu, "Error", "Network games are not available yet")) << button->Caption().Text();
        EXPECT_FALSE(menu.Choices().Any());
        Click(menu.Message().OkButton());
        root.Tick();
        EXPECT_FALSE(menu.Message().IsVisible());
        EXPECT_EQ(menu.State(), kMenuMain);
    }
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "the main menu still works afterwards";
}

TEST_F(MainMenuFlow, EscapeIsIgnoredOnTheMainMenu) {
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED);
    root.Tick();
    EXPECT_TRUE(menu.IsVisible());
    EXPECT_EQ(menu.State(), kMenuMain);
    EXPECT_FALSE(menu.CancelButton().Clicked());
}

TEST_F(MainMenuFlow, AfterARaceTheMainMenuComesBackFresh) {
    Choose(menu.StartGameButton());
    Click(menu.ChooseLevel().OkButton());
    root.Tick();
    root.Tick();
    ASSERT_EQ(menu.State(), kMenuRace);
    menu.PrepareForShowing();
    EXPECT_EQ(menu.State(), kMenuMain);
    EXPECT_TRUE(menu.IsVisible());
    EXPECT_EQ(root.FocusedChild(), &menu);
    EXPECT_FALSE(menu.Choices().Any());
    menu.PrepareForShowing();
    EXPECT_EQ(menu.State(), kMenuMain) << "a second call while shown changes nothing";
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "a second race can be started";
}

}  // namespace
