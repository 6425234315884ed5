#include "app/debug_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

// A dump file failure as the test sees it: the process would have ended with `status`.
struct DumpExit {
    int status;
};

void ThrowingExit(int status) { throw DumpExit{status}; }

int returnedStatus = 0;
void ReturningExit(int status) { returnedStatus = status; }

// Builds dump bytes by hand, independently of the recorder's own writer.
void PutI32(std::string& out, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xff);
}

std::string RecordBytes(int32_t time, int32_t kind, const std::string& data) {
    std::string out;
    PutI32(out, time);
    PutI32(out, kind);
    PutI32(out, static_cast<int32_t>(data.size()));
    return out + data;
}

std::string KeyBytes(int32_t code, int32_t x, int32_t y) {
    std::string out;
    PutI32(out, code);
    PutI32(out, x);
    PutI32(out, y);
    return out;
}

std::vector<uint8_t> AsBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Everything the replay does to the game, in order, with the clock reading at each call
// and whether the frame lock was held at that moment.
class ScriptedTarget : public ReplayTarget {
public:
    explicit ScriptedTarget(std::atomic<int64_t>& clock) : clock_(clock) {}

    SpinLock& FrameLock() override { return frameLock; }
    void MouseMove(int x, int y) override { Note("move " + std::to_string(x) + "," + std::to_string(y)); }
    void KeyDown(int code) override { Note("down " + std::to_string(code)); }
    void KeyUp(int code) override { Note("up " + std::to_string(code)); }
    void ApplyPlayerUpdate(const uint8_t* data, size_t size) override {
        Note("update " + std::string(reinterpret_cast<const char*>(data), size));
    }
    void ResetGameTimer() override { Note("timer reset"); }

    SpinLock frameLock;
    std::vector<std::string> calls;
    std::vector<int64_t> times;
    int callsWithoutFrameLock = 0;
    int64_t jumpOnFirstCall = 0;  // a slow first action: the clock moves on this much

private:
    void Note(const std::string& call) {
        if (frameLock.TryLock()) {
            frameLock.Unlock();
            ++callsWithoutFrameLock;
        }
        if (calls.empty()) clock_ += jumpOnFirstCall;
        calls.push_back(call);
        times.push_back(clock_.load());
    }

    std::atomic<int64_t>& clock_;
};

class DebugManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDumpExitHandler(ThrowingExit);
        SetDebugClock([this] { return now.load(); });
        DebugSetSwitches(false, false);
    }

    void TearDown() override {
        StopReplayThread();
        // Close whatever a test left open without ending the test run on a failing save.
        SetDumpExitHandler(ReturningExit);
        DebugFinish();
        SetDumpExitHandler(nullptr);
        SetDebugClock(nullptr);
        DebugSetSwitches(false, false);
    }

    std::string Dump() const { return dir.File("run.dump"); }

    // Opens the recorder in replay mode on `content`; stdout is kept out of the test log.
    void LoadReplay(const std::string& content) {
        dir.Write("run.dump", content);
        testing::internal::CaptureStdout();
        DebugInit(kDebugReplay, Dump().c_str());
        testing::internal::GetCapturedStdout();
    }

    void OpenRecording() {
        testing::internal::CaptureStdout();
        DebugInit(kDebugRecord, Dump().c_str());
        testing::internal::GetCapturedStdout();
    }

    // Runs `body`, expecting the dump failure exit; returns what went to standard error.
    template <typename Body>
    std::string ExpectDumpExit(Body body) {
        testing::internal::CaptureStderr();
        int status = -1;
        try {
            body();
        } catch (const DumpExit& exit) {
            status = exit.status;
        }
        const std::string error = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 2) << "a dump file failure ends the process with status 2";
        return error;
    }

    void ReplayAndWait(ReplayTarget& target) {
        StartReplayThread(target);
        WaitForReplayThread();
    }

    TempDir dir;
    std::atomic<int64_t> now{1000};
};

// --- recording ---------------------------------------------------------------

