#include "game/debug_manager.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "base/byte_reader.h"
#include "base/clock.h"
#include "base/durable_file.h"
#include "base/report.h"

namespace {

void ExitProcess(int status) { std::exit(status); }

int64_t DefaultClock() { return NowMs(); }

// The recorder belongs to the main thread, which records, saves and starts the replay;
// the replay thread gets its own copy of the actions and the clock and shares only the
// two flags below with it.
struct DebugState {
    std::string name = "debug.dump";
    int mode = kDebugRecord;
    bool open = false;
    int64_t startTime = 0;
    std::vector<DebugAction> pending;
    bool replayDrivesInput = false;
    bool saveEveryAction = false;
    DumpExitHandler exitHandler = ExitProcess;
    DebugClock clock = DefaultClock;

    std::thread replayThread;
    std::atomic<bool> replayRunning{false};
    std::atomic<bool> replayStop{false};
};

DebugState& State() {
    // Never destroyed: a replay thread may still run while the process exits.
    static DebugState* state = new DebugState;
    return *state;
}

bool OpenForRecording(const DebugState& state) { return state.open && state.mode == kDebugRecord; }

// Prints the message and the file name on standard error and ends the process with
// status 2. When a test's handler returns or throws instead, the caller leaves its
// state as it was.
void DumpFileFailure(const DebugState& state, const char* message) {
    std::fprintf(stderr, "%s%s\n", message, state.name.c_str());
    std::fflush(stderr);
    state.exitHandler(2);
}

void PutI32(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

bool ReadFileBytes(const std::string& name, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return false;
    uint8_t buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
    const bool failed = std::ferror(file) != 0;  // a directory, say
    std::fclose(file);
    return !failed;
}

void SavePending(DebugState& state) {
    if (!OpenForRecording(state)) return;
    std::FILE* file = std::fopen(state.name.c_str(), "ab");
    if (file == nullptr) return DumpFileFailure(state, "Could not save dump file: ");
    std::vector<uint8_t> bytes;
    for (const DebugAction& action : state.pending) AppendDumpRecord(bytes, action);
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // On the disk before they count as saved: a power cut must not lose a recorded race.
    const bool synced = written && SyncFile(file);
    const bool closed = std::fclose(file) == 0;
    // Unsaved actions stay pending, so a failed save loses nothing.
    if (!synced || !closed) return DumpFileFailure(state, "Could not save dump file: ");
    state.pending.clear();
}

void Record(int32_t kind, std::vector<uint8_t> data) {
    DebugState& state = State();
    if (!OpenForRecording(state)) return;
    DebugAction action;
    action.time = static_cast<int32_t>(state.clock() - state.startTime);
    action.kind = kind;
    action.data = std::move(data);
    state.pending.push_back(std::move(action));
    if (state.saveEveryAction) SavePending(state);
}

std::vector<uint8_t> KeyData(int code, int mouseX, int mouseY) {
    std::vector<uint8_t> data;
    PutI32(data, code);
    PutI32(data, mouseX);
    PutI32(data, mouseY);
    return data;
}

// A command-line switch: a decimal integer, nonzero meaning on; text that is no number counts as 0.
bool SwitchArgument(const char* text) { return std::strtol(text, nullptr, 10) != 0; }

const char* KindName(int32_t kind) {
    static const char* const kNames[] = {"NONE",    "KeyDown", "KeyUp",         "Sent",       "Received",
                                         "Resized", "Label",   "Player Update", "Timer reset"};
    if (kind < 0 || kind >= static_cast<int32_t>(sizeof kNames / sizeof kNames[0])) return "UNKNOWN";
    return kNames[kind];
}

void RunReplay(ReplayTarget& target, std::vector<DebugAction> actions, DebugClock clock) {
    DebugState& state = State();
    const int count = static_cast<int>(actions.size());
    const int64_t start = clock();
    Report(LogModule::kDebug, LogLevel::kInfo, "Number of actions: %d", count);
    bool stopped = false;
    for (const DebugAction& action : actions) {
        Report(LogModule::kDebug, LogLevel::kInfo, "Next %s event at %d, now is %d", KindName(action.kind), action.time,
               static_cast<int>(clock() - start));
        // A busy wait: the replay keeps to the recorded times as closely as it can.
        while (!state.replayStop.load() && clock() - start < action.time) std::this_thread::yield();
        if (state.replayStop.load()) {
            stopped = true;
            break;
        }
        // A copy: when the main thread stops taking actions, this thread ends while the
        // action may still be running there.
        if (!target.RunOnMainThread([&target, action] { ReplayAction(action, target); })) {
            stopped = true;
            break;
        }
    }
    if (!stopped) Report(LogModule::kDebug, LogLevel::kInfo, "Done all actions (%d)", count);
    state.replayRunning.store(false);
}

}  // namespace

bool DebugOpenFromCommandLine(int argc, const char* const* argv) {
    const int arguments = argc - 1;
    if (arguments < 1) return false;
    if (arguments == 1) {
        DebugInit(kDebugRecord, argv[1]);
        return false;
    }
    DebugSetSwitches(SwitchArgument(argv[2]), arguments >= 3 && SwitchArgument(argv[3]));
    DebugInit(kDebugReplay, argv[1]);
    return DebugReplaying();
}

void DebugInit(DebugMode mode, const char* name) {
    DebugState& state = State();
    state.open = false;
    state.mode = mode;
    if (name != nullptr) state.name = name;
    state.pending.clear();

    if (mode == kDebugRecord) {
        std::FILE* file = std::fopen(state.name.c_str(), "wb");
        if (file == nullptr) return DumpFileFailure(state, "Could not reset dump file: ");
        std::fclose(file);
        // The new file's name reaches the disk now; its records are synced as they are saved.
        SyncDirectoryOf(state.name);
        std::printf("Debug module initialized (%s)\n", state.name.c_str());
    } else {
        std::vector<uint8_t> bytes;
        if (!ReadFileBytes(state.name, bytes)) return DumpFileFailure(state, "Could not open dump file: ");
        std::vector<DebugAction> loaded;
        if (!ParseDumpRecords(bytes.data(), bytes.size(), loaded))
            return DumpFileFailure(state, "Bad formatted dump file: ");
        state.pending = std::move(loaded);
        std::printf("Debug module initialized, with loaded dump: %s\n", state.name.c_str());
    }
    std::fflush(stdout);
    state.startTime = state.clock();
    state.open = true;
}

void DebugSetSwitches(bool replayDrivesInput, bool saveEveryAction) {
    State().replayDrivesInput = replayDrivesInput;
    State().saveEveryAction = saveEveryAction;
}

bool DebugReplayDrivesInput() { return DebugReplaying() && State().replayDrivesInput; }

bool DebugRecording() { return OpenForRecording(State()); }

bool DebugReplaying() { return State().open && State().mode == kDebugReplay; }

void RecordKeyDown(int code, int mouseX, int mouseY) { Record(kActionKeyDown, KeyData(code, mouseX, mouseY)); }

void RecordKeyUp(int code, int mouseX, int mouseY) { Record(kActionKeyUp, KeyData(code, mouseX, mouseY)); }

void RecordPlayerUpdate(const uint8_t* data, size_t size) {
    if (data == nullptr) size = 0;
    Record(kActionPlayerUpdate, std::vector<uint8_t>(data, data + size));
}

void RecordTimerReset() { Record(kActionTimerReset, {}); }

void RecordTimerSet(int32_t ms) {
    std::vector<uint8_t> data;
    PutI32(data, ms);
    Record(kActionTimerReset, std::move(data));
}

void RecordLabel(const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), UINT8_MAX);
    std::vector<uint8_t> data;
    data.reserve(length + 1);
    data.push_back(static_cast<uint8_t>(length));
    data.insert(data.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    Record(kActionLabel, std::move(data));
}

