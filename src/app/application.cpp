#include "app/application.h"

#include <cstdlib>

#include "app/clock.h"
#include "app/ini_file.h"
#include "app/report.h"
#include "app/opengl_hints.h"
#include "effects/sound_manager.h"
#include "platform/window.h"
#include "scene/frame.h"

namespace {
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 240;
}  // namespace

Application::Application() : fpsLabel_(NowMs()) {
    SetMinSize(kMinWidth, kMinHeight);
    AddChild(&fpsLabel_);
    fpsLabel_.SetSize(120, 16);
    fpsLabel_.SetPosition(4, 4);
    fpsLabel_.SetFocusable(false);
}

Application::~Application() = default;

void Application::Initialize() {
    IniFile config(kConfigFileName);
    ApplyConfig(config);
}

void Application::ApplyConfig(const IniFile& config) {
    ReadKeyBindings(config, keyBindings_);
    {
        SpinLockGuard frame(frameLock_);
        ApplyOpenGlHints(ReadOpenGlHints(config));
    }
    ReadLogSwitches(config);
    ReadSoundConfig(config);
}

void Application::Draw() {
    Tick();
    SpinLockGuard frame(frameLock_);
    if (QuitRequested()) HandleCommand(KeyBinding{kCommandExit, -1, kBindingCommand, 0, false});
    const FrameLayout layout{PixelRect{0, 0, WindowWidth(), WindowHeight()}, WindowWidth(), WindowHeight()};
    DrawFrame(layout, [] {}, [this] {
        DrawSelf();
        DrawChildren();
    });
}

void Application::OnKeyDown(KeyEvent* event) {
    if (event->code < 0 || event->code >= kKeyBindingCount) return;
    keyBindings_[event->code].pressed = true;
    // Tab always shows the score, whatever [Keys] binds to it.
    if (event->code == kKeyTab) HandleCommand(KeyBinding{kCommandShowScore, -1, kBindingCommand, 0, true});
    DispatchBinding(event->code);
}

void Application::OnKeyUp(KeyEvent* event) {
    if (event->code < 0 || event->code >= kKeyBindingCount) return;
    keyBindings_[event->code].pressed = false;
    DispatchBinding(event->code);
}

void Application::DispatchBinding(int code) {
    if (code < 0 || code >= kKeyBindingCount) return;
    const KeyBinding& binding = keyBindings_[code];
    if (binding.kind == kBindingCommand) HandleCommand(binding);
}

void Application::HandleCommand(const KeyBinding& command) {
    switch (command.command) {
        case kCommandExit:
            RunExitCommand();
            break;
        default:
            break;
    }
}

void Application::RunExitCommand() {
    // Ends the process here; the exit handler shuts sound and the log down.
    std::exit(0);
}