TEST_F(DebugManagerTest, RecordModeEmptiesTheFileAndSaysSo) {
    dir.Write("run.dump", "left over from an earlier run");
    testing::internal::CaptureStdout();
    DebugInit(kDebugRecord, Dump().c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Debug module initialized (" + Dump() + ")\n");
    EXPECT_TRUE(DebugRecording());
    EXPECT_FALSE(DebugReplaying());
    EXPECT_EQ(dir.Read("run.dump"), "") << "opening a recording truncates the dump file";
}

TEST_F(DebugManagerTest, TwoKeyPressesSaveFourRecordsOf24Bytes) {
    OpenRecording();
    now = 1010;
    RecordKeyDown('a', 100, 200);
    now = 1020;
    RecordKeyUp('a', 101, 201);
    now = 1300;
    RecordKeyDown(350, -5, 7);
    now = 1450;
    RecordKeyUp(350, -5, 8);
    DebugSave();
    const std::string expected = RecordBytes(10, 1, KeyBytes('a', 100, 200)) +
                                 RecordBytes(20, 2, KeyBytes('a', 101, 201)) +
                                 RecordBytes(300, 1, KeyBytes(350, -5, 7)) + RecordBytes(450, 2, KeyBytes(350, -5, 8));
    const std::string written = dir.Read("run.dump");
    EXPECT_EQ(written.size(), 96u);
    EXPECT_EQ(written, expected) << "each record: time since opening, kind, length 12, code, mouse x, mouse y";
    EXPECT_TRUE(DebugPendingActions().empty()) << "saved actions leave the pending list";
}

TEST_F(DebugManagerTest, PlayerUpdatesAndTimerResetsAreRecordedWithTheirBytes) {
    OpenRecording();
    now = 1005;
    const std::vector<uint8_t> update = AsBytes(std::string(24, '\x11'));
    RecordPlayerUpdate(update.data(), update.size());
    now = 1007;
    RecordTimerReset();
    DebugSave();
    EXPECT_EQ(dir.Read("run.dump"), RecordBytes(5, 7, std::string(24, '\x11')) + RecordBytes(7, 8, ""));
}

TEST_F(DebugManagerTest, SavesAppendToWhatEarlierSavesWrote) {
    OpenRecording();
    RecordKeyDown('x', 1, 2);
    DebugSave();
    const std::string first = dir.Read("run.dump");
    ASSERT_EQ(first.size(), 24u);
    now = 1040;
    RecordKeyUp('x', 1, 2);
    DebugSave();
    DebugSave();  // nothing new: nothing written
    EXPECT_EQ(dir.Read("run.dump"), first + RecordBytes(40, 2, KeyBytes('x', 1, 2)));
}

TEST_F(DebugManagerTest, SaveAfterEveryActionWritesEachActionAtOnce) {
    DebugSetSwitches(false, true);
    OpenRecording();
    RecordKeyDown('q', 0, 0);
    EXPECT_EQ(dir.Read("run.dump").size(), 24u);
    RecordTimerReset();
    EXPECT_EQ(dir.Read("run.dump").size(), 36u);
    EXPECT_TRUE(DebugPendingActions().empty());
}

TEST_F(DebugManagerTest, WithoutSaveAfterEveryActionNothingIsWrittenUntilASave) {
    OpenRecording();
    RecordKeyDown('q', 0, 0);
    EXPECT_EQ(dir.Read("run.dump"), "");
    EXPECT_EQ(DebugPendingActions().size(), 1u);
}

TEST_F(DebugManagerTest, FinishSavesAndClosesTheRecording) {
    OpenRecording();
    RecordKeyDown('f', 3, 4);
    DebugFinish();
    EXPECT_FALSE(DebugRecording());
    RecordKeyUp('f', 3, 4);
    DebugSave();
    EXPECT_EQ(dir.Read("run.dump"), RecordBytes(0, 1, KeyBytes('f', 3, 4)))
        << "the exit command's save is the last one; later actions are not recorded";
}

TEST_F(DebugManagerTest, NothingIsRecordedBeforeTheRecorderIsOpened) {
    RecordKeyDown('n', 0, 0);
    RecordTimerReset();
    EXPECT_FALSE(DebugRecording());
    OpenRecording();
    EXPECT_TRUE(DebugPendingActions().empty());
}

TEST_F(DebugManagerTest, ANullNameKeepsTheNameGivenBefore) {
    OpenRecording();
    RecordKeyDown('k', 0, 0);
    DebugFinish();
    testing::internal::CaptureStdout();
    DebugInit(kDebugRecord, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Debug module initialized (" + Dump() + ")\n");
    EXPECT_EQ(dir.Read("run.dump"), "");
}

// --- replay mode and its switches -------------------------------------------

TEST_F(DebugManagerTest, ReplayModeLoadsEveryRecordInFileOrder) {
    dir.Write("run.dump", RecordBytes(5, 1, KeyBytes('a', 1, 2)) + RecordBytes(9, 6, std::string("\x02hi", 3)));
    testing::internal::CaptureStdout();
    DebugInit(kDebugReplay, Dump().c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Debug module initialized, with loaded dump: " + Dump() + "\n");
    const std::vector<DebugAction> loaded = DebugPendingActions();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].time, 5);
    EXPECT_EQ(loaded[0].kind, kActionKeyDown);
    EXPECT_EQ(loaded[0].data, AsBytes(KeyBytes('a', 1, 2)));
    EXPECT_EQ(loaded[1].time, 9);
    EXPECT_EQ(loaded[1].kind, kActionLabel);
    EXPECT_EQ(loaded[1].data, AsBytes(std::string("\x02hi", 3)));
    EXPECT_TRUE(DebugReplaying());
    EXPECT_FALSE(DebugRecording());
}

TEST_F(DebugManagerTest, AnEmptyFileLoadsNoActions) {
    LoadReplay("");
    EXPECT_TRUE(DebugReplaying());
    EXPECT_TRUE(DebugPendingActions().empty());
}

TEST_F(DebugManagerTest, AFileEndingExactlyAfterARecordIsAccepted) {
    LoadReplay(RecordBytes(1, 8, "") + RecordBytes(2, 3, "abc"));
    ASSERT_EQ(DebugPendingActions().size(), 2u);
    EXPECT_EQ(DebugPendingActions()[1].data, AsBytes("abc"));
}

TEST_F(DebugManagerTest, ReplayDrivesInputOnlyInReplayModeWithTheSwitchOn) {
    DebugSetSwitches(true, false);
    OpenRecording();
    EXPECT_FALSE(DebugReplayDrivesInput()) << "a recording never ignores live keys";
    DebugFinish();

    DebugSetSwitches(false, false);
    LoadReplay(RecordBytes(0, 8, ""));
    EXPECT_FALSE(DebugReplayDrivesInput()) << "switch off: live keys stay active during the replay";

    DebugSetSwitches(true, false);
    LoadReplay(RecordBytes(0, 8, ""));
    EXPECT_TRUE(DebugReplayDrivesInput());
}

TEST_F(DebugManagerTest, LiveKeysAreNotRecordedWhileAReplayRuns) {
    DebugSetSwitches(true, true);
    LoadReplay(RecordBytes(0, 8, ""));
    const std::string before = dir.Read("run.dump");
    RecordKeyDown('z', 0, 0);
    RecordKeyUp('z', 0, 0);
    RecordTimerReset();
    DebugSave();
    DebugFinish();
    EXPECT_EQ(DebugPendingActions().size(), 1u) << "only the loaded action";
    EXPECT_EQ(dir.Read("run.dump"), before) << "a replay never writes its dump";
}

// --- the command line -----------------------------------------------------------

class CommandLineTest : public DebugManagerTest {
protected:
    // Runs the command line `arguments` (after the program name); true when a replay opened.
    bool Run(std::vector<std::string> arguments) {
        std::vector<const char*> argv{"kav"};
        for (const std::string& argument : arguments) argv.push_back(argument.c_str());
        testing::internal::CaptureStdout();
        const bool replay = DebugOpenFromCommandLine(static_cast<int>(argv.size()), argv.data());
        testing::internal::GetCapturedStdout();
        return replay;
    }
};

TEST_F(CommandLineTest, NoArgumentOpensNothing) {
    EXPECT_FALSE(Run({}));
    EXPECT_FALSE(DebugRecording());
    EXPECT_FALSE(DebugReplaying());
}

TEST_F(CommandLineTest, OneArgumentRecordsIntoThatFile) {
    dir.Write("run.dump", "old");
    EXPECT_FALSE(Run({Dump()})) << "a recording starts no replay thread";
    EXPECT_TRUE(DebugRecording());
    EXPECT_EQ(dir.Read("run.dump"), "");
}

TEST_F(CommandLineTest, TwoOrThreeArgumentsReplayWithTheSwitches) {
    dir.Write("run.dump", RecordBytes(0, 8, ""));
    const struct {
        std::vector<std::string> switches;
        bool drivesInput, savesEveryAction;
        const char* rule;
    } cases[] = {
        {{"1"}, true, false, "two arguments: save-after-every-action stays off"},
        {{"0"}, false, false, "0 is off"},
        {{"abc"}, false, false, "a switch that is no number counts as 0"},
        {{"7", "0"}, true, false, "any nonzero number is on; a third 0 leaves saving off"},
        {{"0", "1", "ignored"}, false, true, "a third 1 turns saving on; a fourth argument is ignored"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{Dump()};
        arguments.insert(arguments.end(), c.switches.begin(), c.switches.end());
        EXPECT_TRUE(Run(arguments)) << c.rule;
        EXPECT_TRUE(DebugReplaying()) << c.rule;
        EXPECT_EQ(DebugPendingActions().size(), 1u) << c.rule;
        EXPECT_EQ(DebugReplayDrivesInput(), c.drivesInput) << c.rule;
        // The save switch shows once the same switches drive a recording.
        testing::internal::CaptureStdout();
        DebugInit(kDebugRecord, dir.File("probe.dump").c_str());
        testing::internal::GetCapturedStdout();
        RecordTimerReset();
        EXPECT_EQ(dir.Read("probe.dump").size(), c.savesEveryAction ? 12u : 0u) << c.rule;
    }
}

// --- dump file failures --------------------------------------------------------

TEST_F(DebugManagerTest, AFileThatCannotBeCreatedEndsTheProgram) {
    const std::string name = dir.File("no/such/dir/run.dump");
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugRecord, name.c_str()); });
    EXPECT_EQ(error, "Could not reset dump file: " + name + "\n");
    EXPECT_FALSE(DebugRecording());
}

