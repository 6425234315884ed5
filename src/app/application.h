#pragma once

#include <atomic>
#include <string>

#include "app/config.h"
#include "game/key_bindings.h"
#include "game/debug_manager.h"
#include "base/spin_lock.h"
#include "game/game_manager.h"
#include "game/recorder_sink.h"
#include "gui/fps_label.h"
#include "gui/game_menu.h"
#include "gui/main_menu.h"
#include "gui/menu_game.h"
#include "gui/race_overlay.h"
#include "gui/widget.h"

class IniFile;

// The one application object: the root of the widget tree, the race screen with its
// overlay, and the owner, by value, of the game and of every screen. Members are
// built in declaration order and destroyed in reverse.
class Application : public Widget {
public:
    Application();
    ~Application() override;

    // Start-up once the GL context exists: reads kav.ini, scans the levels, loads the
    // menu background and shows the main menu.
    void Initialize();

    // The whole frame: ticks the widget tree, then under the frame lock answers a quit
    // request and draws the scene and the widgets.
    void Draw() override;
    void OnTick() override;
    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnMouseMove(int, int) override {}
    void OnResized() override;

    // A line for the race's message list from outside the frame (a window notice).
    void AddMessageLine(const std::string& text);

    void HandleCommand(const KeyBinding& command);
    void DispatchBinding(int code);

    // Safe from a signal handler: only sets a flag the next frame reads.
    void RequestQuit() { quitRequested_.store(true); }
    bool QuitRequested() const { return quitRequested_.load(); }
    SpinLock& FrameLock() { return frameLock_; }
    GameManager& Game() { return game_; }
    const KeyBindingTable& KeyBindings() const { return keyBindings_; }
    const FpsLabel& FrameRateLabel() const { return fpsLabel_; }

private:
    void ApplyConfig(const IniFile& config);
    void ApplyKeys(const IniFile& config);
    void RunExitCommand();
    void EndRace();
    void StartLocalRaceFromButton();
    void DrawScene();

    std::atomic<bool> quitRequested_{false};
    SpinLock frameLock_;
    RaceOverlay overlay_;
    GameManager game_;
    FpsLabel fpsLabel_;
    KeyBindingTable keyBindings_;
    GameManagerMenuGame menuGame_;
    NoMenuNetwork menuNetwork_;
    MainMenu mainMenu_;
    GameMenu gameMenu_;
    RecorderSink recorderSink_;
};

// What a replayed dump drives: the application's widgets take the mouse and keys
// (under the frame lock), its players the recorded updates.
class ApplicationReplay : public ReplayTarget {
public:
    explicit ApplicationReplay(Application& app) : app_(app) {}
    SpinLock& FrameLock() override { return app_.FrameLock(); }
    void MouseMove(int x, int y) override;
    void KeyDown(int code) override;
    void KeyUp(int code) override;
    void ApplyPlayerUpdate(const uint8_t* data, size_t size) override;
    void ResetGameTimer() override;

private:
    Application& app_;
};
