#include <benchmark/benchmark.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "net/frame.h"
#include "net/protocol.h"
#include "server/bot.h"
#include "server/server_process.h"

// Relay latency of kav-server under load: 256 bot clients in 128 two-player games,
// each sending 30 updates a second over loopback, against a bare relay that forwards
// the same frames between fixed pairs without looking at them. Also the server's CPU
// time over the run and its memory per idle logged-in client.

namespace {

constexpr int kClients = 256;
constexpr int kUpdatesPerSecond = 30;
const auto kLoadTime = std::chrono::seconds(20);

int64_t NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Latencies {
public:
    void Add(int64_t micros) {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.push_back(micros);
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.clear();
    }
    void Report(benchmark::State& state) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (samples_.empty()) return state.SkipWithError("no update came through");
        std::sort(samples_.begin(), samples_.end());
        state.counters["p50_us"] = static_cast<double>(samples_[samples_.size() / 2]);
        state.counters["p99_us"] = static_cast<double>(samples_[samples_.size() * 99 / 100]);
        state.counters["updates"] = static_cast<double>(samples_.size());
    }

private:
    std::mutex mutex_;
    std::vector<int64_t> samples_;
};

// kav-server as a child process on a free loopback port.
class ServerProcess {
public:
    ServerProcess() {
        char config[] = "/tmp/kav-bench-XXXXXX";
        const int fd = mkstemp(config);
        const std::string text = "[Limits]\nMaxPerAddress=100000\nMaxConnections=100000\n";
        if (fd < 0) return;
        const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        configFile_ = config;
        if (!written) return;
        program_ = std::make_unique<Program>(
            KAV_SERVER_PATH,
            std::vector<std::string>{"--config", configFile_, "--listen", "127.0.0.1", "--port", "0", "--log", ""});
        const std::string line = program_->FirstLine();
        if (line.rfind("listening ", 0) == 0) port_ = std::stoi(line.substr(line.rfind(' ') + 1));
    }
    ~ServerProcess() {
        if (program_) program_->Terminate();
        if (!configFile_.empty()) unlink(configFile_.c_str());
    }
    int Port() const { return port_; }
    // Resident memory in KiB.
    long RssKiB() const {
        std::ifstream status("/proc/" + std::to_string(program_->Pid()) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
        }
        return 0;
    }
    // User and system CPU time in seconds.
    double CpuSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(program_->Pid()) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long utime = 0;
        long stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) utime = std::stol(field);
            if (i == 15) stime = std::stol(field);
        }
        return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
    }

private:
    std::string configFile_;
    std::unique_ptr<Program> program_;
    int port_ = 0;
};

// Runs `io` for the load time on a client thread.
void RunFor(asio::io_context& io, std::chrono::seconds time) {
    asio::steady_timer stop(io);
    stop.expires_after(time);
    stop.async_wait([&io](const asio::error_code&) { io.stop(); });
    io.run();
    io.restart();
}

void BM_ServerRelay(benchmark::State& state) {
    for (auto _ : state) {
        ServerProcess server;
        if (server.Port() == 0) return state.SkipWithError("kav-server did not start");
        Latencies latencies;
        asio::io_context io;
        std::vector<std::unique_ptr<Bot>> bots;
        for (int i = 0; i < kClients; ++i) {
            BotSettings settings;
            settings.port = server.Port();
            settings.name = "Bot " + std::to_string(i + 1);
            settings.role = i % 2 == 0 ? BotSettings::Role::kCreate : BotSettings::Role::kJoin;
            settings.partner = "Bot " + std::to_string(i);
            settings.updatesPerSecond = kUpdatesPerSecond;
            settings.raceMs = 3600 * 1000;
            settings.onRelayed = [&latencies](int64_t micros) { latencies.Add(micros); };
            bots.push_back(std::make_unique<Bot>(io, settings));
            bots.back()->Start();
        }
        // Pairing up takes the joiners a few looks at the list; measure once all race.
        RunFor(io, std::chrono::seconds(3));
        latencies.Clear();
        const double cpuBefore = server.CpuSeconds();
        RunFor(io, kLoadTime);
        state.counters["server_cpu_percent"] = 100.0 * (server.CpuSeconds() - cpuBefore) / kLoadTime.count();
        state.counters["racing_bots"] =
            static_cast<double>(std::count_if(bots.begin(), bots.end(), [](const auto& bot) { return bot->Racing(); }));
        state.counters["server_rss_kib"] = static_cast<double>(server.RssKiB());
        for (auto& bot : bots) bot->Stop();
        latencies.Report(state);
    }
}