TEST_F(DebugManagerTest, AMissingReplayFileEndsTheProgram) {
    const std::string name = dir.File("missing.dump");
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugReplay, name.c_str()); });
    EXPECT_EQ(error, "Could not open dump file: " + name + "\n");
    EXPECT_FALSE(DebugReplaying());
}

TEST_F(DebugManagerTest, ADirectoryIsNoReplayFile) {
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugReplay, dir.Path().c_str()); });
    EXPECT_EQ(error, "Could not open dump file: " + dir.Path() + "\n");
}

TEST_F(DebugManagerTest, ALengthRunningPastTheEndIsABadFormattedFile) {
    dir.Write("run.dump", RecordBytes(1, 8, "") + RecordBytes(2, 3, "abc").substr(0, 14));
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugReplay, Dump().c_str()); });
    EXPECT_EQ(error, "Bad formatted dump file: " + Dump() + "\n");
    EXPECT_FALSE(DebugReplaying());
    EXPECT_TRUE(DebugPendingActions().empty()) << "nothing of a damaged file is kept";
}

TEST_F(DebugManagerTest, AHugeStatedLengthIsRefusedWithoutAllocatingIt) {
    std::string head;
    PutI32(head, 0);
    PutI32(head, 3);
    PutI32(head, -1);  // 4 GB of data said to follow
    dir.Write("run.dump", head + "xy");
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugReplay, Dump().c_str()); });
    EXPECT_EQ(error, "Bad formatted dump file: " + Dump() + "\n");
}

