#include "gui/choose_level_screen.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "menu_test_support.h"

namespace {

constexpr const char* kLoadError = "Error with loading level";
constexpr const char* kVictoriesError = "Victories should be a whole number from 1 to 999.";

class ChooseLevel : public testing::Test {
protected:
    ChooseLevel() { MountScreen(root, screen, 110, 75, ChooseLevelScreen::kWidth, ChooseLevelScreen::kHeight); }

    void Show() {
        Reshow(screen);
        root.Tick();
    }

    ConfigCopy config;
    FakeMenuGame game;
    NoMenuNetwork network;
    Widget root;
    ChooseLevelScreen screen{game, network, config.Path()};
};

TEST_F(ChooseLevel, ShowingReadsGeneralOrTheDefaultsAndListsTheLevels) {
    // A number too large for an int shows as written, to be refused by Play.
    config.Write("[General]\nPlayer1Name=Ann\nPlayer2Name=\nVictories=99999999999999999999\n");
    Show();
    EXPECT_EQ(screen.Player1Name().Text(), "Ann");
    EXPECT_EQ(screen.Victories().Text(), "99999999999999999999");
    config.Write("[sounds]\nsound_volume=100\n");
    Show();
    EXPECT_EQ(screen.Player1Name().Text(), "Player1") << "missing keys show the defaults";
    EXPECT_EQ(LinesOf(screen.LevelList().View()), (std::vector<std::string>{"Canyon (max:2)", "Twin Orbit (max:4)"}))
        << "showing again does not add the levels twice";
}

TEST_F(ChooseLevel, PlayStoresTheSettingsLoadsTheChosenLevelAndLetsThePlayersTakePart) {
    for (const char* second : {"Bob", ""}) {
        SCOPED_TRACE(std::string("second player \"") + second + "\"");
        game.participants.clear();
        Show();
        screen.Player1Name().SetText("Ann");
        screen.Player2Name().SetText(second);
        screen.Victories().SetText("7");
        screen.LevelList().SetSelectedRow(1);
        ClickThenTick(screen.OkButton());

        const IniFile settings(config.Path());
        EXPECT_EQ(settings.GetString("General", "Player1Name"), "Ann");
        EXPECT_EQ(settings.GetString("General", "Player2Name"), second);
        EXPECT_EQ(settings.GetInt("General", "Victories"), 7);
        EXPECT_EQ(settings.GetString("Keys", "PLAYER_0_FIRE"), "13") << "the rest of kav.ini is kept";
        EXPECT_EQ(game.selected, 1);
        EXPECT_EQ(game.hitLimit, 7);
        std::vector<Participant> players{{0, "Ann", true}};
        if (*second != '\0') players.emplace_back(1, second, true);
        EXPECT_EQ(game.participants, players) << "an empty second name gives a one-player game";
    }
}

TEST_F(ChooseLevel, BadInputOrAFailedLoadSaysSoAndKeepsTheScreenOpen) {
    Show();
    const std::string before = config.Text();
    screen.Player1Name().SetText("Bob");
    ClickThenTick(screen.CancelButton());
    EXPECT_TRUE(screen.IsCancelled());
    EXPECT_EQ(config.Text(), before) << "Cancel stores nothing";

    struct Case {
        const char* name;
        const char* victories;
        bool loadFails;
        bool noLevels;
        const char* message;
        int loads;
    } const cases[] = {
        {"", "3", false, false, "You should enter name of player 1.", 0},
        {"Ann", "0", false, false, kVictoriesError, 0},
        {"Ann", "12x", false, false, kVictoriesError, 0},
        {"Ann", "1000", false, false, kVictoriesError, 0},
        {"Ann", "3", true, false, kLoadError, 1},
        {"Ann", "3", false, true, kLoadError, 1},  // without levels nothing more is loaded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", victories " + c.victories);
        game.loadSucceeds = !c.loadFails;
        if (c.noLevels) game.levels.clear();
        Show();
        screen.Player1Name().SetText(c.name);
        screen.Victories().SetText(c.victories);
        ClickThenTick(screen.OkButton());
        EXPECT_TRUE(ShowsMessage(screen, "Error", c.message));
        EXPECT_FALSE(screen.IsAccepted()) << "the screen stays open";
        EXPECT_EQ(game.loads, c.loads);
        if (c.loads == 0) {
            EXPECT_EQ(config.Text(), before) << "nothing is stored before the input is good";
        }
        Click(screen.Message().OkButton());
    }
}

// The race starts all the same, and the message list under the help lines says why the
// names will be asked again. That the file is left as it is and the player told only once
// is shared by every settings screen and seen by the e2e player files suite.
TEST_F(ChooseLevel, SettingsThatCannotBeSavedAreToldInTheRaceMessages) {
    ReadOnlyFile readOnly(config.Path());
    Show();
    screen.Player1Name().SetText("Ann");
    ClickThenTick(screen.OkButton());
    EXPECT_EQ(game.loads, 1) << "the race starts";
    EXPECT_EQ(game.raceMessages,
              std::vector<std::string>{"Settings cannot be saved: " + config.Path() + " is read-only."});

    ChooseLevelScreen nowhere{game, network, "/no/such/directory/kav.ini"};
    game.loadSucceeds = false;
    root.AddChild(&nowhere);
    nowhere.SetOwner(&root);
    nowhere.SetVisible(true);
    root.Tick();
    ClickThenTick(nowhere.OkButton());
    // The box's lines joined: the level's error, then the notice.
    EXPECT_TRUE(ShowsMessage(nowhere, "Error",
                             "Error with loading levelSettings could not be saved to /no/such/directory/kav.ini: "
                             "No such file or directory"))
        << "with no race to show it, the level's error box says it too";
}

TEST_F(ChooseLevel, TheErrorBoxKeepsTheFocusAndTheScreenWaitsUntilItIsClosed) {
    Show();
    screen.Player1Name().SetText("");
    ClickThenTick(screen.OkButton());
    ASSERT_TRUE(ShowsMessage(screen, "Error", "You should enter name of player 1."));

    Click(screen.Player1Name());
    Type(screen, 'a');
    EXPECT_EQ(screen.FocusedChild(), &screen.Message()) << "a click behind the box leaves the focus in it";
    EXPECT_EQ(screen.Player1Name().Text(), "") << "typing does not reach the fields behind the box";

    screen.Player1Name().SetText("Ann");
    ClickThenTick(screen.OkButton());
    EXPECT_EQ(game.loads, 0) << "Play behind the box does nothing";
    EXPECT_TRUE(screen.Message().IsVisible());

    Type(screen, kKeyEscape);
    root.Tick();
    EXPECT_FALSE(screen.Message().IsVisible()) << "Escape closes the box";
    EXPECT_TRUE(screen.IsVisible()) << "and only the box";
    EXPECT_FALSE(screen.IsCancelled());

    ClickThenTick(screen.OkButton());
    EXPECT_EQ(game.loads, 1);
    EXPECT_FALSE(screen.IsVisible()) << "the level choice closes once its level is loaded";
}

}  // namespace
