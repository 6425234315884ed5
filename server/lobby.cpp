#include "server/lobby.h"

#include <algorithm>

#include "base/report.h"
#include "net/frame.h"
#include "server/names.h"

namespace {

constexpr int32_t kMaxPlayersPerGame = 16;
constexpr int32_t kMaxVictories = 1000;
constexpr size_t kSlotByteOffset = 1;  // the player id inside a player update

std::vector<uint8_t> MakeFrame(MessageKind kind, const Payload& payload) {
    std::vector<uint8_t> frame;
    AppendFrame(frame, ToByte(kind), payload.data(), payload.size());
    return frame;
}

}  // namespace

Lobby::Lobby(ClientOutput& output, const LobbySettings& settings) : output_(output), settings_(settings) {}

void Lobby::Connect(ClientId client, const std::string& address, int64_t now) {
    Client& entry = clients_[client];
    entry.address = address;
    entry.connectedAt = now;
}

void Lobby::Disconnect(ClientId id, int64_t now) {
    auto found = clients_.find(id);
    if (found == clients_.end()) return;
    const Client client = found->second;
    clients_.erase(found);
    if (client.loggedIn) Report(LogModule::kServer, LogLevel::kInfo, "User %s disconnected", client.name.c_str());
    if (client.game == 0) return;
    auto game = games_.find(client.game);
    if (game == games_.end()) return;
    for (auto& slot : game->second.slots) {
        if (!slot || slot->owner != id) continue;
        slot->owner = 0;
        slot->formerOwner = id;
        slot->userName = client.name;
        slot->address = client.address;
        slot->waitingSince = now;
    }
    Report(LogModule::kServer, LogLevel::kInfo, "Players of %s wait in game %d for a rejoin", client.name.c_str(),
           client.game);
    // The dropped client can no longer hold back a start that everyone else is ready for.
    StartIfAllReady(game->second);
}

void Lobby::Receive(ClientId id, uint8_t kind, const uint8_t* payload, size_t size, int64_t now) {
    auto found = clients_.find(id);
    if (found == clients_.end()) return;
    Client& client = found->second;
    const MessageKind message = static_cast<MessageKind>(kind);

    // Before logging in a client may only log in, rejoin a race it lost the
    // connection to, or ping (the directory checks a server's reachability that way).
    switch (message) {
        case MessageKind::kLogin: return OnLogin(id, client, payload, size);
        case MessageKind::kPing: return OnPing(id, payload, size, now);
        case MessageKind::kJoinGame: return OnJoin(id, client, payload, size);
        default: break;
    }
    if (!client.loggedIn) return;
    switch (message) {
        case MessageKind::kChat: return OnChat(client, payload, size, now);
        case MessageKind::kPlayerUpdate: return OnUpdate(id, client, payload, size);
        case MessageKind::kCreateGame: return OnCreate(id, client, payload, size);
        case MessageKind::kReady: return OnReady(id, client);
        case MessageKind::kLeaveGame: return OnLeave(id, client);
        case MessageKind::kListGames: return OnList(id);
        case MessageKind::kClockReport: return OnClockReport(client, payload, size, now);
        default: return;  // kinds a client never sends are skipped, like the client skips ours
    }
}

void Lobby::Tick(int64_t now) {
    std::vector<ClientId> late;
    for (const auto& [id, client] : clients_) {
        if (!client.loggedIn && now - client.connectedAt >= settings_.loginTimeoutMs) late.push_back(id);
    }
    for (ClientId id : late) {
        Report(LogModule::kServer, LogLevel::kWarning, "No log in from %s in time, connection closed",
               clients_[id].address.c_str());
        clients_.erase(id);
        output_.Close(id);
    }

    std::vector<std::pair<int32_t, ClientId>> expired;
    for (const auto& [gameId, game] : games_) {
        for (const auto& slot : game.slots) {
            if (slot && slot->owner == 0 && now - slot->waitingSince >= settings_.rejoinWaitMs) {
                expired.emplace_back(gameId, slot->formerOwner);
            }
        }
    }
    for (const auto& [gameId, former] : expired) {
        auto game = games_.find(gameId);
        if (game == games_.end()) continue;
        FreeSlots(game->second, former, true);
        AfterDeparture(gameId);
    }
}

size_t Lobby::PlayerCount() const {
    size_t count = 0;
    for (const auto& entry : games_) count += Occupied(entry.second);
    return count;
}