TEST_F(DebugManagerTest, AFileCutInsideARecordHeadIsABadFormattedFile) {
    dir.Write("run.dump", RecordBytes(1, 8, "") + std::string(5, '\0'));
    const std::string error = ExpectDumpExit([&] { DebugInit(kDebugReplay, Dump().c_str()); });
    EXPECT_EQ(error, "Bad formatted dump file: " + Dump() + "\n");
}

TEST_F(DebugManagerTest, ASaveThatCannotOpenTheFileEndsTheProgramAndKeepsTheActions) {
    OpenRecording();
    RecordKeyDown('s', 0, 0);
    std::filesystem::remove(Dump());
    std::filesystem::create_directory(Dump());  // the dump's name now belongs to a directory
    const std::string error = ExpectDumpExit([] { DebugSave(); });
    EXPECT_EQ(error, "Could not save dump file: " + Dump() + "\n");
    EXPECT_EQ(DebugPendingActions().size(), 1u) << "a failed save loses no action";
}

TEST_F(DebugManagerTest, SaveAfterEveryActionFailingEndsTheProgramFromTheRecordingCall) {
    DebugSetSwitches(false, true);
    OpenRecording();
    std::filesystem::remove(Dump());
    std::filesystem::create_directory(Dump());
    const std::string error = ExpectDumpExit([] { RecordKeyDown('s', 0, 0); });
    EXPECT_EQ(error, "Could not save dump file: " + Dump() + "\n");
    std::filesystem::remove(Dump());
    DebugSave();  // the recorder lock was released on the way out
    EXPECT_EQ(dir.Read("run.dump").size(), 24u);
}