// The bare relay: connection 2k and 2k+1 are partners; bytes go across unread.
class BareRelay {
public:
    explicit BareRelay(asio::io_context& io) : acceptor_(io, {asio::ip::make_address("127.0.0.1"), 0}) { Accept(); }
    int Port() const { return acceptor_.local_endpoint().port(); }

private:
    struct Link {
        explicit Link(asio::ip::tcp::socket s) : socket(std::move(s)) {}
        asio::ip::tcp::socket socket;
        std::shared_ptr<Link> partner;
        uint8_t buffer[4096];
    };
    void Accept() {
        acceptor_.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
            if (ec) return;
            socket.set_option(asio::ip::tcp::no_delay(true));
            auto link = std::make_shared<Link>(std::move(socket));
            if (waiting_) {
                link->partner = waiting_;
                waiting_->partner = link;
                Pump(link);
                Pump(waiting_);
                waiting_.reset();
            } else {
                waiting_ = link;
            }
            links_.push_back(link);
            Accept();
        });
    }
    void Pump(const std::shared_ptr<Link>& link) {
        link->socket.async_read_some(asio::buffer(link->buffer),
                                     [this, link](const asio::error_code& ec, size_t count) {
                                         if (ec) return;
                                         asio::error_code ignored;
                                         asio::write(link->partner->socket, asio::buffer(link->buffer, count), ignored);
                                         Pump(link);
                                     });
    }
    asio::ip::tcp::acceptor acceptor_;
    std::shared_ptr<Link> waiting_;
    std::vector<std::shared_ptr<Link>> links_;
};

// A client of the bare relay with the bots' rate and frame size.
class RawClient {
public:
    RawClient(asio::io_context& io, int port, Latencies& latencies) : socket_(io), timer_(io), latencies_(latencies) {
        socket_.connect({asio::ip::make_address("127.0.0.1"), static_cast<uint16_t>(port)});
        socket_.set_option(asio::ip::tcp::no_delay(true));
        Read();
    }
    void StartSending() { Send(); }

private:
    void Send() {
        std::vector<uint8_t> update(kPlayerUpdateShortSize, 0);
        update[0] = 1 << 4;
        const uint32_t stamp = static_cast<uint32_t>(NowMicros());
        for (int i = 0; i < 4; ++i) update[2 + i] = static_cast<uint8_t>(stamp >> (8 * i));
        frame_.clear();
        AppendFrame(frame_, ToByte(MessageKind::kPlayerUpdate), update.data(), update.size());
        asio::error_code ignored;
        asio::write(socket_, asio::buffer(frame_), ignored);
        timer_.expires_after(std::chrono::microseconds(1000000 / kUpdatesPerSecond));
        timer_.async_wait([this](const asio::error_code& ec) {
            if (!ec) Send();
        });
    }
    void Read() {
        socket_.async_read_some(asio::buffer(buffer_), [this](const asio::error_code& ec, size_t count) {
            if (ec) return;
            received_.insert(received_.end(), buffer_, buffer_ + count);
            FrameHead head;
            while (CheckFrame(received_.data(), received_.size(), head) == FrameStatus::kFrame) {
                uint32_t stamp = 0;
                for (int i = 0; i < 4; ++i) stamp |= static_cast<uint32_t>(received_[5 + i]) << (8 * i);
                latencies_.Add(static_cast<int64_t>(static_cast<uint32_t>(NowMicros()) - stamp));
                received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(head.length));
            }
            Read();
        });
    }
    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    Latencies& latencies_;
    std::vector<uint8_t> frame_;
    std::vector<uint8_t> received_;
    uint8_t buffer_[4096];
};

void BM_BareEchoRelay(benchmark::State& state) {
    for (auto _ : state) {
        asio::io_context relayIo;
        BareRelay relay(relayIo);
        std::thread relayThread([&relayIo] {
            auto guard = asio::make_work_guard(relayIo);
            relayIo.run();
        });
        Latencies latencies;
        asio::io_context io;
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int i = 0; i < kClients; ++i) clients.push_back(std::make_unique<RawClient>(io, relay.Port(), latencies));
        for (auto& client : clients) client->StartSending();
        RunFor(io, std::chrono::seconds(3));
        latencies.Clear();
        RunFor(io, kLoadTime);
        clients.clear();
        relayIo.stop();
        relayThread.join();
        latencies.Report(state);
    }
}

// Memory the server holds for each connected, logged-in client that does nothing.
void BM_ServerIdleClientMemory(benchmark::State& state) {
    for (auto _ : state) {
        ServerProcess server;
        if (server.Port() == 0) return state.SkipWithError("kav-server did not start");
        asio::io_context io;
        std::vector<asio::ip::tcp::socket> sockets;
        // Warm the server up with one client so its first allocations do not count.
        const auto logIn = [&](int i) {
            sockets.emplace_back(io);
            sockets.back().connect({asio::ip::make_address("127.0.0.1"), static_cast<uint16_t>(server.Port())});
            std::vector<uint8_t> frame;
            const Payload name = EncodeText("Idle " + std::to_string(i));
            AppendFrame(frame, ToByte(MessageKind::kLogin), name.data(), name.size());
            asio::write(sockets.back(), asio::buffer(frame));
            uint8_t reply[4];
            asio::read(sockets.back(), asio::buffer(reply));
        };
        logIn(0);
        const long before = server.RssKiB();
        for (int i = 1; i <= kClients; ++i) logIn(i);
        const long after = server.RssKiB();
        state.counters["kib_per_idle_client"] = static_cast<double>(after - before) / kClients;
    }
}

}  // namespace

BENCHMARK(BM_ServerRelay)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_BareEchoRelay)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ServerIdleClientMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
