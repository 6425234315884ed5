#pragma once

#include "gui/menu_state.h"

class GameManager;
class ServerManager;

// The menus' view of the game-server client, with the level catalogue for creating games.
class ClientMenuNetwork final : public MenuNetwork {
public:
    ClientMenuNetwork(ServerManager& client, GameManager& game) : client_(client), game_(game) {}

    bool IsConnected() const override;
    void RequestServerListRefresh() override;
    bool Start() override;
    bool ConnectTo(const std::string& host, uint16_t port) override;
    void ConnectInBackground(const std::string& host, uint16_t port, std::atomic<int>* result) override;
    std::string StatusText() const override;
    void Login(const std::string& name, std::atomic<int>* result) override;
    void CreateGame(int levelIndex, int victories, std::atomic<int>* result,
                    const std::vector<std::string>& names) override;
    void JoinGame(int index, std::atomic<int>* result, const std::vector<std::string>& names) override;
    void SendChat(const std::string& text) override;
    void LeaveServer() override;
    void SetLists(ServerBrowserView* servers, LineList* chat, LineList* games) override;

private:
    ServerManager& client_;
    GameManager& game_;
    ServerBrowserView* servers_ = nullptr;
};
