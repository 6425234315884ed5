#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "net/protocol.h"
#include "server/client_output.h"

struct LobbySettings {
    int64_t loginTimeoutMs = 10000;  // a connection that has not logged in by then is closed
    int64_t rejoinWaitMs = 60000;    // how long a dropped client's players wait for a rejoin
    int chatLinesPerWindow = 5;      // chat lines a client may send per window; more are dropped
    int64_t chatWindowMs = 5000;
};

// The game server's rules: users, the lobby, games and races. It knows nothing of
// sockets: the host hands it each decoded frame with the time, and it answers through
// a ClientOutput. Clients are numbered by the host, never 0.
class Lobby {
public:
    Lobby(ClientOutput& output, const LobbySettings& settings);

    void Connect(ClientId client, const std::string& address, int64_t now);
    // The connection dropped (not a leave): the client's players wait for a rejoin.
    // Unknown clients are ignored, so a host may report a drop twice.
    void Disconnect(ClientId client, int64_t now);
    void Receive(ClientId client, uint8_t kind, const uint8_t* payload, size_t size, int64_t now);
    // Closes connections that did not log in in time and removes players whose wait ran out.
    void Tick(int64_t now);

    size_t GameCount() const { return games_.size(); }
    size_t PlayerCount() const;
    size_t ClientCount() const { return clients_.size(); }

private:
    struct Client {
        std::string address;
        int64_t connectedAt = 0;
        bool loggedIn = false;
        std::string name;
        int32_t game = 0;  // 0: in the lobby
        bool ready = false;
        int64_t chatWindowStart = 0;
        int chatLines = 0;
    };
    struct Slot {
        std::string name;
        ClientId owner = 0;  // 0 while the player waits for its client to rejoin
        // Kept for the rejoin: who brought the player and from where.
        ClientId formerOwner = 0;
        std::string userName;
        std::string address;
        int64_t waitingSince = 0;
    };
    struct Game {
        GameRecord record;
        std::vector<std::optional<Slot>> slots;  // one per place, in slot order
        bool started = false;
    };

    void OnLogin(ClientId id, Client& client, const uint8_t* payload, size_t size);
    void OnList(ClientId id);
    void OnCreate(ClientId id, Client& client, const uint8_t* payload, size_t size);
    void OnJoin(ClientId id, Client& client, const uint8_t* payload, size_t size);
    void OnRejoin(ClientId id, Client& client, int32_t gameId);
    void OnChat(Client& client, const uint8_t* payload, size_t size, int64_t now);
    void OnReady(ClientId id, Client& client);
    void OnUpdate(ClientId id, const Client& client, const uint8_t* payload, size_t size);
    void OnLeave(ClientId id, Client& client);
    void OnPing(ClientId id, const uint8_t* payload, size_t size, int64_t now);
    void OnClockReport(const Client& client, const uint8_t* payload, size_t size, int64_t now);

    bool NameInUse(const std::string& name) const;
    std::optional<std::vector<std::string>> CleanNames(const std::vector<std::string>& raw) const;
    int32_t NewGameId();
    // Seats `names` for `id` in the first free slots and sends the roster.
    void Seat(ClientId id, Client& client, Game& game, const std::vector<std::string>& names);
    void SendJoinReply(ClientId id, const Game& game);
    void SendRoster(ClientId id, const Game& game);
    // Empties the slots of a leaving or expired client and tells the others.
    void FreeSlots(Game& game, ClientId owner, bool waiting);
    // After players went: removes an empty game, ends a race that lost its opponents,
    // or starts one that now only waited for the ones who went.
    void AfterDeparture(int32_t gameId);
    void StartIfAllReady(Game& game);
    static size_t Occupied(const Game& game);
    static std::vector<ClientId> Members(const Game& game);

    void Send(ClientId id, MessageKind kind, const Payload& payload);
    void SendToMembers(const Game& game, MessageKind kind, const Payload& payload, ClientId except);
    void SendStatus(ClientId id, MessageKind kind, uint8_t status);

    ClientOutput& output_;
    LobbySettings settings_;
    std::map<ClientId, Client> clients_;
    std::map<int32_t, Game> games_;
    int32_t lastGameId_ = 0;
};