void Lobby::OnLogin(ClientId id, Client& client, const uint8_t* payload, size_t size) {
    std::string raw;
    const std::string name = DecodeText(payload, size, raw) ? CleanName(raw) : std::string();
    if (client.loggedIn || name.empty() || NameInUse(name)) {
        Report(LogModule::kServer, LogLevel::kInfo, "Log in refused from %s", client.address.c_str());
        return SendStatus(id, MessageKind::kLogin, kStatusRefused);
    }
    client.loggedIn = true;
    client.name = name;
    Report(LogModule::kServer, LogLevel::kInfo, "User %s logged in from %s", name.c_str(), client.address.c_str());
    SendStatus(id, MessageKind::kLogin, kStatusAccepted);
}

void Lobby::OnList(ClientId id) {
    for (const auto& entry : games_) {
        if (IsValidGameRecord(entry.second.record))
            Send(id, MessageKind::kListGames, EncodeGameRecord(entry.second.record));
    }
}

void Lobby::OnCreate(ClientId id, Client& client, const uint8_t* payload, size_t size) {
    CreateRequest request;
    const bool decoded = DecodeCreateRequest(payload, size, request);
    const GameRecord& asked = request.game;
    const auto names = decoded ? CleanNames(request.names) : std::nullopt;
    if (!decoded || client.game != 0 || asked.max_players < 1 || asked.max_players > kMaxPlayersPerGame ||
        asked.victories < 1 || asked.victories > kMaxVictories || asked.level_name.empty() || !names ||
        names->size() > static_cast<size_t>(asked.max_players)) {
        Report(LogModule::kServer, LogLevel::kInfo, "Game creation refused for %s", client.name.c_str());
        return SendStatus(id, MessageKind::kCreateGame, kStatusRefused);
    }
    const int32_t gameId = NewGameId();
    Game& game = games_[gameId];
    game.record = asked;
    game.record.game_id = gameId;
    if (game.record.title.empty()) game.record.title = client.name + "'s game";
    game.slots.resize(static_cast<size_t>(asked.max_players));
    Report(LogModule::kServer, LogLevel::kInfo, "Game %d \"%s\" on %s created by %s", gameId, game.record.title.c_str(),
           asked.level_name.c_str(), client.name.c_str());
    CreateReply reply;
    reply.status = kStatusAccepted;
    reply.game_id = gameId;
    Send(id, MessageKind::kCreateGame, EncodeCreateReply(reply));
    Seat(id, client, game, *names);
}

void Lobby::OnJoin(ClientId id, Client& client, const uint8_t* payload, size_t size) {
    JoinRequest request;
    if (!DecodeJoinRequest(payload, size, request)) return SendStatus(id, MessageKind::kJoinGame, kStatusRefused);
    if (request.rejoin) return OnRejoin(id, client, request.game_id);
    auto game = games_.find(request.game_id);
    const auto names = CleanNames(request.names);
    const size_t free = game == games_.end() ? 0 : game->second.slots.size() - Occupied(game->second);
    if (!client.loggedIn || client.game != 0 || !names || names->size() > free) {
        Report(LogModule::kServer, LogLevel::kInfo, "Join of game %d refused for %s", request.game_id,
               client.address.c_str());
        return SendStatus(id, MessageKind::kJoinGame, kStatusRefused);
    }
    SendJoinReply(id, game->second);
    Seat(id, client, game->second, *names);
}

void Lobby::OnRejoin(ClientId id, Client& client, int32_t gameId) {
    auto game = games_.find(gameId);
    std::optional<ClientId> former;
    if (!client.loggedIn && game != games_.end()) {
        // Players from the rejoining address come first: they are most likely its own.
        for (const auto& slot : game->second.slots) {
            if (!slot || slot->owner != 0) continue;
            if (!former || slot->address == client.address) former = slot->formerOwner;
            if (slot->address == client.address) break;
        }
    }
    if (!former) {
        Report(LogModule::kServer, LogLevel::kInfo, "Rejoin of game %d refused for %s", gameId, client.address.c_str());
        return SendStatus(id, MessageKind::kJoinGame, kStatusRefused);
    }
    for (auto& slot : game->second.slots) {
        if (!slot || slot->owner != 0 || slot->formerOwner != *former) continue;
        slot->owner = id;
        client.name = slot->userName;
    }
    client.loggedIn = true;
    client.game = gameId;
    Report(LogModule::kServer, LogLevel::kInfo, "User %s rejoined game %d from %s", client.name.c_str(), gameId,
           client.address.c_str());
    SendJoinReply(id, game->second);
    SendRoster(id, game->second);
}