bool LabelText(const DebugAction& action, std::string& text) {
    if (action.kind != kActionLabel) return false;
    ByteReader reader(action.data.data(), action.data.size());
    // A stated length past the data takes what is there.
    const size_t length = reader.U8();
    text = reader.String(std::min(length, reader.Remaining()));
    return true;
}

void DebugSave() { SavePending(State()); }

void DebugFinish() {
    DebugState& state = State();
    SavePending(state);
    state.open = false;
}

std::vector<DebugAction> DebugPendingActions() { return State().pending; }

void StartReplayThread(ReplayTarget& target) {
    DebugState& state = State();
    if (state.replayRunning.exchange(true)) {
        Report(LogModule::kNet, LogLevel::kError, "Already started");
        return;
    }
    // The previous run has ended (its running flag is down); collect its thread.
    if (state.replayThread.joinable()) state.replayThread.join();
    std::vector<DebugAction> actions;
    if (state.mode == kDebugReplay) actions = state.pending;
    state.replayStop.store(false);
    state.replayThread = std::thread(RunReplay, std::ref(target), std::move(actions), state.clock);
}

void WaitForReplayThread() {
    DebugState& state = State();
    if (state.replayThread.joinable()) state.replayThread.join();
}

void StopReplayThread() {
    State().replayStop.store(true);
    WaitForReplayThread();
}

