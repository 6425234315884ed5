#pragma once

#include <cstdint>

#include "game/player_update.h"

// Where this machine's player updates go: the event recorder writes them into its
// dump, the game-server client sends them to the server. The player manager hands
// each update to every sink that is accepting, in the order they were added.
class PlayerUpdateSink {
public:
    virtual ~PlayerUpdateSink() = default;
    // False while the sink has nowhere to put an update (no recording open, not connected).
    virtual bool Accepting() const = 0;
    virtual void TakeUpdate(const PlayerUpdate& update) = 0;
    // The game clock was reset with the level; the recorder notes it in its dump.
    virtual void TimerReset() = 0;
    // The game-server client moved the game clock, which reads `now` at this moment; the
    // recorder notes it, or a replay would run on another clock than the one the race's
    // updates were stamped with.
    virtual void ClockMoved(int32_t now) = 0;
};
