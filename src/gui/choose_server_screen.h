#pragma once

#include <string>

#include "gui/label.h"
#include "gui/menu_state.h"
#include "gui/settings_screen.h"
#include "gui/sound_button.h"
#include "gui/text_list.h"
#include "gui/text_list_lines.h"
#include "gui/user_name_dialog.h"

// The game servers of the server directory. "Connect" connects to the chosen one and
// asks for the user name; the screen is accepted once the server has taken it.
class ChooseServerScreen : public SettingsScreen {
public:
    ChooseServerScreen(MenuNetwork& network, std::string configFileName);

    TextList& ServerList() { return serverList_; }
    LineList& ServerLines() { return serverLines_; }
    SoundButton& RefreshButton() { return refresh_; }
    UserNameDialog& UserName() { return userName_; }

    void OnShown() override;
    void OnResized() override;
    void OnKeyUp(KeyEvent* event) override;

    static constexpr int kWidth = 420;
    static constexpr int kHeight = 300;

protected:
    bool Confirm() override;

private:
    MenuNetwork& network_;
    Label listLabel_{"Choose server:"};
    TextList serverList_;
    TextListLines serverLines_{serverList_};
    SoundButton refresh_{"Refresh"};
    UserNameDialog userName_;
};
