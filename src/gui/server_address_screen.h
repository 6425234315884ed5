#pragma once

#include <string>

#include "gui/edit_field.h"
#include "gui/hosted_server.h"
#include "gui/menu_state.h"
#include "gui/recent_servers.h"
#include "gui/settings_screen.h"
#include "gui/sound_button.h"
#include "gui/text_list.h"
#include "gui/text_view.h"
#include "gui/user_name_dialog.h"

// A game server reached by a typed "host:port". OK connects and asks for the user
// name; once the server has taken it the address is stored as [NetSetup] ServerAddr,
// put first in the recent addresses listed under the field (a click there fills the
// field in), and the screen is accepted.
//
// "Host" starts a game server of this player's own (`HostedServer`) and, once it
// says where it listens, connects to it as if "localhost:PORT" had been typed. That
// address changes with every server, so it is neither stored nor listed.
class ServerAddressScreen : public SettingsScreen {
public:
    ServerAddressScreen(MenuNetwork& network, HostedServer& hosting, std::string configFileName);

    FramedEditField& Address() { return address_; }
    UserNameDialog& UserName() { return userName_; }
    SoundButton& HostButton() { return host_; }
    TextList& Recent() { return recentList_; }

    void OnShown() override;
    void OnHidden() override;
    void OnResized() override;
    void OnKeyUp(KeyEvent* event) override;
    void OnTick() override;

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

protected:
    bool Confirm() override;

private:
    void StoreAddress();
    void FollowHosting();
    void StopHosting();
    void FillRecent();
    bool IsHostedAddress(const std::string& text) const;

    MenuNetwork& network_;
    HostedServer& hosting_;
    TextView help_;
    FramedEditField address_{""};
    TextList recentList_;
    SoundButton host_{"Host"};
    UserNameDialog userName_;
    RecentServers recent_;
    bool hostStarting_ = false;
};
