#include "gui/server_address_screen.h"

#include <algorithm>
#include <utility>

#include "net/address.h"

namespace {
const char* const kSection = "NetSetup";
const char* const kKey = "ServerAddr";
constexpr int kFieldHeight = 14;
constexpr int kHelpCellSize = 7;
constexpr int kHostWidth = 70;
constexpr int kHostHeight = 24;
}  // namespace

ServerAddressScreen::ServerAddressScreen(MenuNetwork& network, HostedServer& hosting, std::string configFileName)
    : SettingsScreen(configFileName), network_(network), hosting_(hosting), userName_(network, configFileName) {
    SetCaption("Server Address");
    help_.SetCellSize(kHelpCellSize);
    help_.AddText("Server name or IP address,");
    help_.AddText("then a colon and the port");
    help_.AddText("number, for example:");
    help_.AddText("localhost:4077");
    help_.SetFocusable(false);
    address_.SetHeight(kFieldHeight);
    recentList_.View().SetCellSize(kHelpCellSize);
    recentList_.SetRowsSelectable(true);
    recentList_.SetHorizontalScrolling(false);
    AddClientChild(&help_);
    AddClientChild(&address_);
    AddClientChild(&recentList_);
    AddClientChild(&host_);
    AddChild(&userName_);
    userName_.SetOwner(this);
    userName_.SetVisible(false);
    userName_.SetOnLoggedIn([this] { StoreAddress(); });
    SetSize(kWidth, kHeight);
    Resize();
}

void ServerAddressScreen::OnShown() {
    SettingsScreen::OnShown();
    const IniFile settings = ReadSettings();
    address_.SetText(settings.GetString(kSection, kKey));
    recent_ = RecentServers::Read(settings);
    FillRecent();
    if (!network_.Start()) RequestClose();
}

// Leaving without a connection leaves nothing for a hosted server to do.
void ServerAddressScreen::OnHidden() {
    if (!IsAccepted()) StopHosting();
}

void ServerAddressScreen::StopHosting() {
    hosting_.Stop();
    hostStarting_ = false;
    host_.SetEnabled(true);
}

void ServerAddressScreen::FillRecent() {
    recentList_.Clear();
    for (const std::string& address : recent_.Addresses()) recentList_.AddText(address);
    recentList_.SetSelectedRow(-1);
}

void ServerAddressScreen::OnKeyUp(KeyEvent*) {
    if (!host_.Clicked()) return;
    host_.SetClicked(false);
    hosting_.Start();
    hostStarting_ = true;
    // One server at a time: the button waits for this one's outcome.
    host_.SetEnabled(false);
}

void ServerAddressScreen::OnTick() {
    if (hostStarting_) FollowHosting();
    // A row acts as a button: the same one can fill the field in again after an edit.
    const int row = recentList_.SelectedRow();
    if (row < 0) return;
    recentList_.SetSelectedRow(-1);
    if (row >= static_cast<int>(recent_.Addresses().size())) return;
    address_.SetText(recent_.Addresses()[static_cast<size_t>(row)]);
    address_.SetCursorColumn(static_cast<int>(address_.Text().size()));
}

void ServerAddressScreen::FollowHosting() {
    const HostedServer::State state = hosting_.Poll();
    if (state == HostedServer::State::kStarting) return;
    hostStarting_ = false;
    host_.SetEnabled(true);
    if (state != HostedServer::State::kListening) {
        ShowMessage("Error", hosting_.Failure(), kShowOk);
        return;
    }
    address_.SetText(hosting_.LocalAddress());
    Confirm();
}

bool ServerAddressScreen::IsHostedAddress(const std::string& text) const {
    return hosting_.GetState() == HostedServer::State::kListening && text == hosting_.LocalAddress();
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
    y += address_.Height() + Spacing();
    // The recent addresses fill the rest, beside the Host button.
    const int listWidth = width - kHostWidth - Spacing();
    recentList_.SetSize(listWidth, std::max(kHelpCellSize, ClientPanel().Client().bottom - MarginY() - y));
    recentList_.SetPosition(x, y);
    host_.SetSize(kHostWidth, kHostHeight);
    host_.SetPosition(x + listWidth + Spacing(), y);
    // The user name dialog is wider than this screen; it is centred on the screen's middle.
    userName_.SetPosition((Width() - userName_.Width()) / 2, (Height() - userName_.Height()) / 2);
}

bool ServerAddressScreen::Confirm() {
    const std::string text = address_.Text();
    // Another server now: the hosted one would only wait for players who never come.
    if (!IsHostedAddress(text)) StopHosting();
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        ShowMessage("Error", "You should use colon to separate address from the port number", kShowOk);
        return false;
    }
    // A port that is not one stays 0, which no server listens on: the connect says so.
    std::string host = text.substr(0, colon);
    uint16_t port = 0;
    ParsePort(text.substr(colon + 1), port);
    // An IPv6 address in brackets ("[fd00::2]:4077", as a hosted game's lobby names it)
    // has colons of its own.
    if (text[0] == '[') SplitHostPort(text, 0, host, port);
    if (!network_.ConnectTo(host, port)) {
        ShowMessage("Error", network_.StatusText(), kShowOk);
        return false;
    }
    userName_.SetVisible(true);
    return false;
}

void ServerAddressScreen::StoreAddress() {
    if (!network_.IsConnected()) return;
    if (!IsHostedAddress(address_.Text())) {
        IniFile settings = ReadSettings();
        settings.SetValue(kSection, kKey, address_.Text(), true);
        recent_.Add(address_.Text());
        recent_.Write(settings);
        SaveSettings(settings);
    }
    Accept();
}
