#include "server/bot.h"

#include <chrono>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "base/clock.h"
#include "base/report.h"
#include "net/frame.h"
#include "server/server_config.h"

namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(500);
constexpr auto kPingInterval = std::chrono::milliseconds(1000);
constexpr auto kPingPause = std::chrono::milliseconds(60000);
constexpr size_t kOutLimit = 1 << 20;
constexpr uint8_t kBulletLoaded = 1 << 4;  // the short update: no bullet in flight

int64_t NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutFloat(std::vector<uint8_t>& out, size_t at, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(out, at, bits);
}

uint32_t GetU32(const std::vector<uint8_t>& in, size_t at) {
    return static_cast<uint32_t>(in[at]) | static_cast<uint32_t>(in[at + 1]) << 8 |
           static_cast<uint32_t>(in[at + 2]) << 16 | static_cast<uint32_t>(in[at + 3]) << 24;
}

}  // namespace

Bot::Bot(asio::io_context& io, BotSettings settings)
    : io_(io), settings_(std::move(settings)), socket_(io), timer_(io), pingTimer_(io), out_(kOutLimit) {}

void Bot::Start() {
    asio::error_code ec;
    const asio::ip::address address = asio::ip::make_address(settings_.host, ec);
    if (ec) return Fail("needs a numeric server address");
    socket_.async_connect({address, static_cast<uint16_t>(settings_.port)}, [this](const asio::error_code& connected) {
        if (connected) return Fail("could not connect");
        asio::error_code ignored;
        socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
        state_ = State::kLoggingIn;
        Send(MessageKind::kLogin, EncodeText(settings_.name));
        ReadHead();
    });
}

