#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "gui/edit_field.h"
#include "gui/menu_state.h"
#include "gui/settings_screen.h"
#include "gui/text_view.h"

// The name this player goes by on a game server. OK logs in with it; the dialog stays
// up until the server answers: a name in use is refused with a message, an accepted
// one is stored as [NetSetup] ServerUserName and the dialog closes. A server that
// closes the connection instead closes the dialog after saying so.
class UserNameDialog : public SettingsScreen {
public:
    UserNameDialog(MenuNetwork& network, std::string configFileName);

    // Runs once the server has taken the name (the screen that owns the dialog moves on).
    void SetOnLoggedIn(std::function<void()> loggedIn) { loggedIn_ = std::move(loggedIn); }
    FramedEditField& Name() { return name_; }

    void OnShown() override;
    void OnResized() override;
    void OnTick() override;

    static constexpr int kWidth = 260;
    static constexpr int kHeight = 130;

protected:
    bool Confirm() override;

private:
    MenuNetwork& network_;
    TextView help_;
    FramedEditField name_{""};
    std::atomic<int> result_{0};
    bool waiting_ = false;
    std::function<void()> loggedIn_;
};
