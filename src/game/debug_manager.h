#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The event recorder: records the inputs that drive a game (keys with the mouse
// position, the player updates this machine sends, game timer resets) with their
// times into a dump file, and plays such a file back on a thread of its own at the
// recorded times, so that a run can be reproduced. Process-wide: free operations
// over one state, called on the main thread (the replay thread keeps to its own copy).

enum DebugMode {
    kDebugRecord = 0,
    kDebugReplay = 1,
};

enum DebugActionKind : int32_t {
    kActionNone = 0,
    kActionKeyDown = 1,
    kActionKeyUp = 2,
    kActionSent = 3,
    kActionReceived = 4,
    kActionResized = 5,
    kActionLabel = 6,
    kActionPlayerUpdate = 7,
    kActionTimerReset = 8,
};

// One recorded event. In the dump file: time, kind and data length as little-endian
// 32-bit integers (12 bytes), then the data; records follow each other with no header.
struct DebugAction {
    int32_t time = 0;  // ms since the recorder was opened
    int32_t kind = kActionNone;
    std::vector<uint8_t> data;
};

constexpr size_t kDumpRecordHeadSize = 12;

// What a replay drives. The application implements it: its root widget takes the
// mouse and keys, its players the updates, its game manager the timer reset.
class ReplayTarget {
public:
    virtual ~ReplayTarget() = default;
    // Has the main thread run `action` (one replayed action, which touches the game and
    // the widgets) between two frames, and waits for it; false when the main thread will
    // run no more actions, which ends the replay.
    virtual bool RunOnMainThread(std::function<void()> action) = 0;
    virtual void MouseMove(int x, int y) = 0;
    virtual void KeyDown(int code) = 0;
    virtual void KeyUp(int code) = 0;
    // One serialised player update, applied as if it had come from the network.
    virtual void ApplyPlayerUpdate(const uint8_t* data, size_t size) = 0;
    virtual void ResetGameTimer() = 0;
    // The game timer reads `ms` from now on.
    virtual void SetGameTimer(int32_t ms) = 0;
};

// The command line after the program name: one argument records into that dump file;
// two or three replay it, the second switching on replay-drives-input and the third
// save-after-every-action (decimal integers, nonzero meaning on, anything else 0).
// Opens the recorder accordingly; true when a replay was opened, and the replay
// thread is then to be started. Arguments after the third are ignored.
bool DebugOpenFromCommandLine(int argc, const char* const* argv);

// Opens the recorder. Record mode empties the dump file; replay mode loads all of it.
// A null name keeps the current one ("debug.dump" until one is given).
void DebugInit(DebugMode mode, const char* name);
// From the command line, before DebugInit in replay mode.
void DebugSetSwitches(bool replayDrivesInput, bool saveEveryAction);
// True in replay mode with the replay-drives-input switch on: live keys are then ignored.
bool DebugReplayDrivesInput();
// True while the recorder is open in record mode (nothing is recorded otherwise).
bool DebugRecording();
// True once the recorder was opened in replay mode: the players then take their
// updates from the dump only.
bool DebugReplaying();

void RecordKeyDown(int code, int mouseX, int mouseY);
void RecordKeyUp(int code, int mouseX, int mouseY);
// `data` is one serialised player update.
void RecordPlayerUpdate(const uint8_t* data, size_t size);
void RecordTimerReset();
// The game timer was moved and reads `ms` now: a timer reset that carries the reading
// (one int32), which a replay sets the timer to.
void RecordTimerSet(int32_t ms);
// A line of text (at most 255 bytes are kept); the game labels each level it loads,
// so that a dump says where it was recorded.
void RecordLabel(const std::string& text);
// The text of a label action; false for other kinds.
bool LabelText(const DebugAction& action, std::string& text);

// Appends the actions recorded since the last save to the dump file (record mode only).
void DebugSave();
// Saves, then closes the recorder.
void DebugFinish();

// The actions not yet saved (record mode) or the loaded ones (replay mode).
std::vector<DebugAction> DebugPendingActions();

// Plays the loaded actions into `target` on a thread of its own, which waits for the
// recorded times and hands each action to the main thread; the target must outlive the
// thread (StopReplayThread before destroying it).
void StartReplayThread(ReplayTarget& target);
// Waits for the replay thread to finish its last action.
void WaitForReplayThread();
// Makes the replay thread stop after its current action, and waits for it. Called on
// the main thread, the target must first stop running actions (or the thread could wait
// for the main thread while the main thread waits for it).
void StopReplayThread();

// Reports one action's replay line and performs it on the target (on the main thread:
// the replay thread hands it over through RunOnMainThread).
void ReplayAction(const DebugAction& action, ReplayTarget& target);

// The dump file's byte form: records appended to `out`, or read from `data`.
// Parsing fails, leaving `actions` as it was, when a record runs past the end.
void AppendDumpRecord(std::vector<uint8_t>& out, const DebugAction& action);
bool ParseDumpRecords(const uint8_t* data, size_t size, std::vector<DebugAction>& actions);

// A dump file failure prints its message on standard error and ends the process
// with status 2 through this handler; tests install one that throws.
using DumpExitHandler = void (*)(int status);
void SetDumpExitHandler(DumpExitHandler handler);  // null restores std::exit
// The clock the recorder and the replay thread read; null restores NowMs.
using DebugClock = std::function<int64_t()>;
void SetDebugClock(DebugClock clock);