void Lobby::OnChat(Client& client, const uint8_t* payload, size_t size, int64_t now) {
    if (now - client.chatWindowStart >= settings_.chatWindowMs) {
        client.chatWindowStart = now;
        client.chatLines = 0;
    }
    if (++client.chatLines > settings_.chatLinesPerWindow) {
        if (client.chatLines == settings_.chatLinesPerWindow + 1) {
            Report(LogModule::kServer, LogLevel::kWarning, "Chat of %s dropped: too many lines", client.name.c_str());
        }
        return;
    }
    const std::vector<uint8_t> frame =
        MakeFrame(MessageKind::kChat, EncodeChat(OwnChatLine(client.name, DecodeChat(payload, size))));
    for (const auto& [otherId, other] : clients_) {
        if (other.loggedIn && other.game == client.game) output_.Send(otherId, frame);
    }
}

void Lobby::OnReady(ClientId id, Client& client) {
    auto game = games_.find(client.game);
    if (game == games_.end()) return;
    client.ready = true;
    // A client that comes back to a race already running starts at once.
    if (game->second.started) return Send(id, MessageKind::kReady, {});
    StartIfAllReady(game->second);
}

void Lobby::OnUpdate(ClientId id, const Client& client, const uint8_t* payload, size_t size) {
    auto game = games_.find(client.game);
    if (game == games_.end()) return;
    const auto& slots = game->second.slots;
    if (!IsWellSizedPlayerUpdate(payload, size)) {
        Report(LogModule::kServer, LogLevel::kWarning, "Player update of %zu bytes from %s dropped", size,
               client.name.c_str());
        return;
    }
    const size_t slot = payload[kSlotByteOffset];
    if (slot >= slots.size() || !slots[slot]) {
        Report(LogModule::kServer, LogLevel::kWarning, "Player update for slot %zu from %s dropped", slot,
               client.name.c_str());
        return;
    }
    std::vector<uint8_t> frame;
    AppendFrame(frame, ToByte(MessageKind::kPlayerUpdate), payload, size);
    for (ClientId member : Members(game->second)) {
        if (member != id) output_.Send(member, frame);
    }
}

void Lobby::OnLeave(ClientId id, Client& client) {
    auto game = games_.find(client.game);
    if (game == games_.end()) return;
    const int32_t gameId = client.game;
    client.game = 0;
    client.ready = false;
    Report(LogModule::kServer, LogLevel::kInfo, "User %s left game %d", client.name.c_str(), gameId);
    FreeSlots(game->second, id, false);
    AfterDeparture(gameId);
}

void Lobby::OnPing(ClientId id, const uint8_t* payload, size_t size, int64_t now) {
    PingReply reply;
    if (!DecodeInt(payload, size, reply.client_time)) return;
    reply.server_time = static_cast<int32_t>(now);
    Send(id, MessageKind::kPing, EncodePingReply(reply));
}

void Lobby::OnClockReport(const Client& client, const uint8_t* payload, size_t size, int64_t now) {
    int32_t estimate = 0;
    if (!DecodeInt(payload, size, estimate)) return;
    const int64_t difference = static_cast<int64_t>(estimate) - static_cast<int32_t>(now);
    Report(LogModule::kServer, LogLevel::kInfo, "Clock report from %s: %d, %lld ms from the server clock",
           client.name.c_str(), estimate, static_cast<long long>(difference));
}

bool Lobby::NameInUse(const std::string& name) const {
    for (const auto& entry : clients_) {
        if (entry.second.loggedIn && SameName(entry.second.name, name)) return true;
    }
    // A user whose connection dropped keeps the name while the players wait for the rejoin.
    for (const auto& entry : games_) {
        for (const auto& slot : entry.second.slots) {
            if (slot && slot->owner == 0 && SameName(slot->userName, name)) return true;
        }
    }
    return false;
}

std::optional<std::vector<std::string>> Lobby::CleanNames(const std::vector<std::string>& raw) const {
    if (raw.empty()) return std::nullopt;
    std::vector<std::string> names;
    for (const std::string& name : raw) {
        names.push_back(CleanName(name));
        if (names.back().empty()) return std::nullopt;
    }
    return names;
}

int32_t Lobby::NewGameId() {
    do {
        lastGameId_ = lastGameId_ == INT32_MAX ? 1 : lastGameId_ + 1;
    } while (games_.count(lastGameId_) != 0);
    return lastGameId_;
}

