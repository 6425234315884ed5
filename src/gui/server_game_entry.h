#pragma once

#include <atomic>

#include "gui/menu_game.h"

// Where a game asked of the server stands, as a screen follows it once per tick.
enum class ServerGameEntry { kWaiting, kRefused, kLoadFailed, kLoaded };

// Follows the result the game-server client sets for a create or a join: on 1 the
// client has named the level and waits while the screen loads it; the result is set
// back for the client (0 loaded, -1 not) and for the next request (0 after a refusal).
inline ServerGameEntry FollowServerGame(std::atomic<int>& result, MenuGame& game) {
    const int value = result;
    if (value == 0) return ServerGameEntry::kWaiting;
    if (value < 0) {
        result = 0;
        return ServerGameEntry::kRefused;
    }
    if (!game.LoadLevel()) {
        result = -1;
        return ServerGameEntry::kLoadFailed;
    }
    result = 0;
    return ServerGameEntry::kLoaded;
}
