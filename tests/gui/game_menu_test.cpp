#include "gui/game_menu.h"

#include <gtest/gtest.h>

#include "menu_test_support.h"

namespace {

class InRaceMenu : public testing::Test {
protected:
    InRaceMenu() {
        Mount(root, menu, 220, 177, GameMenu::kWidth, GameMenu::kHeight);
        menu.Resize();
        Reshow(menu);
    }

    ConfigCopy config;
    Widget root;
    SoundManager sound;
    GameMenu menu{config.Path(), sound};
};

TEST_F(InRaceMenu, EachChoiceClosesTheMenuAndStaysChosenUntilItIsShownAgain) {
    struct Case {
        const char* name;
        Button& button;
        bool (GameMenu::*chosen)() const;
    };
    const Case cases[] = {
        {"End game", menu.EndGameButton(), &GameMenu::EndGameChosen},
        {"Back to game", menu.BackToGameButton(), &GameMenu::BackToGameChosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        menu.SetVisible(true);
        EXPECT_FALSE((menu.*c.chosen)()) << "showing the menu starts without a choice";
        Click(c.button);
        EXPECT_FALSE(menu.IsVisible());
        EXPECT_TRUE((menu.*c.chosen)());
    }
}

TEST_F(InRaceMenu, EscapeClosesTheMenuWithoutAChoiceAndIsConsumed) {
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED) << "the application must not reopen it";
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_FALSE(menu.EndGameChosen() || menu.ExitChosen() || menu.BackToGameChosen());
}

}  // namespace
