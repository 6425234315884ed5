#include "gui/game_menu.h"

#include <gtest/gtest.h>

#include "menu_test_support.h"

namespace {

class InRaceMenu : public testing::Test {
protected:
    InRaceMenu() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&menu);
        Place(menu, 220, 177, GameMenu::kWidth, GameMenu::kHeight);
        menu.Resize();
        menu.SetVisible(false);
        menu.SetVisible(true);
    }

    ConfigCopy config;
    Widget root;
    GameMenu menu{config.Path()};
};

TEST_F(InRaceMenu, FourButtonsInOrderInsideTheMenu) {
    EXPECT_EQ(menu.Width(), 200);
    EXPECT_EQ(menu.Height(), 125);
    std::vector<Button*> buttons{&menu.BackToGameButton(), &menu.EndGameButton(), &menu.OptionsButton(),
                                 &menu.ExitButton()};
    const char* captions[] = {"Back to game", "End game", "Options", "Exit"};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->Caption().Text(), captions[i]);
        EXPECT_EQ(buttons[i]->Caption().VisibleCharacters(), static_cast<int>(buttons[i]->Caption().Text().size()))
            << captions[i] << " is shown whole";
        EXPECT_GE(buttons[i]->Absolute().y1, menu.Absolute().y1);
        EXPECT_LE(buttons[i]->Absolute().y2, menu.Absolute().y2) << captions[i] << " lies inside the menu";
        if (i > 0) {
            EXPECT_GT(buttons[i]->Absolute().y1, buttons[i - 1]->Absolute().y2) << captions[i] << " is below";
        }
    }
    EXPECT_EQ(root.FocusedChild(), &menu) << "a shown menu takes the keys";
    EXPECT_EQ(root.HoveredChild(), &menu) << "and the mouse";
}

TEST_F(InRaceMenu, TheRaceChoicesCloseTheMenuAndStayChosen) {
    Click(menu.EndGameButton());
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_TRUE(menu.EndGameChosen());
    EXPECT_FALSE(menu.ExitChosen());
    menu.SetVisible(true);
    EXPECT_FALSE(menu.EndGameChosen()) << "showing the menu again starts without a choice";
    Click(menu.ExitButton());
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_TRUE(menu.ExitChosen());
    menu.SetVisible(true);
    Click(menu.BackToGameButton());
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_TRUE(menu.BackToGameChosen());
}

TEST_F(InRaceMenu, EscapeClosesTheMenuAndIsConsumed) {
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED) << "the application must not reopen it";
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_FALSE(menu.EndGameChosen() || menu.ExitChosen() || menu.BackToGameChosen());
}

TEST_F(InRaceMenu, OptionsOpenOverTheMenuAndEscapeThereClosesOnlyThem) {
    Click(menu.OptionsButton());
    OptionsScreen& options = menu.Options();
    EXPECT_TRUE(options.IsVisible());
    EXPECT_TRUE(menu.IsVisible());
    EXPECT_EQ(menu.FocusedChild(), &options);
    EXPECT_EQ(options.Absolute().x1 - menu.Absolute().x1, (menu.Width() - options.Width()) / 2) << "centred";
    EXPECT_EQ(ReleaseOn(menu, kKeyEscape), KEY_CONSUMED);
    root.Tick();
    EXPECT_FALSE(options.IsVisible());
    EXPECT_TRUE(options.IsCancelled());
    EXPECT_TRUE(menu.IsVisible()) << "the menu stays";
    ReleaseOn(menu, kKeyEnter);
    EXPECT_FALSE(options.IsVisible()) << "the Options click was used once";
}

}  // namespace
