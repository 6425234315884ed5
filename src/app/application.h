#pragma once

#include <atomic>

#include "app/config.h"
#include "app/spin_lock.h"
#include "gui/fps_label.h"
#include "gui/widget.h"

class IniFile;

// The one application object: the root of the widget tree and the owner, by value,
// of every screen and manager. Members are built in declaration order and destroyed
// in reverse.
class Application : public Widget {
public:
    Application();
    ~Application() override;

    // Start-up once the GL context exists: reads kav.ini and shows the first screen.
    void Initialize();

    // The whole frame: ticks the widget tree, then under the frame lock answers a quit
    // request and draws.
    void Draw() override;
    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnMouseMove(int, int) override {}

    void HandleCommand(const KeyBinding& command);
    void DispatchBinding(int code);

    // Safe from a signal handler: only sets a flag the next frame reads.
    void RequestQuit() { quitRequested_.store(true); }
    bool QuitRequested() const { return quitRequested_.load(); }
    SpinLock& FrameLock() { return frameLock_; }
    const KeyBindingTable& KeyBindings() const { return keyBindings_; }
    const FpsLabel& FrameRateLabel() const { return fpsLabel_; }

private:
    void ApplyConfig(const IniFile& config);
    void RunExitCommand();

    std::atomic<bool> quitRequested_{false};
    SpinLock frameLock_;
    FpsLabel fpsLabel_;
    KeyBindingTable keyBindings_;
};
