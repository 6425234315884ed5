#include <asio.hpp>
#include <cstdio>
#include <memory>

#include "base/report.h"
#include "server/game_host.h"
#include "server/server_config.h"

// kav-server: hosts network games for KAV. Standard output carries only the
// "listening HOST PORT" line that scripts wait for; the log goes to its file and to
// standard error.
int main(int argc, char** argv) {
    ServerConfig config;
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, line, config, error)) {
        std::fprintf(stderr, "kav-server: %s\n%s", error.c_str(), UsageText().c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (line.printDefaultConfig) {
        std::fputs(DefaultConfigText().c_str(), stdout);
        return 0;
    }

    SetReportConsole(stderr, true);
    ReportInit(config.logFile.empty() ? nullptr : config.logFile.c_str());

    asio::io_context io;
    std::unique_ptr<GameHost> game;
    if (config.gameRole) {
        game = std::make_unique<GameHost>(io, config);
        if (!game->Start(error)) {
            Report(kServer, kError, "%s", error.c_str());
            ReportShutdown();
            return 1;
        }
        std::printf("listening %s %d\n", game->ListenHost().c_str(), game->ListenPort());
        std::fflush(stdout);
    }

    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](const asio::error_code& ec, int number) {
        if (ec) return;
        Report(kServer, kInfo, "Signal %d: stopping", number);
        if (game) game->Stop();
        io.stop();
    });
    io.run();
    Report(kServer, kInfo, "Server stopped");
    ReportShutdown();
    return 0;
}