void ReplayAction(const DebugAction& action, ReplayTarget& target) {
    ByteReader reader(action.data.data(), action.data.size());
    const int size = static_cast<int>(std::min<size_t>(action.data.size(), INT32_MAX));
    switch (action.kind) {
        case kActionKeyDown:
        case kActionKeyUp: {
            const int code = reader.I32();
            const int x = reader.I32();
            const int y = reader.I32();
            const bool down = action.kind == kActionKeyDown;
            Report(LogModule::kDebug, LogLevel::kInfo, down ? "KeyDown: %d" : "KeyUp: %d", code);
            target.MouseMove(x, y);
            if (down)
                target.KeyDown(code);
            else
                target.KeyUp(code);
            break;
        }
        case kActionSent: Report(LogModule::kDebug, LogLevel::kInfo, "Sent: %d bytes", size); break;
        case kActionReceived: Report(LogModule::kDebug, LogLevel::kInfo, "Recv: %d bytes", size); break;
        case kActionResized: {
            const int width = reader.I32();
            const int height = reader.I32();
            Report(LogModule::kDebug, LogLevel::kInfo, "Resized: width=%d, height=%d", width, height);
            break;
        }
        case kActionLabel: {
            std::string text;
            LabelText(action, text);
            Report(LogModule::kDebug, LogLevel::kInfo, "Label: %s", text.c_str());
            break;
        }
        case kActionPlayerUpdate: {
            reader.Skip(1);  // the flags byte comes before the player id
            Report(LogModule::kDebug, LogLevel::kInfo, "PlayerUpdate: %d", reader.U8());
            target.ApplyPlayerUpdate(action.data.data(), action.data.size());
            break;
        }
        case kActionTimerReset:
            // A reset that carries a reading comes from a network race, whose clock
            // follows the server's.
            if (reader.CanRead(4)) {
                const int32_t ms = reader.I32();
                Report(LogModule::kDebug, LogLevel::kInfo, "Timer set to %d", ms);
                target.SetGameTimer(ms);
                break;
            }
            Report(LogModule::kDebug, LogLevel::kInfo, "Timer reset");
            target.ResetGameTimer();
            break;
        default: Report(LogModule::kDebug, LogLevel::kWarning, "UNKNOWN: action %d, size %d", action.kind, size); break;
    }
}

void AppendDumpRecord(std::vector<uint8_t>& out, const DebugAction& action) {
    PutI32(out, action.time);
    PutI32(out, action.kind);
    PutI32(out, static_cast<int32_t>(action.data.size()));
    out.insert(out.end(), action.data.begin(), action.data.end());
}

bool ParseDumpRecords(const uint8_t* data, size_t size, std::vector<DebugAction>& actions) {
    ByteReader reader(data, size);
    std::vector<DebugAction> read;
    while (!reader.AtEnd()) {
        // A file cut inside a record's head is as damaged as one cut inside its data.
        if (!reader.CanRead(kDumpRecordHeadSize)) return false;
        DebugAction action;
        action.time = reader.I32();
        action.kind = reader.I32();
        const uint32_t length = reader.U32();
        const uint8_t* bytes = reader.Take(length);
        if (bytes == nullptr) return false;
        action.data.assign(bytes, bytes + length);
        read.push_back(std::move(action));
    }
    actions.insert(actions.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    return true;
}

void SetDumpExitHandler(DumpExitHandler handler) { State().exitHandler = handler != nullptr ? handler : ExitProcess; }

void SetDebugClock(DebugClock clock) { State().clock = clock ? std::move(clock) : DefaultClock; }
