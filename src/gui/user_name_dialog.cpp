#include "gui/user_name_dialog.h"

#include <utility>

namespace {
const char* const kSection = "NetSetup";
const char* const kKey = "ServerUserName";
constexpr int kFieldHeight = 14;
}  // namespace

UserNameDialog::UserNameDialog(MenuNetwork& network, std::string configFileName)
    : SettingsScreen(std::move(configFileName)), network_(network) {
    SetCaption("User Name");
    help_.SetCellSize(8);
    help_.SetWrap(true, 30);
    help_.AddText("Name, which will be used on the server must be unique.");
    help_.SetFocusable(false);
    name_.SetHeight(kFieldHeight);
    AddClientChild(&help_);
    AddClientChild(&name_);
    SetSize(kWidth, kHeight);
    Resize();
}

void UserNameDialog::OnShown() {
    SettingsScreen::OnShown();
    waiting_ = false;
    result_ = 0;
    name_.SetText(ReadSettings().GetString(kSection, kKey));
}

void UserNameDialog::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    help_.SetSize(width, 36);
    help_.SetPosition(x, y);
    y += help_.Height() + Spacing();
    name_.SetSize(width, name_.Height());
    name_.SetPosition(x, y);
}

bool UserNameDialog::Confirm() {
    result_ = 0;
    waiting_ = true;
    network_.Login(name_.Text(), &result_);
    // The answer comes from the server; the tick closes the dialog once it is in.
    return false;
}

void UserNameDialog::OnTick() {
    if (!waiting_) return;
    const int result = result_;
    if (result == 0) return;
    waiting_ = false;
    result_ = 0;
    if (result < 0 && network_.IsConnected()) {
        ShowMessage("Error", "Name is in use, change it, please.", kShowOk);
        return;
    }
    if (result < 0) {
        // The server has gone: there is no name to try again with; the dialog closes
        // once the player has read why.
        ShowMessage("Error", network_.StatusText(), kShowOk);
        Cancel();
        return;
    }
    IniFile settings = ReadSettings();
    settings.SetValue(kSection, kKey, name_.Text(), true);
    SaveSettings(settings);
    Accept();
    SetEnabled(false);
    if (loggedIn_) loggedIn_();
}
