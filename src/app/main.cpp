#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/config.h"
#include "app/window_settings.h"
#include "game/debug_manager.h"
#include "base/report.h"
#include "effects/sound_manager.h"
#include "game/player_manager.h"
#include "platform/window.h"

namespace {

Application* application = nullptr;

void OnSignal(int) {
    if (application != nullptr) application->RequestQuit();
}

void OnExit() {
    SoundShutdown();
    ReportShutdown();
}

void InstallSignalHandlers() {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
#ifdef SIGBREAK
    std::signal(SIGBREAK, OnSignal);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    ReportInit("kav.log");
    InstallSignalHandlers();
    std::atexit(OnExit);
    EnsureDefaultConfig();

    // Large and long-lived: on the heap, owned here, destroyed before main returns.
    auto app = std::make_unique<Application>();
    application = app.get();
    WindowSettings windowSettings(kConfigFileName, [&app](const std::string& text) { app->AddMessageLine(text); });
    const WindowMode mode = windowSettings.Load(
        WindowMode{std::max(640, app->MinWidth()), std::max(480, app->MinHeight()), false}, app->MinWidth(),
        app->MinHeight());
    app->SetSize(mode.width, mode.height);
    app->SetPosition(20, 50);

    if (!CreateGLWindow("KAV", app.get(), 16, false)) {
        std::fputs("Could not create glut window\n", stdout);
    } else {
        SetWindowListener(&windowSettings);
        if (mode.fullscreen) SetFullscreen(true);
        ApplicationReplay replay(*app);
        try {
            app->Initialize();
            if (DebugOpenFromCommandLine(argc, argv)) {
                // The dump's player updates drive the ships now, not live controls.
                app->Game().Players().SetReplaying(true);
                StartReplayThread(replay);
            }
            MainLoop();
        } catch (...) {
            std::fputs("Something went very wrong. Good-bye.\n", stdout);
            ReportShutdown();
        }
        StopReplayThread();
        SetWindowListener(nullptr);
    }
    application = nullptr;
    app.reset();
    return 0;
}
