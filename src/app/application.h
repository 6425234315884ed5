#pragma once

#include <atomic>
#include <string>

#include "app/config.h"
#include "game/key_bindings.h"
#include "game/debug_manager.h"
#include "base/main_thread_queue.h"
#include "effects/effect_services.h"
#include "effects/particle_system_manager.h"
#include "effects/sound_manager.h"
#include "game/game_manager.h"
#include "game/network_session.h"
#include "game/pad_bindings.h"
#include "game/recorder_sink.h"
#include "gui/client_menu_network.h"
#include "gui/fps_label.h"
#include "gui/game_menu.h"
#include "gui/main_menu.h"
#include "gui/menu_game.h"
#include "gui/race_overlay.h"
#include "gui/widget.h"
#include "scene/texture_manager.h"

class IniFile;

// The one application object: the root of the widget tree, the race screen with its
// overlay, and the owner, by value, of the sound, particle and texture services, of
// the game and of every screen. Members are built in declaration order and destroyed
// in reverse, so the services outlive everyone who borrows them.
class Application : public Widget {
public:
    Application();
    ~Application() override;

    // Start-up once the GL context exists: reads kav.ini, scans the levels, loads the
    // menu background and shows the main menu.
    void Initialize();

    // One frame, after the window has handed the waiting input events to the widgets:
    // the actions other threads queued and a quit request, the game step, the widget
    // ticks, then the scene and the widgets are drawn.
    void Draw() override;
    void OnTick() override;
    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnMouseMove(int, int) override {}
    void PadInput(const PadEvent& event) override;
    void PadConnected(int pad, bool connected) override;
    void OnResized() override;

    // A recording is replayed from now on: its updates drive the players, and the menus
    // offer no network games.
    void EnterReplay();
    // A local race of two players on the catalogue's level in `directory` ("data/canyon"),
    // without the menus; false when there is no such level or it does not load.
    bool StartLocalRace(const std::string& directory);
    // A line for the race's message list from the window layer (a notice), between frames.
    void AddMessageLine(const std::string& text);

    void HandleCommand(const KeyBinding& command);
    void DispatchBinding(int code);

    // Safe from a signal handler: only sets a flag the next frame reads.
    void RequestQuit() { quitRequested_.store(true); }
    bool QuitRequested() const { return quitRequested_.load(); }
    // Where other threads queue what they want done to the game and the widgets.
    MainThreadQueue& MainThread() { return mainThread_; }
    // Closes the queue and joins the threads that feed it, and stops the game server
    // this game hosts; before the process ends.
    void StopThreads();
    GameManager& Game() { return game_; }
    SoundManager& Sound() { return sound_; }
    NetworkSession& Network() { return network_; }
    const KeyBindingTable& KeyBindings() const { return keyBindings_; }
    const FpsLabel& FrameRateLabel() const { return fpsLabel_; }

private:
    void ApplyConfig(const IniFile& config);
    void ApplyKeys(const IniFile& config);
    void FollowMenuChoices();
    void PadMenuKey(Widget* menu, int code, bool pressed);
    void RunExitCommand();
    void EndRace();
    void StartRaceFromButton();
    void RunQueuedActions();
    void StepGame();
    void StartLocalRace();
    void DrawScene();

    EffectServices Services() { return {sound_, particles_, textures_}; }

    SoundManager sound_;
    ParticleSystemManager particles_;
    TextureManager textures_;
    std::atomic<bool> quitRequested_{false};
    MainThreadQueue mainThread_;
    RaceOverlay overlay_;
    GameManager game_;
    FpsLabel fpsLabel_;
    KeyBindingTable keyBindings_;
    PadRouter padRouter_;
    GameManagerMenuGame menuGame_;
    NetworkSession network_;
    ClientMenuNetwork menuNetwork_;
    MainMenu mainMenu_;
    GameMenu gameMenu_;
    RecorderSink recorderSink_;
};

// What a replayed dump drives: the application's widgets take the mouse and keys, its
// players the recorded updates, each on the main thread between two frames.
class ApplicationReplay : public ReplayTarget {
public:
    explicit ApplicationReplay(Application& app) : app_(app) {}
    bool RunOnMainThread(std::function<void()> action) override;
    void MouseMove(int x, int y) override;
    void KeyDown(int code) override;
    void KeyUp(int code) override;
    void ApplyPlayerUpdate(const uint8_t* data, size_t size) override;
    void ResetGameTimer() override;
    void SetGameTimer(int32_t ms) override;

private:
    Application& app_;
};
