#include "gui/choose_level_screen.h"

#include <gtest/gtest.h>

#include "app/ini_file.h"
#include "menu_test_support.h"

namespace {

class ChooseLevel : public testing::Test {
protected:
    ChooseLevel() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&screen);
        screen.SetOwner(&root);
        Place(screen, 110, 75, ChooseLevelScreen::kWidth, ChooseLevelScreen::kHeight);
        screen.Resize();
    }

    void Show() {
        screen.SetVisible(false);
        screen.SetVisible(true);
        root.Tick();
    }

    void Play() {
        Click(screen.OkButton());
        root.Tick();
    }

    IniFile Settings() const { return IniFile(config.Path()); }

    ConfigCopy config;
    FakeMenuGame game;
    Widget root;
    ChooseLevelScreen screen{game, config.Path()};
};

TEST_F(ChooseLevel, ShowingReadsTheNamesAndVictoriesFromGeneral) {
    config.Write("[General]\nPlayer1Name=Ann\nPlayer2Name=\nVictories=3\n");
    Show();
    EXPECT_EQ(screen.Caption().Text(), "Start->Choose Level");
    EXPECT_EQ(screen.OkButton().Caption().Text(), "Play");
    EXPECT_EQ(screen.Player1Name().Text(), "Ann");
    EXPECT_EQ(screen.Player2Name().Text(), "") << "an empty second name is kept empty";
    EXPECT_EQ(screen.Victories().Text(), "3");
}

TEST_F(ChooseLevel, MissingKeysShowTheDefaults) {
    config.Write("[sounds]\nsound_volume=100\n");
    Show();
    EXPECT_EQ(screen.Player1Name().Text(), "Player1");
    EXPECT_EQ(screen.Player2Name().Text(), "Player2");
    EXPECT_EQ(screen.Victories().Text(), "10");
}

TEST_F(ChooseLevel, TheLevelListHasOneLinePerLevelWithItsMaximumPlayers) {
    Show();
    TextList& list = screen.LevelList();
    ASSERT_EQ(list.LineCount(), 2);
    EXPECT_EQ(list.View().Line(0), "Canyon (max:2)");
    EXPECT_EQ(list.View().Line(1), "Twin Orbit (max:4)");
    EXPECT_EQ(list.SelectedRow(), 0) << "the first level is chosen until another is clicked";
    EXPECT_EQ(list.FocusedChild(), &list.View()) << "so that the chosen row is marked";
    list.SetSelectedRow(1);
    Show();
    EXPECT_EQ(list.LineCount(), 2) << "showing again does not add the levels twice";
    EXPECT_EQ(list.SelectedRow(), 1) << "the last choice is kept";
}

TEST_F(ChooseLevel, PlayStoresTheSettingsLoadsTheChosenLevelAndLetsBothPlayersTakePart) {
    Show();
    screen.Player1Name().SetText("Ann");
    screen.Player2Name().SetText("Bob");
    screen.Victories().SetText("7");
    screen.LevelList().SetSelectedRow(1);
    Play();

    const IniFile settings = Settings();
    EXPECT_EQ(settings.GetString("General", "Player1Name"), "Ann");
    EXPECT_EQ(settings.GetString("General", "Player2Name"), "Bob");
    EXPECT_EQ(settings.GetInt("General", "Victories"), 7);
    EXPECT_EQ(settings.GetString("Keys", "PLAYER_0_FIRE"), "13") << "the rest of kav.ini is kept";

    EXPECT_EQ(game.selected, 1);
    EXPECT_EQ(game.hitLimit, 7);
    EXPECT_EQ(game.loads, 1);
    EXPECT_FALSE(game.network) << "a race from this screen is local";
    EXPECT_FALSE(game.loadedWithParticipants) << "the players exist only once the level has loaded";
    EXPECT_EQ(game.participants, (std::vector<Participant>{{0, "Ann", true}, {1, "Bob", true}}));
    EXPECT_FALSE(screen.IsVisible()) << "the screen closes as accepted";
    EXPECT_TRUE(screen.IsAccepted());
    EXPECT_FALSE(screen.IsCancelled());
}

TEST_F(ChooseLevel, AnEmptySecondNameGivesAOnePlayerGame) {
    Show();
    screen.Player2Name().SetText("");
    Play();
    EXPECT_EQ(game.participants, (std::vector<Participant>{{0, "Player1", true}}));
    EXPECT_EQ(Settings().GetString("General", "Player2Name"), "");
    EXPECT_TRUE(screen.IsAccepted());
}

TEST_F(ChooseLevel, AFailedLoadSaysSoAndKeepsTheScreenOpen) {
    game.loadSucceeds = false;
    Show();
    Play();
    EXPECT_TRUE(ShowsMessage(screen, "Error", "Error with loading level"));
    EXPECT_TRUE(screen.IsVisible());
    EXPECT_FALSE(screen.IsAccepted());
    EXPECT_TRUE(game.participants.empty());
    EXPECT_EQ(Settings().GetString("General", "Player1Name"), "Player1") << "the settings were still stored";

    Click(screen.Message().OkButton());
    root.Tick();
    EXPECT_FALSE(screen.Message().IsVisible());
    EXPECT_EQ(game.loads, 1) << "keys after the failure do not try again by themselves";
    game.loadSucceeds = true;
    Play();
    EXPECT_EQ(game.loads, 2);
    EXPECT_TRUE(screen.IsAccepted()) << "a second Play may succeed";
}

TEST_F(ChooseLevel, PlayWithoutLevelsIsALoadError) {
    game.levels.clear();
    Show();
    EXPECT_EQ(screen.LevelList().SelectedRow(), -1);
    Play();
    EXPECT_EQ(game.loads, 0);
    EXPECT_TRUE(ShowsMessage(screen, "Error", "Error with loading level"));
    EXPECT_TRUE(screen.IsVisible());
}

TEST_F(ChooseLevel, BadNamesAndVictoriesAreRefusedBeforeAnythingIsStored) {
    Show();
    const std::string before = config.Text();
    screen.Player1Name().SetText("");
    Play();
    EXPECT_TRUE(ShowsMessage(screen, "Error", "You should enter name of player 1."));
    Click(screen.Message().OkButton());
    screen.Player1Name().SetText("Ann");
    for (const char* victories : {"", "0", "12x", "-3", "1000", "99999999999"}) {
        screen.Victories().SetText(victories);
        Play();
        EXPECT_TRUE(ShowsMessage(screen, "Error", "Victories should be a whole number from 1 to 999."))
            << "victories \"" << victories << "\"";
        Click(screen.Message().OkButton());
    }
    EXPECT_EQ(config.Text(), before);
    EXPECT_EQ(game.loads, 0);
    screen.Victories().SetText("999");
    Play();
    EXPECT_EQ(game.hitLimit, 999);
}

TEST_F(ChooseLevel, CancelAndEscapeCloseTheScreenWithoutStoringOrLoading) {
    Show();
    const std::string before = config.Text();
    Click(screen.CancelButton());
    root.Tick();
    EXPECT_FALSE(screen.IsVisible());
    EXPECT_TRUE(screen.IsCancelled());
    Show();
    ReleaseOn(screen, kKeyEscape);
    root.Tick();
    EXPECT_FALSE(screen.IsVisible());
    EXPECT_TRUE(screen.IsCancelled());
    EXPECT_EQ(config.Text(), before);
    EXPECT_EQ(game.loads, 0);
}

}  // namespace
