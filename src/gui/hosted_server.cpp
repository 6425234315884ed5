#include "gui/hosted_server.h"

#include <sstream>
#include <utility>

#include "base/report.h"
#include "net/address.h"

HostedServer::HostedServer(std::string program, std::function<int64_t()> clock)
    : program_(std::move(program)), clock_(std::move(clock)) {}

void HostedServer::Start() {
    Stop();
    failure_.clear();
    std::string error;
    // Port 0: the system picks a free one, which the server then names.
    if (!child_.Start(program_, {"--port", "0"}, error)) {
        Fail("Could not start the game server " + program_ + ": " + error);
        return;
    }
    Report(LogModule::kGui, LogLevel::kInfo, "Starting the game server %s", program_.c_str());
    state_ = State::kStarting;
    deadline_ = clock_() + kStartTimeLimitMs;
}

HostedServer::State HostedServer::Poll() {
    if (state_ != State::kStarting) return state_;
    std::string line;
    for (;;) {
        const ChildProcess::Output output = child_.ReadLine(line);
        if (output == ChildProcess::Output::kLine) {
            if (TakeListeningLine(line)) return state_;
            continue;
        }
        if (output == ChildProcess::Output::kTooLong) {
            Fail("The game server wrote something else than where it listens");
            return state_;
        }
        break;
    }
    // A server whose output closed while it runs on is given until the deadline too.
    std::string how;
    if (child_.HasExited(how)) {
        Fail("The game server " + how + " before it was ready");
    } else if (clock_() >= deadline_) {
        Fail("The game server did not say where it listens within " + std::to_string(kStartTimeLimitMs / 1000) +
             " seconds");
    }
    return state_;
}

bool HostedServer::TakeListeningLine(const std::string& line) {
    std::istringstream words(line);
    std::string first;
    std::string host;
    std::string portText;
    std::string extra;
    uint16_t port = 0;
    if (!(words >> first >> host >> portText) || (words >> extra) || first != "listening" || !ParsePort(portText, port))
        return false;
    port_ = port;
    announced_ = false;
    state_ = State::kListening;
    Report(LogModule::kGui, LogLevel::kInfo, "Hosting a game server on port %d", static_cast<int>(port));
    return true;
}

bool HostedServer::TakeNewlyListening() {
    if (state_ != State::kListening || announced_) return false;
    announced_ = true;
    return true;
}

void HostedServer::Fail(const std::string& why) {
    child_.Stop();
    Report(LogModule::kGui, LogLevel::kError, "%s", why.c_str());
    failure_ = why;
    state_ = State::kFailed;
}

void HostedServer::Stop() {
    if (child_.Running()) Report(LogModule::kGui, LogLevel::kInfo, "Stopping the game server");
    child_.Stop();
    state_ = State::kIdle;
    port_ = 0;
}

std::vector<std::string> HostedServer::AnnouncementLines(const std::vector<std::string>& addresses) const {
    const std::string port = ":" + std::to_string(port_);
    if (addresses.empty()) return {"Hosting on localhost" + port};
    std::vector<std::string> lines;
    for (const std::string& address : addresses) {
        const bool v6 = address.find(':') != std::string::npos;
        lines.push_back("Hosting on " + (v6 ? "[" + address + "]" : address) + port);
    }
    return lines;
}
