#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/server_rows.h"

// The game as the game-server client sees it. The client thread never calls these
// directly: it posts each call to the main thread's queue, so they run on the main
// thread between frames like the rest of the game. The game implements it.
class NetworkGame {
public:
    virtual ~NetworkGame() = default;

    // The server named the game's level and victories.
    virtual void SelectLevel(const std::string& levelName, int32_t victories) = 0;
    // `local`: the player is one of this machine's.
    virtual void AddPlayer(int slot, const std::string& name, bool local) = 0;
    virtual void RemovePlayer(int slot) = 0;
    // One serialised player update, already checked for its size.
    virtual void ApplyUpdate(const std::vector<uint8_t>& record) = 0;
    virtual void StartRace() = 0;
    // The server says the game is over: the race ends and the client goes back to the lobby.
    virtual void EndRace() = 0;
    // The connection went during a race and could not be had back.
    virtual void AbortRace() = 0;
    virtual void PauseForReconnect() = 0;
    virtual void ResumeAfterReconnect() = 0;
    // A line for the message list over the race.
    virtual void AddRaceLine(const std::string& line) = 0;
};

// The race's clock, which the client keeps in step with the server's. Unlike the
// calls above it is read and moved on the client thread itself (ping times must be
// taken when the reply arrives), so it must be safe to use from any thread.
class NetworkClock {
public:
    virtual ~NetworkClock() = default;
    virtual int32_t Now() = 0;
    virtual void Set(int32_t ms) = 0;
    virtual void Shift(int32_t ms) = 0;
    virtual void SetLastCorrection(int32_t ms) = 0;
};

// Whether a level with this name and checksum is installed; read by the client thread
// while it fills the lobby, so it must be safe to use from any thread (the catalogue
// does not change after start-up).
class LevelDirectory {
public:
    virtual ~LevelDirectory() = default;
    virtual bool HasLevel(const std::string& name, uint32_t checksum) const = 0;
};

// The server browser's screen, as the client thread fills it through the main
// thread's queue. Called on the main thread only.
class ServerBrowserView {
public:
    virtual ~ServerBrowserView() = default;
    // The new list replaces the shown one at once; `cached` when it is the last good list
    // kept from an earlier run because the directory could not be reached.
    virtual void ShowServers(const std::vector<ServerRow>& rows, bool cached) = 0;
    virtual void ShowPing(const std::string& host, uint16_t port, int pingMs) = 0;
    // No list at all: the rows shown stay, the text says why.
    virtual void ShowListFailed(const std::string& text) = 0;
};

// A list of text lines on a screen (the lobby's chat and games, the server list).
// Called on the main thread only.
class LineList {
public:
    virtual ~LineList() = default;
    virtual void AddLine(const std::string& line) = 0;
    virtual void ClearLines() = 0;
};
