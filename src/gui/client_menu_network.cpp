#include "gui/client_menu_network.h"

#include "game/game_manager.h"
#include "net/server_manager.h"

bool ClientMenuNetwork::IsConnected() const { return client_.IsConnected(); }

void ClientMenuNetwork::RequestServerListRefresh() { client_.RefreshServerList(servers_); }

bool ClientMenuNetwork::Start() { return client_.Start(); }

bool ClientMenuNetwork::ConnectTo(const std::string& host, uint16_t port) { return client_.ConnectTo(host, port); }

void ClientMenuNetwork::ConnectInBackground(const std::string& host, uint16_t port, std::atomic<int>* result) {
    client_.ConnectInBackground(host, port, result);
}

std::string ClientMenuNetwork::StatusText() const { return client_.StatusText(); }

void ClientMenuNetwork::Login(const std::string& name, std::atomic<int>* result) { client_.Login(name, result); }

void ClientMenuNetwork::CreateGame(int levelIndex, int victories, std::atomic<int>* result,
                                   const std::vector<std::string>& names) {
    const std::vector<LevelEntry>& levels = game_.Levels();
    if (levelIndex < 0 || static_cast<size_t>(levelIndex) >= levels.size()) {
        *result = -1;
        return;
    }
    const LevelEntry& level = levels[static_cast<size_t>(levelIndex)];
    GameRecord record;
    record.max_players = level.maxPlayers;
    record.checksum = static_cast<uint32_t>(level.crc);
    record.level_name = level.name;
    client_.CreateGame(record, victories, result, names);
}

void ClientMenuNetwork::JoinGame(int index, std::atomic<int>* result, const std::vector<std::string>& names) {
    if (index < 0) {
        *result = -1;
        return;
    }
    client_.JoinGame(static_cast<size_t>(index), result, names);
}

void ClientMenuNetwork::SendChat(const std::string& text) { client_.SendChat(text); }

void ClientMenuNetwork::LeaveServer() { client_.LeaveServer(); }

void ClientMenuNetwork::SetLists(ServerBrowserView* servers, LineList* chat, LineList* games) {
    servers_ = servers;
    client_.SetLobbyLists(chat, games);
}
