#include "gui/choose_server_screen.h"

#include <utility>

namespace {
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 20;
}  // namespace

ChooseServerScreen::ChooseServerScreen(MenuNetwork& network, std::string configFileName)
    : SettingsScreen(configFileName), network_(network), userName_(network, configFileName) {
    SetCaption("Network->Choose Server");
    OkButton().SetCaption("Connect");
    listLabel_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    serverList_.SetRowsSelectable(true);
    AddClientChild(&listLabel_);
    AddClientChild(&serverList_);
    AddClientChild(&refresh_);
    AddChild(&userName_);
    userName_.SetOwner(this);
    userName_.SetVisible(false);
    userName_.SetOnLoggedIn([this] { Accept(); });
    SetSize(kWidth, kHeight);
    Resize();
}

void ChooseServerScreen::OnShown() {
    SettingsScreen::OnShown();
    network_.Start();
    network_.RequestServerListRefresh();
}

void ChooseServerScreen::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    listLabel_.SetSize(width, listLabel_.Height());
    listLabel_.SetPosition(x, y);
    y += listLabel_.Height() + Spacing();
    const int bottom = ClientPanel().Client().bottom - MarginY();
    serverList_.SetSize(width, bottom - kButtonHeight - Spacing() - y);
    serverList_.SetPosition(x, y);
    refresh_.SetSize(kButtonWidth, kButtonHeight);
    refresh_.SetPosition(x, bottom - kButtonHeight);
    userName_.SetPosition((Width() - userName_.Width()) / 2, (Height() - userName_.Height()) / 2);
}

void ChooseServerScreen::OnKeyUp(KeyEvent*) {
    if (!refresh_.Clicked()) return;
    refresh_.SetClicked(false);
    network_.RequestServerListRefresh();
}

bool ChooseServerScreen::Confirm() {
    const int selected = serverList_.SelectedRow();
    if (selected < 0) {
        ShowMessage("ERROR", "No servers selected", kShowOk);
        return false;
    }
    if (!network_.ConnectToListedServer(selected)) {
        ShowMessage("Error", network_.StatusText(), kShowOk);
        return false;
    }
    userName_.SetVisible(true);
    // Accepted once the user name dialog has logged in.
    return false;
}
