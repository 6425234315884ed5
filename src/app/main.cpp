#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/application.h"
#include "app/benchmark.h"
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

// Also run when the exit command ends the process from inside the frame: the
// application is then never destroyed, but sound is still closed properly.
void OnExit() {
    if (application != nullptr) application->Sound().Shutdown();
    ReportShutdown();
}

// A fatal report (always on the main thread) ends the process: the replay thread is
// joined first, as on every other way out.
void OnFatal() {
    if (application != nullptr) application->StopThreads();
    DefaultFatalHandler();
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
    SetFatalHandler(OnFatal);
    EnsureDefaultConfig();

    // Large and long-lived: on the heap, owned here, destroyed before main returns.
    auto app = std::make_unique<Application>();
    int status = 0;
    application = app.get();
    WindowSettings windowSettings(kConfigFileName, [&app](const std::string& text) { app->AddMessageLine(text); });
    const WindowMode mode =
        windowSettings.Load(WindowMode{std::max(640, app->MinWidth()), std::max(480, app->MinHeight()), false},
                            app->MinWidth(), app->MinHeight());
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
            if (argc == 3 && std::strcmp(argv[1], "--benchmark") == 0) {
                status = RunBenchmark(*app, argv[2]);
            } else {
                if (DebugOpenFromCommandLine(argc, argv)) {
                    app->EnterReplay();
                    StartReplayThread(replay);
                }
                MainLoop();
            }
        } catch (...) {
            std::fputs("Something went very wrong. Good-bye.\n", stdout);
            ReportShutdown();
        }
        app->StopThreads();
        SetWindowListener(nullptr);
    }
    application = nullptr;
    app.reset();
    return status;
}
