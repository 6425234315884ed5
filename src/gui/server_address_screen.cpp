#include "gui/server_address_screen.h"

#include <utility>

namespace {
const char* const kSection = "NetSetup";
const char* const kKey = "ServerAddr";
constexpr int kFieldHeight = 14;
constexpr int kHelpCellSize = 7;

// The decimal port after the colon; 0 (which no server listens on) when it is not one.
uint16_t ParsePortText(const std::string& text) {
    if (text.empty() || text.size() > 5) return 0;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value > 65535 ? 0 : static_cast<uint16_t>(value);
}
}  // namespace

ServerAddressScreen::ServerAddressScreen(MenuNetwork& network, std::string configFileName)
    : SettingsScreen(configFileName), network_(network), userName_(network, configFileName) {
    SetCaption("Server Address");
    help_.SetCellSize(kHelpCellSize);
    help_.AddText("Server name or IP address,");
    help_.AddText("then a colon and the port");
    help_.AddText("number, for example:");
    help_.AddText("localhost:4077");
    help_.SetFocusable(false);
    address_.SetHeight(kFieldHeight);
    AddClientChild(&help_);
    AddClientChild(&address_);
    AddChild(&userName_);
    userName_.SetOwner(this);
    userName_.SetVisible(false);
    userName_.SetOnLoggedIn([this] { StoreAddress(); });
    SetSize(kWidth, kHeight);
    Resize();
}

void ServerAddressScreen::OnShown() {
    SettingsScreen::OnShown();
    address_.SetText(ReadSettings().GetString(kSection, kKey));
    if (!network_.Start()) RequestClose();
}

void ServerAddressScreen::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    help_.SetSize(width, 4 * kHelpCellSize + 2);
    help_.SetPosition(x, y);
    y += help_.Height() + Spacing();
    address_.SetSize(width, address_.Height());
    address_.SetPosition(x, y);
    // The user name dialog is wider than this screen; it is centred on the screen's middle.
    userName_.SetPosition((Width() - userName_.Width()) / 2, (Height() - userName_.Height()) / 2);
}

bool ServerAddressScreen::Confirm() {
    const std::string text = address_.Text();
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        ShowMessage("Error", "You should use colon to separate address from the port number", kShowOk);
        return false;
    }
    if (!network_.ConnectTo(text.substr(0, colon), ParsePortText(text.substr(colon + 1)))) {
        ShowMessage("Error", network_.StatusText(), kShowOk);
        return false;
    }
    userName_.SetVisible(true);
    return false;
}

void ServerAddressScreen::StoreAddress() {
    if (!network_.IsConnected()) return;
    IniFile settings = ReadSettings();
    settings.SetValue(kSection, kKey, address_.Text(), true);
    SaveSettings(settings);
    Accept();
}