void Bot::Stop() {
    state_ = State::kStopped;
    timer_.cancel();
    pingTimer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

void Bot::Fail(const char* what) {
    if (state_ == State::kStopped) return;
    Report(LogModule::kServer, LogLevel::kWarning, "Bot %s stops: %s", settings_.name.c_str(), what);
    Stop();
}

void Bot::ReadHead() {
    asio::async_read(socket_, asio::buffer(head_), [this](const asio::error_code& ec, size_t) {
        if (ec) return Fail("connection lost");
        const size_t length = static_cast<size_t>(head_[0] | head_[1] << 8);
        if (length < kFrameHeadSize) return Fail("bad frame from the server");
        payload_.resize(length - kFrameHeadSize);
        asio::async_read(socket_, asio::buffer(payload_), [this](const asio::error_code& body, size_t) {
            if (body) return Fail("connection lost");
            Handle(head_[2], payload_);
            if (state_ != State::kStopped) ReadHead();
        });
    });
}

void Bot::Handle(uint8_t kind, const std::vector<uint8_t>& payload) {
    const uint8_t* data = payload.data();
    const size_t size = payload.size();
    switch (static_cast<MessageKind>(kind)) {
        case MessageKind::kLogin: {
            uint8_t status = kStatusRefused;
            if (!DecodeByte(data, size, status) || status == kStatusRefused) return Fail("name refused");
            return settings_.role == BotSettings::Role::kCreate ? Create() : Look();
        }
        case MessageKind::kListGames: {
            GameRecord game;
            if (state_ == State::kLooking && DecodeGameRecord(data, size, game)) OnGameListed(game);
            return;
        }
        case MessageKind::kCreateGame: {
            CreateReply reply;
            if (!DecodeCreateReply(data, size, reply) || reply.status == kStatusRefused) return Fail("game refused");
            state_ = State::kWaiting;
            return;
        }
        case MessageKind::kJoinGame: {
            JoinReply reply;
            if (!DecodeJoinReply(data, size, reply) || reply.status == kStatusRefused) {
                refused_.push_back(tried_);
                return Look();
            }
            state_ = State::kWaiting;
            return Send(MessageKind::kReady);  // a bot has no level to load
        }
        case MessageKind::kPlayerJoined: {
            PlayerJoined joined;
            if (!DecodePlayerJoined(data, size, joined)) return;
            if (joined.flag == 1) slot_ = joined.slot;
            // The creator is ready once someone races with it.
            if (++players_ == 2 && creator_) Send(MessageKind::kReady);
            return;
        }
        case MessageKind::kReady: return EnterRace();
        case MessageKind::kPlayerLeft: --players_; return;
        case MessageKind::kLeaveGame: return LeaveRace();
        case MessageKind::kPlayerUpdate:
            if (settings_.onRelayed && size >= 6) {
                settings_.onRelayed(static_cast<int64_t>(static_cast<uint32_t>(NowMicros()) - GetU32(payload, 2)));
            }
            return;
        default: return;  // chat and ping replies: nothing to do for a bot
    }
}

void Bot::Send(MessageKind kind, const Payload& payload) {
    std::vector<uint8_t> frame;
    AppendFrame(frame, ToByte(kind), payload.data(), payload.size());
    if (!out_.Append(frame)) return Fail("the server does not read");
    Write();
}

void Bot::Write() {
    const std::vector<uint8_t>* block = out_.StartWrite();
    if (block == nullptr) return;
    asio::async_write(socket_, asio::buffer(*block), [this](const asio::error_code& ec, size_t) {
        out_.WriteDone();
        if (ec) return Fail("connection lost");
        Write();
    });
}

// Asks for the list and looks at what came in half a second later.
void Bot::Look() {
    state_ = State::kLooking;
    creator_ = false;
    players_ = 0;
    slot_ = -1;
    Send(MessageKind::kListGames);
    timer_.expires_after(kLookInterval);
    timer_.async_wait([this](const asio::error_code& ec) {
        if (ec || state_ != State::kLooking) return;
        // Nothing took the bot: a lone bot opens a game of its own, a partner looks again.
        if (settings_.role == BotSettings::Role::kJoinAny) {
            refused_.clear();
            return Create();
        }
        Look();
    });
}

void Bot::OnGameListed(const GameRecord& game) {
    if (std::find(refused_.begin(), refused_.end(), game.game_id) != refused_.end()) return;
    if (settings_.role == BotSettings::Role::kJoin && game.title != settings_.partner + "'s game") return;
    state_ = State::kWaiting;
    timer_.cancel();
    tried_ = game.game_id;
    JoinRequest request;
    request.game_id = game.game_id;
    request.names = {settings_.name};
    Send(MessageKind::kJoinGame, EncodeJoinRequest(request));
}

void Bot::Create() {
    state_ = State::kWaiting;
    creator_ = true;
    players_ = 0;
    CreateRequest request;
    request.game.max_players = 2;
    request.game.victories = settings_.victories;
    request.game.level_name = settings_.level;
    request.game.checksum = settings_.levelChecksum;
    request.names = {settings_.name};
    Send(MessageKind::kCreateGame, EncodeCreateRequest(request));
}

void Bot::EnterRace() {
    if (state_ == State::kRacing || slot_ < 0) return;
    state_ = State::kRacing;
    raceStart_ = NowMs();
    distance_ = 0;
    pings_ = 0;
    SendUpdate();
    SchedulePing(kPingInterval);
}

void Bot::SchedulePing(std::chrono::milliseconds wait) {
    pingTimer_.expires_after(wait);
    pingTimer_.async_wait([this](const asio::error_code& ec) {
        if (ec || state_ != State::kRacing) return;
        Send(MessageKind::kPing, EncodeInt(static_cast<int32_t>(NowMs())));
        // Ten pings a second apart, then a minute's pause, as the game does.
        SchedulePing(++pings_ % 10 == 0 ? kPingPause : kPingInterval);
    });
}

void Bot::SendUpdate() {
    if (state_ != State::kRacing) return;
    if (NowMs() - raceStart_ >= settings_.raceMs) {
        Send(MessageKind::kLeaveGame);
        return LeaveRace();
    }
    // A ship cruising along the path: speed 20, one edge every 10 units.
    distance_ += 20.0f / settings_.updatesPerSecond;
    std::vector<uint8_t> update(kPlayerUpdateShortSize, 0);
    update[0] = kBulletLoaded;
    update[1] = static_cast<uint8_t>(slot_);
    PutU32(update, 2, settings_.onRelayed ? static_cast<uint32_t>(NowMicros()) : static_cast<uint32_t>(NowMs()));
    PutU16(update, 6, static_cast<uint16_t>(static_cast<int>(distance_ / 10.0f) % 50));
    PutFloat(update, 8, 20.0f);
    PutFloat(update, 12, distance_ - 10.0f * static_cast<int>(distance_ / 10.0f));
    PutFloat(update, 16, 0.0f);
    Send(MessageKind::kPlayerUpdate, update);
    timer_.expires_after(std::chrono::microseconds(1000000 / settings_.updatesPerSecond));
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) SendUpdate();
    });
}

void Bot::LeaveRace() {
    if (state_ == State::kStopped) return;
    timer_.cancel();
    pingTimer_.cancel();
    refused_.clear();
    if (settings_.role == BotSettings::Role::kCreate) return Create();
    Look();
}

int RunBots(int count, const std::string& hostPort) {
    BotSettings base;
    if (!SplitHostPort(hostPort, base.host, base.port)) {
        Report(LogModule::kServer, LogLevel::kError, "Bots need --connect HOST:PORT, not %s", hostPort.c_str());
        return 2;
    }
    asio::io_context io;
    std::vector<std::unique_ptr<Bot>> bots;
    for (int i = 0; i < count; ++i) {
        BotSettings settings = base;
        settings.name = "Bot " + std::to_string(i + 1);
        const bool lastOfOdd = i == count - 1 && count % 2 == 1;
        settings.role = lastOfOdd    ? BotSettings::Role::kJoinAny
                        : i % 2 == 0 ? BotSettings::Role::kCreate
                                     : BotSettings::Role::kJoin;
        settings.partner = "Bot " + std::to_string(i);
        bots.push_back(std::make_unique<Bot>(io, settings));
        bots.back()->Start();
    }
    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](const asio::error_code& ec, int) {
        if (ec) return;
        for (auto& bot : bots) bot->Stop();
        io.stop();
    });
    io.run();
    return 0;
}
