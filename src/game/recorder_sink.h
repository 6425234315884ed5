#pragma once

#include <cstddef>
#include <cstdint>

#include "game/player_update_sink.h"

class PlayerManager;

// Hands this machine's player updates and game timer resets to the event recorder,
// which writes them into the dump while a recording is open.
class RecorderSink : public PlayerUpdateSink {
public:
    bool Accepting() const override;
    void TakeUpdate(const PlayerUpdate& update) override;
    void TimerReset() override;
    void ClockMoved(int32_t now) override;
};

// Applies a player update read back from a dump to the players as if it had arrived
// from the network; a damaged one is reported and left out. True when applied.
bool ApplyRecordedUpdate(PlayerManager& players, const uint8_t* data, size_t size);