TEST_F(DebugManagerTest, AnExitHandlerThatReturnsLeavesTheRecorderClosed) {
    SetDumpExitHandler(ReturningExit);
    returnedStatus = 0;
    const std::string name = dir.File("missing.dump");
    testing::internal::CaptureStderr();
    DebugInit(kDebugReplay, name.c_str());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(returnedStatus, 2);
    EXPECT_FALSE(DebugReplaying());
}

// --- replaying one action ------------------------------------------------------

class ReplayActionTest : public DebugManagerTest {
protected:
    DebugAction Action(int32_t kind, const std::string& data) {
        DebugAction action;
        action.kind = kind;
        action.data = AsBytes(data);
        return action;
    }

    std::vector<std::string> Replay(const DebugAction& action) {
        ReportCapture capture;
        ReplayAction(action, target);
        return capture.Lines();
    }

    ScriptedTarget target{now};
};

TEST_F(ReplayActionTest, KeysMoveTheMouseThenPressOrRelease) {
    EXPECT_EQ(Replay(Action(kActionKeyDown, KeyBytes(97, 320, 240))), std::vector<std::string>{"dbg   KeyDown: 97"});
    EXPECT_EQ(Replay(Action(kActionKeyUp, KeyBytes(385, 10, 20))), std::vector<std::string>{"dbg   KeyUp: 385"});
    EXPECT_EQ(target.calls, (std::vector<std::string>{"move 320,240", "down 97", "move 10,20", "up 385"}));
}

TEST_F(ReplayActionTest, PlayerUpdatesReachThePlayersWithTheirId) {
    const std::string update = std::string("\x10\x01", 2) + std::string(22, 'u');
    EXPECT_EQ(Replay(Action(kActionPlayerUpdate, update)), std::vector<std::string>{"dbg   PlayerUpdate: 1"});
    EXPECT_EQ(target.calls, std::vector<std::string>{"update " + update});
}

TEST_F(ReplayActionTest, TimerResetResetsTheGameTimer) {
    EXPECT_EQ(Replay(Action(kActionTimerReset, "")), std::vector<std::string>{"dbg   Timer reset"});
    EXPECT_EQ(target.calls, std::vector<std::string>{"timer reset"});
}

