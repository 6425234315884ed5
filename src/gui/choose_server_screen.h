#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "gui/label.h"
#include "gui/menu_state.h"
#include "gui/settings_screen.h"
#include "gui/sound_button.h"
#include "gui/text_list.h"
#include "gui/user_name_dialog.h"
#include "net/network_game.h"

// The game servers of the server directory, with their live status and ping. The rows
// stay while a refresh runs and the new list replaces them when it is in; a server
// of another version is shown greyed and cannot be joined. "Connect" connects to the
// chosen one and asks for the user name; the screen is accepted once the server has
// taken it.
class ChooseServerScreen : public SettingsScreen, public ServerBrowserView {
public:
    ChooseServerScreen(MenuNetwork& network, std::string configFileName);

    TextList& ServerList() { return serverList_; }
    SoundButton& RefreshButton() { return refresh_; }
    SoundButton& SortButton() { return sort_; }
    UserNameDialog& UserName() { return userName_; }
    const Label& Status() const { return status_; }
    const std::vector<ServerRow>& Rows() const { return rows_; }

    void ShowServers(const std::vector<ServerRow>& rows, bool cached) override;
    void ShowPing(const std::string& host, uint16_t port, int pingMs) override;
    void ShowListFailed(const std::string& text) override;

    void OnShown() override;
    void OnResized() override;
    void OnKeyUp(KeyEvent* event) override;
    void OnTick() override;

    static constexpr int kWidth = 460;
    static constexpr int kHeight = 300;

protected:
    bool Confirm() override;

private:
    void Refresh();
    // Fills the list from the rows, in ping order when asked, keeping the chosen server.
    void ShowRows();

    MenuNetwork& network_;
    Label listLabel_{"Choose server:"};
    TextList serverList_;
    Label status_{""};
    SoundButton refresh_{"Refresh"};
    SoundButton sort_{"By ping"};
    UserNameDialog userName_;
    std::vector<ServerRow> rows_;
    bool sortByPing_ = false;
    // A connect runs on the client thread; the tick takes its result.
    bool connecting_ = false;
    std::atomic<int> connectResult_{0};
};
