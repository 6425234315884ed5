#include "gui/game_menu.h"

#include <utility>

#include "gui/button_column.h"

namespace {

constexpr int kGap = 5;
// "Back to game" fits a 190-pixel button only in cells smaller than the default 16.
constexpr int kCaptionCellSize = 14;

}  // namespace

GameMenu::GameMenu(std::string configFileName, SoundManager& sound) : optionsScreen_(std::move(configFileName), sound) {
    SetModal(true);
    for (SoundButton* button : {&backToGame_, &endGame_, &options_, &exit_}) {
        button->Caption().SetCellSize(kCaptionCellSize);
        AddChild(button);
    }
    AddChild(&optionsScreen_);
    optionsScreen_.SetOwner(this);
    optionsScreen_.SetVisible(false);
    SetSize(kWidth, kHeight);
    Resize();
}

// The buttons consume the key that clicks them, so their flags are read whatever the code.
void GameMenu::OnKeyUp(KeyEvent* event) {
    if (event->code == kKeyEscape) {
        event->code = KEY_CONSUMED;
        SetVisible(false);
        return;
    }
    if (options_.Clicked()) {
        options_.SetClicked(false);
        optionsScreen_.SetVisible(true);
    }
    if (BackToGameChosen() || EndGameChosen() || ExitChosen()) SetVisible(false);
}

void GameMenu::OnShown() {
    ResetClicks();
    Widget* parent = Parent();
    if (parent == nullptr) return;
    // Like a dialog: on top, and the mouse and the keys come here.
    parent->BringToFront(this);
    parent->SetHoverChild(this);
    parent->SetFocusChild(this);
}

void GameMenu::OnResized() {
    StackButtons({&backToGame_, &endGame_, &options_, &exit_}, kGap, kGap, Width() - 2 * kGap, Height() - 2 * kGap,
                 kGap);
    optionsScreen_.SetPosition((Width() - optionsScreen_.Width()) / 2, (Height() - optionsScreen_.Height()) / 2);
}