TEST_F(ReplayActionTest, NetworkResizeAndLabelActionsAreOnlyLogged) {
    std::string sizes;
    PutI32(sizes, 800);
    PutI32(sizes, 600);
    EXPECT_EQ(Replay(Action(kActionSent, "12345")), std::vector<std::string>{"dbg   Sent: 5 bytes"});
    EXPECT_EQ(Replay(Action(kActionReceived, "123")), std::vector<std::string>{"dbg   Recv: 3 bytes"});
    EXPECT_EQ(Replay(Action(kActionResized, sizes)), std::vector<std::string>{"dbg   Resized: width=800, height=600"});
    EXPECT_EQ(Replay(Action(kActionLabel, "\x05lap 2")), std::vector<std::string>{"dbg   Label: lap 2"});
    EXPECT_EQ(Replay(Action(kActionLabel, std::string(1, '\0'))), std::vector<std::string>{"dbg   Label: "});
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(ReplayActionTest, ShortDataNeverReadsPastItsEnd) {
    EXPECT_EQ(Replay(Action(kActionLabel, "\x09" "ab")), std::vector<std::string>{"dbg   Label: ab"});
    EXPECT_EQ(Replay(Action(kActionLabel, "")), std::vector<std::string>{"dbg   Label: "});
    EXPECT_EQ(Replay(Action(kActionResized, "\x01")), std::vector<std::string>{"dbg   Resized: width=0, height=0"});
    EXPECT_EQ(Replay(Action(kActionKeyDown, "")), std::vector<std::string>{"dbg   KeyDown: 0"});
}

TEST_F(ReplayActionTest, UnknownKindsAreWarnedAboutAndSkipped) {
    EXPECT_EQ(Replay(Action(42, "abcde")), std::vector<std::string>{"dbg w UNKNOWN: action 42, size 5"});
    EXPECT_EQ(Replay(Action(kActionNone, "")), std::vector<std::string>{"dbg w UNKNOWN: action 0, size 0"});
    EXPECT_EQ(Replay(Action(-3, "x")), std::vector<std::string>{"dbg w UNKNOWN: action -3, size 1"});
    EXPECT_TRUE(target.calls.empty());
}

// --- the replay thread -----------------------------------------------------------

class ReplayThreadTest : public DebugManagerTest {
protected:
    void SetUp() override {
        DebugManagerTest::SetUp();
        // Every reading moves the clock on a millisecond, so the thread's waits end
        // without the test waiting for real time.
        SetDebugClock([this] { return now++; });
    }

    ScriptedTarget target{now};
};

TEST_F(ReplayThreadTest, ReplaysEveryActionInOrderAndLogsItsProgress) {
    LoadReplay(RecordBytes(0, 1, KeyBytes('a', 5, 6)) + RecordBytes(30, 42, "zz") + RecordBytes(60, 2, KeyBytes('a', 5, 6)));
    ReportCapture capture;
    ReplayAndWait(target);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"move 5,6", "down 97", "move 5,6", "up 97"}))
        << "the unknown action in the middle is skipped, the rest still replayed";
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 8u) << capture.Joined();
    EXPECT_EQ(lines[0], "dbg   Number of actions: 3");
    EXPECT_EQ(lines[1].rfind("dbg   Next KeyDown event at 0, now is ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "dbg   KeyDown: 97");
    EXPECT_EQ(lines[3].rfind("dbg   Next UNKNOWN event at 30, now is ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "dbg w UNKNOWN: action 42, size 2");
    EXPECT_EQ(lines[5].rfind("dbg   Next KeyUp event at 60, now is ", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6], "dbg   KeyUp: 97");
    EXPECT_EQ(lines[7], "dbg   Done all actions (3)");
}

TEST_F(ReplayThreadTest, EachActionWaitsForItsRecordedTime) {
    LoadReplay(RecordBytes(40, 8, "") + RecordBytes(200, 8, "") + RecordBytes(201, 8, ""));
    const int64_t start = now.load();
    ReplayAndWait(target);
    ASSERT_EQ(target.times.size(), 3u);
    EXPECT_GE(target.times[0] - start, 40);
    EXPECT_GE(target.times[1] - start, 200);
    EXPECT_GE(target.times[2] - start, 201);
    EXPECT_LT(target.times[0] - start, 60) << "the wait ends once the time is reached";
}

TEST_F(ReplayThreadTest, ActionsAlreadyDueRunOneAfterAnother) {
    target.jumpOnFirstCall = 1000;  // the first action takes a second
    LoadReplay(RecordBytes(0, 8, "") + RecordBytes(100, 8, "") + RecordBytes(200, 8, "") + RecordBytes(300, 8, ""));
    ReplayAndWait(target);
    ASSERT_EQ(target.times.size(), 4u);
    for (size_t i = 2; i < target.times.size(); ++i)
        EXPECT_LT(target.times[i] - target.times[i - 1], 10) << "action " << i << " was overdue and should not wait";
}

TEST_F(ReplayThreadTest, HoldsTheFrameLockAroundEachActionButNotWhileWaiting) {
    std::atomic<int> clockReadsUnderFrameLock{0};
    SetDebugClock([&] {
        if (target.frameLock.TryLock())
            target.frameLock.Unlock();
        else
            ++clockReadsUnderFrameLock;
        return now++;
    });
    std::string update = std::string("\x10\x02", 2) + std::string(22, '\0');
    LoadReplay(RecordBytes(0, 1, KeyBytes('w', 0, 0)) + RecordBytes(20, 7, update) + RecordBytes(25, 8, "") +
               RecordBytes(50, 2, KeyBytes('w', 0, 0)));
    ReplayAndWait(target);
    ASSERT_EQ(target.calls.size(), 6u);
    EXPECT_EQ(target.callsWithoutFrameLock, 0) << "every replayed call runs under the frame lock";
    EXPECT_EQ(clockReadsUnderFrameLock.load(), 0) << "the waits run without the frame lock";
    EXPECT_TRUE(target.frameLock.TryLock()) << "the frame lock is released after the last action";
}

TEST_F(ReplayThreadTest, StartingItAgainWhileItRunsIsRefused) {
    LoadReplay(RecordBytes(0, 8, ""));
    ReportCapture capture;
    target.frameLock.Lock();  // a frame in progress keeps the thread from acting
    StartReplayThread(target);
    StartReplayThread(target);
    target.frameLock.Unlock();
    WaitForReplayThread();
    EXPECT_EQ(capture.Count("Already started"), 1);
    EXPECT_TRUE(capture.Contains("Done all actions (1)"));
    EXPECT_NE(capture.Joined().find("net E Already started"), std::string::npos) << capture.Joined();
    EXPECT_EQ(target.calls.size(), 1u) << "the refused start replays nothing";
}

TEST_F(ReplayThreadTest, CanRunAgainOnceFinished) {
    LoadReplay(RecordBytes(0, 8, ""));
    ReplayAndWait(target);
    ReplayAndWait(target);
    EXPECT_EQ(target.calls.size(), 2u);
}

TEST_F(ReplayThreadTest, StopEndsTheReplayBeforeItsRemainingActions) {
    LoadReplay(RecordBytes(0, 8, "") + RecordBytes(1000000000, 8, ""));
    SetDebugClock([this] { return now.load(); });  // the second action never comes due
    ReportCapture capture;
    StartReplayThread(target);
    StopReplayThread();
    EXPECT_LE(target.calls.size(), 1u);
    EXPECT_FALSE(capture.Contains("Done all actions (2)"));
}

TEST_F(ReplayThreadTest, AnEmptyDumpReplaysNothing) {
    LoadReplay("");
    ReportCapture capture;
    ReplayAndWait(target);
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{"Number of actions: 0", "Done all actions (0)"}));
}

TEST_F(ReplayThreadTest, ARecordingIsNeverReplayed) {
    OpenRecording();
    RecordTimerReset();
    ReplayAndWait(target);
    EXPECT_TRUE(target.calls.empty());
}

// --- the byte form ------------------------------------------------------------

TEST(DumpRecords, WriteAndReadBack) {
    DebugAction key{-7, kActionKeyDown, AsBytes(KeyBytes(1, 2, 3))};
    DebugAction empty{9, kActionTimerReset, {}};
    std::vector<uint8_t> bytes;
    AppendDumpRecord(bytes, key);
    AppendDumpRecord(bytes, empty);
    EXPECT_EQ(bytes, AsBytes(RecordBytes(-7, 1, KeyBytes(1, 2, 3)) + RecordBytes(9, 8, "")));
    std::vector<DebugAction> read;
    ASSERT_TRUE(ParseDumpRecords(bytes.data(), bytes.size(), read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].time, -7);
    EXPECT_EQ(read[0].data, key.data);
    EXPECT_EQ(read[1].kind, kActionTimerReset);
}

TEST(DumpRecords, AFailedParseLeavesTheListAsItWas) {
    const std::string bytes = RecordBytes(1, 8, "") + RecordBytes(2, 3, "abc").substr(0, 13);
    std::vector<DebugAction> read(1);
    EXPECT_FALSE(ParseDumpRecords(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read));
    EXPECT_EQ(read.size(), 1u);
}

}  // namespace
