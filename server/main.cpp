#include <asio.hpp>
#include <cstdio>
#include <memory>

#include "base/report.h"
#include "server/announcer.h"
#include "server/bot.h"
#include "server/directory_host.h"
#include "server/game_host.h"
#include "server/server_config.h"

namespace {

void PrintListening(const std::string& host, int port) {
    std::printf("listening %s %d\n", host.c_str(), port);
    std::fflush(stdout);
}

}  // namespace

// kav-server: hosts network games for KAV and/or the directory that lists such
// servers. Standard output carries only the "listening HOST PORT" lines that scripts
// wait for (the game server's first); the log goes to its file and to standard error.
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
    if (line.bots > 0) {
        const int status = RunBots(line.bots, line.connect);
        ReportShutdown();
        return status;
    }
    const auto fail = [](const std::string& message) {
        Report(LogModule::kServer, LogLevel::kError, "%s", message.c_str());
        ReportShutdown();
        return 1;
    };

    asio::io_context io;
    std::unique_ptr<GameHost> game;
    std::unique_ptr<DirectoryHost> directory;
    std::unique_ptr<Announcer> announcer;
    if (config.gameRole) {
        game = std::make_unique<GameHost>(io, config);
        if (!game->Start(error)) return fail(error);
        PrintListening(game->ListenHost(), game->ListenPort());
    }
    if (config.directoryRole) {
        directory = std::make_unique<DirectoryHost>(io, config);
        if (!directory->Start(error)) return fail(error);
        PrintListening(directory->ListenHost(), directory->ListenPort());
    }
    if (game && !config.announceTo.empty()) {
        const Lobby& lobby = game->GetLobby();
        announcer = std::make_unique<Announcer>(io, config, game->ListenPort(), [&lobby] {
            return std::to_string(lobby.GameCount()) + "/" + std::to_string(lobby.PlayerCount());
        });
        if (!announcer->Start(error)) return fail(error);
    }

    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](const asio::error_code& ec, int number) {
        if (ec) return;
        Report(LogModule::kServer, LogLevel::kInfo, "Signal %d: stopping", number);
        if (game) game->Stop();
        if (directory) directory->Stop();
        if (announcer) return announcer->Withdraw([&io] { io.stop(); });
        io.stop();
    });
    io.run();
    Report(LogModule::kServer, LogLevel::kInfo, "Server stopped");
    ReportShutdown();
    return 0;
}
