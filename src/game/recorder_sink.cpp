#include "game/recorder_sink.h"

#include <vector>

#include "game/debug_manager.h"
#include "base/report.h"
#include "game/player_manager.h"

bool RecorderSink::Accepting() const { return DebugRecording(); }

void RecorderSink::TakeUpdate(const PlayerUpdate& update) {
    const std::vector<uint8_t> bytes = EncodePlayerUpdate(update);
    RecordPlayerUpdate(bytes.data(), bytes.size());
}

void RecorderSink::TimerReset() { RecordTimerReset(); }

void RecorderSink::ClockMoved(int32_t now) { RecordTimerSet(now); }

bool ApplyRecordedUpdate(PlayerManager& players, const uint8_t* data, size_t size) {
    PlayerUpdate update;
    if (!DecodePlayerUpdate(data, size, update)) {
        Report(LogModule::kDebug, LogLevel::kWarning, "Damaged player update in dump: %d bytes",
               static_cast<int>(size));
        return false;
    }
    players.ApplyUpdate(update);
    return true;
}
