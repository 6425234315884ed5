#pragma once

#include <atomic>
#include <string>

#include "gui/edit_field.h"
#include "gui/label.h"
#include "gui/menu_game.h"
#include "gui/menu_state.h"
#include "gui/settings_screen.h"
#include "gui/text_list.h"

// The level choice before a race: the two players' names, the number of hits that
// wins ("Victories") and the level. "Play" stores the names and the victories in
// [General] of the settings file. A local race loads the level and lets the named
// players take part (an empty second name makes a one-player game); a network race
// asks the server to create the game and loads the level once it has.
class ChooseLevelScreen : public SettingsScreen {
public:
    ChooseLevelScreen(MenuGame& game, MenuNetwork& network, std::string configFileName);

    void SetNetworkMode(bool network) { networkMode_ = network; }
    bool NetworkMode() const { return networkMode_; }

    FramedEditField& Player1Name() { return player1Name_; }
    FramedEditField& Player2Name() { return player2Name_; }
    FramedEditField& Victories() { return victories_; }
    TextList& LevelList() { return levelList_; }

    void OnShown() override;
    void OnResized() override;
    void OnTick() override;

    static constexpr int kWidth = 420;
    static constexpr int kHeight = 330;
    // The hit limits a player may choose.
    static constexpr int kMinVictories = 1;
    static constexpr int kMaxVictories = 999;

protected:
    bool Confirm() override;

private:
    void ShowSettings();
    void FillLevelList();
    // The text for the player when the settings could not be saved, else empty.
    std::string StoreSettings(int victories) const;
    bool StartLocalGame(int victories);
    void CreateNetworkGame(int victories);
    void FollowCreate();

    MenuGame& game_;
    MenuNetwork& network_;
    bool networkMode_ = false;
    // The server's answer to a create: 1 load the level, -1 refused.
    std::atomic<int> createResult_{0};
    bool creating_ = false;
    Label player1Label_{"Player 1 name:"};
    Label player2Label_{"Player 2 name:"};
    Label victoriesLabel_{"Victories:"};
    Label levelLabel_{"Choose level:"};
    FramedEditField player1Name_{"Player1"};
    FramedEditField player2Name_{"Player2"};
    FramedEditField victories_{"10"};
    TextList levelList_;
    // Set by a failed load; the next tick tells the user, with the settings' notice.
    bool loadFailed_ = false;
    std::string saveNotice_;
};
