#pragma once

#include <string>

#include "gui/edit_field.h"
#include "gui/menu_state.h"
#include "gui/settings_screen.h"
#include "gui/text_view.h"
#include "gui/user_name_dialog.h"

// A game server reached by a typed "host:port". OK connects and asks for the user
// name; once the server has taken it the address is stored as [NetSetup] ServerAddr
// and the screen is accepted.
class ServerAddressScreen : public SettingsScreen {
public:
    ServerAddressScreen(MenuNetwork& network, std::string configFileName);

    FramedEditField& Address() { return address_; }
    UserNameDialog& UserName() { return userName_; }

    void OnShown() override;
    void OnResized() override;

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

protected:
    bool Confirm() override;

private:
    void StoreAddress();

    MenuNetwork& network_;
    TextView help_;
    FramedEditField address_{""};
    UserNameDialog userName_;
};
