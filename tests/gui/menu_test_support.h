#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <tuple>
#include <vector>

#include "app/config.h"
#include "gui/button.h"
#include "gui/menu_game.h"
#include "gui/menu_state.h"
#include "gui/screen.h"
#include "support/temp_dir.h"
#include "widget_driving.h"

using Participant = std::tuple<int, std::string, bool>;  // id, name, local

class FakeMenuGame : public MenuGame {
public:
    const std::vector<LevelEntry>& Levels() const override { return levels; }
    bool SelectLevel(int index) override {
        if (index < 0 || index >= static_cast<int>(levels.size())) return false;
        selected = index;
        return true;
    }
    void SetHitLimit(int maxHits) override { hitLimit = maxHits; }
    bool LoadLevel() override {
        ++loads;
        return loadSucceeds;
    }
    void AddParticipant(int id, const std::string& name, bool local) override {
        participants.emplace_back(id, name, local);
    }
    void SetNetworkGame(bool) override {}
    void ShowRaceMessage(const std::string& line) override { raceMessages.push_back(line); }

    std::vector<LevelEntry> levels{{"Canyon", "data/canyon", "data/canyon/canyon.ini", 2, 0},
                                   {"Twin Orbit", "data/twin_orbit", "data/twin_orbit/level.ini", 4, 0}};
    bool loadSucceeds = true;
    int selected = -1;
    int hitLimit = 0;
    int loads = 0;
    std::vector<Participant> participants;
    std::vector<std::string> raceMessages;
};

// The game-server client as the menus see it, answering at once: it records what it is
// asked, and its connects succeed while `answers`.
class RecordingMenuNetwork : public MenuNetwork {
public:
    bool IsConnected() const override { return connected; }
    void RequestServerListRefresh() override { ++refreshes; }
    bool Start() override { return ++starts > 0; }
    bool ConnectTo(const std::string& host, uint16_t port) override {
        typed.push_back(host + " " + std::to_string(port));
        return connected = answers;
    }
    std::string StatusText() const override { return status; }
    void Login(const std::string& name, std::atomic<int>* result) override {
        loginName = name;
        loginResult = result;
    }
    void JoinGame(int, std::atomic<int>* result, const std::vector<std::string>& names) override {
        joinNames = names;
        joinResult = result;
    }
    void LeaveServer() override { connected = false; }
    void SendChat(const std::string& text) override { chat.push_back(text); }

    bool connected = false;
    bool answers = true;
    int refreshes = 0;
    int starts = 0;
    std::string status = "Could not connect to the server";
    std::vector<std::string> typed;  // "host port" of each connect
    std::string loginName;
    std::atomic<int>* loginResult = nullptr;
    std::vector<std::string> joinNames;
    std::atomic<int>* joinResult = nullptr;
    std::vector<std::string> chat;
};

// A screen mounted in a 640 x 480 `root`, which ticks it and lets it close itself.
inline void MountScreen(Widget& root, Screen& screen, int x, int y, int width, int height) {
    Mount(root, screen, x, y, width, height);
    screen.SetOwner(&root);
    screen.Resize();
}

// kav.ini with its default content, in a directory of its own.
class ConfigCopy {
public:
    ConfigCopy() { dir_.Write("kav.ini", kDefaultConfigText); }
    std::string Path() const { return dir_.File("kav.ini"); }
    std::string Text() const { return dir_.Read("kav.ini"); }
    void Write(const std::string& text) const { dir_.Write("kav.ini", text); }

private:
    TempDir dir_;
};

// The screen's message box is up with this caption and text.
inline ::testing::AssertionResult ShowsMessage(Screen& screen, const std::string& caption, const std::string& text) {
    MessageBox& box = screen.Message();
    if (!box.IsVisible()) return ::testing::AssertionFailure() << "no message is shown";
    std::string shown;
    for (const std::string& line : LinesOf(box.Text().View())) shown += line;
    if (box.Caption().Text() != caption || shown != text)
        return ::testing::AssertionFailure() << "shown: \"" << box.Caption().Text() << "\": \"" << shown << "\"";
    return ::testing::AssertionSuccess();
}
