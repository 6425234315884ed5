#pragma once

#include <atomic>
#include <string>

#include "gui/edit_field.h"
#include "gui/hosted_server.h"
#include "gui/label.h"
#include "gui/menu_game.h"
#include "gui/menu_state.h"
#include "gui/player_names_dialog.h"
#include "gui/screen.h"
#include "gui/sound_button.h"
#include "gui/text_list.h"
#include "gui/text_list_lines.h"

// The lobby of a game server: the games there are to join (on levels installed here),
// the chat with the other players in it and its input line. "Create" (OK) accepts the
// screen, which leads to the level choice; "Join" asks for the local players' names and
// joins the chosen game, loading its level once the server lets us in. Cancel leaves
// the server, and stops it when this game hosts it. A hosted server is announced in
// the chat with the addresses other players on the network can type.
class InServerScreen : public Screen {
public:
    InServerScreen(MenuGame& game, MenuNetwork& network, HostedServer& hosting, std::string configFileName);

    TextList& Games() { return games_; }
    TextList& Chat() { return chat_; }
    LineList& GamesLines() { return gamesLines_; }
    LineList& ChatLines() { return chatLines_; }
    FramedEditField& ChatInput() { return chatInput_; }
    SoundButton& JoinButton() { return join_; }
    PlayerNamesDialog& PlayerNames() { return playerNames_; }
    // A game was joined and its level loaded: the menus go to the race.
    bool JoinedGame() const { return joined_; }

    void Apply() override;
    void KeyUp(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnShown() override;
    void OnResized() override;
    void OnTick() override;

    static constexpr int kWidth = 460;
    static constexpr int kHeight = 360;

private:
    void Join(const std::vector<std::string>& names);

    MenuGame& game_;
    MenuNetwork& network_;
    HostedServer& hosting_;
    Label gamesLabel_{"Available games"};
    TextList games_;
    TextListLines gamesLines_{games_};
    Label chatLabel_{"Chat"};
    TextList chat_;
    TextListLines chatLines_{chat_};
    FramedEditField chatInput_{""};
    SoundButton join_{"Join"};
    PlayerNamesDialog playerNames_;
    std::atomic<int> result_{0};
    bool joining_ = false;
    bool joined_ = false;
};
