#include "gui/game_menu.h"

#include <gtest/gtest.h>

#include "menu_test_support.h"

namespace {

// End game is chosen in the e2e race and pad suites, which return to the main menu by it.
TEST(InRaceMenu, AChoiceClosesTheMenuUntilItIsShownAgainAndEscapeClosesItWithoutOne) {
    ConfigCopy config;
    Widget root;
    SoundManager sound;
    GameMenu menu{config.Path(), sound};
    Mount(root, menu, 220, 177, GameMenu::kWidth, GameMenu::kHeight);
    menu.Resize();
    Reshow(menu);

    Click(menu.BackToGameButton());
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_TRUE(menu.BackToGameChosen());
    menu.SetVisible(true);
    EXPECT_FALSE(menu.BackToGameChosen()) << "showing the menu starts without a choice";
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED) << "the application must not reopen it";
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_FALSE(menu.EndGameChosen() || menu.ExitChosen() || menu.BackToGameChosen());
}

}  // namespace