void Lobby::Seat(ClientId id, Client& client, Game& game, const std::vector<std::string>& names) {
    client.game = game.record.game_id;
    client.ready = false;
    for (const std::string& name : names) {
        auto free = std::find_if(game.slots.begin(), game.slots.end(), [](const auto& slot) { return !slot; });
        Slot slot;
        slot.name = name;
        slot.owner = id;
        *free = slot;
        PlayerJoined joined;
        joined.slot = static_cast<uint8_t>(free - game.slots.begin());
        joined.name = name;
        SendToMembers(game, MessageKind::kPlayerJoined, EncodePlayerJoined(joined), id);
    }
    Report(LogModule::kServer, LogLevel::kInfo, "User %s joined game %d with %zu players", client.name.c_str(),
           client.game, names.size());
    SendRoster(id, game);
}

void Lobby::SendJoinReply(ClientId id, const Game& game) {
    JoinReply reply;
    reply.status = kStatusAccepted;
    reply.game = game.record;
    Send(id, MessageKind::kJoinGame, EncodeJoinReply(reply));
}

void Lobby::SendRoster(ClientId id, const Game& game) {
    for (size_t i = 0; i < game.slots.size(); ++i) {
        if (!game.slots[i]) continue;
        PlayerJoined joined;
        joined.slot = static_cast<uint8_t>(i);
        joined.name = game.slots[i]->name;
        joined.flag = game.slots[i]->owner == id ? 1 : 0;
        Send(id, MessageKind::kPlayerJoined, EncodePlayerJoined(joined));
    }
}

void Lobby::FreeSlots(Game& game, ClientId owner, bool waiting) {
    std::vector<uint8_t> freed;
    for (size_t i = 0; i < game.slots.size(); ++i) {
        auto& slot = game.slots[i];
        if (!slot || (waiting ? slot->owner != 0 || slot->formerOwner != owner : slot->owner != owner)) continue;
        if (waiting)
            Report(LogModule::kServer, LogLevel::kInfo, "Player %s did not come back in time", slot->name.c_str());
        slot.reset();
        freed.push_back(static_cast<uint8_t>(i));
    }
    // Only now: a leaver still holding a later slot would otherwise hear of its own first.
    for (uint8_t slot : freed) SendToMembers(game, MessageKind::kPlayerLeft, EncodeByte(slot), 0);
}

void Lobby::AfterDeparture(int32_t gameId) {
    auto found = games_.find(gameId);
    if (found == games_.end()) return;
    Game& game = found->second;
    if (Occupied(game) == 0) {
        Report(LogModule::kServer, LogLevel::kInfo, "Game %d removed", gameId);
        games_.erase(found);
        return;
    }
    if (game.started && Occupied(game) < 2) {
        Report(LogModule::kServer, LogLevel::kInfo, "Game %d is over: too few players", gameId);
        game.started = false;
        SendToMembers(game, MessageKind::kLeaveGame, {}, 0);
        return;
    }
    StartIfAllReady(game);
}

void Lobby::StartIfAllReady(Game& game) {
    if (game.started || Occupied(game) < 2) return;
    const std::vector<ClientId> members = Members(game);
    if (members.empty()) return;
    for (ClientId member : members) {
        if (!clients_[member].ready) return;
    }
    game.started = true;
    Report(LogModule::kServer, LogLevel::kInfo, "Game %d started with %zu players", game.record.game_id,
           Occupied(game));
    SendToMembers(game, MessageKind::kReady, {}, 0);
}

size_t Lobby::Occupied(const Game& game) {
    return static_cast<size_t>(
        std::count_if(game.slots.begin(), game.slots.end(), [](const auto& slot) { return slot.has_value(); }));
}

// Every member client holds at least one slot, so the slots name the members without
// a walk over all clients (the relay runs this for every player update).
std::vector<ClientId> Lobby::Members(const Game& game) {
    std::vector<ClientId> members;
    for (const auto& slot : game.slots) {
        if (slot && slot->owner != 0 && std::find(members.begin(), members.end(), slot->owner) == members.end()) {
            members.push_back(slot->owner);
        }
    }
    return members;
}

void Lobby::Send(ClientId id, MessageKind kind, const Payload& payload) { output_.Send(id, MakeFrame(kind, payload)); }

void Lobby::SendToMembers(const Game& game, MessageKind kind, const Payload& payload, ClientId except) {
    const std::vector<uint8_t> frame = MakeFrame(kind, payload);
    for (ClientId member : Members(game)) {
        if (member != except) output_.Send(member, frame);
    }
}

void Lobby::SendStatus(ClientId id, MessageKind kind, uint8_t status) { Send(id, kind, EncodeByte(status)); }
