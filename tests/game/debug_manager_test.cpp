#include "game/debug_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
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
void ReturningExit(int) {}

// Dump bytes built by hand, independently of the recorder's own writer.
std::string I32(int32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xff);
    return out;
}
std::string RecordBytes(int32_t time, int32_t kind, const std::string& data) {
    return I32(time) + I32(kind) + I32(static_cast<int32_t>(data.size())) + data;
}
std::string KeyBytes(int32_t code, int32_t x, int32_t y) { return I32(code) + I32(x) + I32(y); }
std::vector<uint8_t> AsBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Everything the replay does to the game, in order, with the clock reading at each call
// and whether it came through the hand-over to the main thread.
class ScriptedTarget : public ReplayTarget {
public:
    explicit ScriptedTarget(std::atomic<int64_t>& clock) : clock_(clock) {}

    bool RunOnMainThread(std::function<void()> action) override {
        if (mainThreadStopped) return false;
        onMainThread = true;
        action();
        onMainThread = false;
        return true;
    }
    void MouseMove(int x, int y) override { Note("move " + std::to_string(x) + "," + std::to_string(y)); }
    void KeyDown(int code) override { Note("down " + std::to_string(code)); }
    void KeyUp(int code) override { Note("up " + std::to_string(code)); }
    void ApplyPlayerUpdate(const uint8_t* data, size_t size) override {
        Note("update " + std::string(reinterpret_cast<const char*>(data), size));
    }
    void ResetGameTimer() override { Note("timer reset"); }
    void SetGameTimer(int32_t ms) override { Note("timer set " + std::to_string(ms)); }

    std::atomic<bool> onMainThread{false};
    bool mainThreadStopped = false;
    std::vector<std::string> calls;
    std::vector<int64_t> times;
    int callsOffTheMainThread = 0;

private:
    void Note(const std::string& call) {
        if (!onMainThread) ++callsOffTheMainThread;
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

    // Opens the recorder on `name`, keeping its console line out of the test output.
    void Open(DebugMode mode, const std::string& name) {
        testing::internal::CaptureStdout();
        DebugInit(mode, name.c_str());
        testing::internal::GetCapturedStdout();
    }

    void LoadReplay(const std::string& content) {
        dir.Write("run.dump", content);
        Open(kDebugReplay, Dump());
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

    TempDir dir;
    std::atomic<int64_t> now{1000};
};

// --- recording and saving -------------------------------------------------------

TEST_F(DebugManagerTest, RecordsTimeSinceOpeningKindLengthAndData) {
    dir.Write("run.dump", "left over from an earlier run");
    Open(kDebugRecord, Dump());
    EXPECT_EQ(dir.Read("run.dump"), "") << "opening a recording truncates the dump file";
    now = 1010;
    RecordKeyDown('a', 100, 200);
    now = 1305;
    const std::vector<uint8_t> update = AsBytes(std::string(24, '\x11'));
    RecordPlayerUpdate(update.data(), update.size());
    now = 1307;
    RecordTimerReset();
    RecordTimerSet(-61331);
    RecordLabel("Level: data/canyon");
    RecordLabel(std::string(300, 'x'));
    DebugSave();
    EXPECT_EQ(dir.Read("run.dump"),
              RecordBytes(10, 1, KeyBytes('a', 100, 200)) + RecordBytes(305, 7, std::string(24, '\x11')) +
                  RecordBytes(307, 8, "") + RecordBytes(307, 8, I32(-61331)) +
                  RecordBytes(307, 6, "\x12Level: data/canyon") + RecordBytes(307, 6, "\xff" + std::string(255, 'x')))
        << "a label is its length in one byte and at most 255 bytes of text";
    const std::string firstSave = dir.Read("run.dump");
    now = 1340;
    RecordKeyUp('x', 1, 2);
    DebugFinish();
    RecordTimerReset();
    DebugSave();
    EXPECT_EQ(dir.Read("run.dump"), firstSave + RecordBytes(340, 2, KeyBytes('x', 1, 2)))
        << "saves append; the recorder's finish is its last save";
}

// --- replay mode ----------------------------------------------------------------

TEST_F(DebugManagerTest, AnEmptyDumpIsAnEmptyReplay) {
    LoadReplay("");
    EXPECT_TRUE(DebugReplaying());
    EXPECT_TRUE(DebugPendingActions().empty());
}

// --- dump file failures --------------------------------------------------------

TEST_F(DebugManagerTest, UnopenableOrDamagedDumpsEndTheProgramWithTheirMessage) {
    const struct {
        const char* rule;
        DebugMode mode;
        std::string name, content, message;  // content is written to run.dump
    } cases[] = {
        {"uncreatable recording", kDebugRecord, dir.File("no/dir/run.dump"), "", "Could not reset dump file: "},
        {"missing replay", kDebugReplay, dir.File("missing.dump"), "", "Could not open dump file: "},
        {"length past the end", kDebugReplay, Dump(), RecordBytes(1, 8, "") + RecordBytes(2, 3, "abc").substr(0, 14),
         "Bad formatted dump file: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        dir.Write("run.dump", c.content);
        EXPECT_EQ(ExpectDumpExit([&] { DebugInit(c.mode, c.name.c_str()); }), c.message + c.name + "\n");
        EXPECT_FALSE(DebugRecording() || DebugReplaying());
        EXPECT_TRUE(DebugPendingActions().empty()) << "nothing of a damaged file is kept";
    }
}

TEST_F(DebugManagerTest, AFailedSaveEndsTheProgramAndLosesNoAction) {
    Open(kDebugRecord, Dump());
    RecordKeyDown('s', 0, 0);
    std::filesystem::remove(Dump());
    std::filesystem::create_directory(Dump());  // the dump's name now belongs to a directory
    EXPECT_EQ(ExpectDumpExit([] { DebugSave(); }), "Could not save dump file: " + Dump() + "\n");
    EXPECT_EQ(DebugPendingActions().size(), 1u) << "a failed save loses no action";
}

// --- replaying ------------------------------------------------------------------

TEST_F(DebugManagerTest, EachActionKindDrivesTheGameOrIsOnlyLogged) {
    const std::string update = std::string("\x10\x01", 2) + std::string(22, 'u');
    const struct {
        int32_t kind;
        std::string data;
        const char* line;
        std::vector<std::string> calls;
    } cases[] = {
        {kActionKeyDown, KeyBytes(97, 320, 240), "dbg   KeyDown: 97", {"move 320,240", "down 97"}},
        {kActionPlayerUpdate, update, "dbg   PlayerUpdate: 1", {"update " + update}},
        {kActionTimerReset, "", "dbg   Timer reset", {"timer reset"}},
        // The reset of a network race carries the clock reading the server gave it.
        {kActionTimerReset, I32(61331), "dbg   Timer set to 61331", {"timer set 61331"}},
        {kActionResized, I32(800) + I32(600), "dbg   Resized: width=800, height=600", {}},
        // Short data never reads past its end.
        {kActionLabel, "\tab", "dbg   Label: ab", {}},
        {kActionKeyDown, "", "dbg   KeyDown: 0", {"move 0,0", "down 0"}},
        {42, "abcde", "dbg w UNKNOWN: action 42, size 5", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ScriptedTarget target{now};
        ReportCapture capture;
        ReplayAction(DebugAction{0, c.kind, AsBytes(c.data)}, target);
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{c.line});
        EXPECT_EQ(target.calls, c.calls);
    }
}

class ReplayThreadTest : public DebugManagerTest {
protected:
    void SetUp() override {
        DebugManagerTest::SetUp();
        // Every reading moves the clock on a millisecond, so the thread's waits end
        // without the test waiting for real time.
        SetDebugClock([this] { return now++; });
    }

    void ReplayAndWait() {
        StartReplayThread(target);
        WaitForReplayThread();
    }

    ScriptedTarget target{now};
};

TEST_F(ReplayThreadTest, ReplaysOnTheMainThreadAtTheRecordedTimesSkippingUnknownKinds) {
    std::atomic<int> clockReadsOnTheMainThread{0};
    SetDebugClock([&] {
        if (target.onMainThread) ++clockReadsOnTheMainThread;
        return now++;
    });
    const std::string update = std::string("\x10\x02", 2) + std::string(22, '\0');
    LoadReplay(RecordBytes(40, 1, KeyBytes('a', 5, 6)) + RecordBytes(70, 42, "zz") + RecordBytes(120, 7, update) +
               RecordBytes(125, 8, "") + RecordBytes(200, 2, KeyBytes('a', 5, 6)));
    const int64_t start = now.load();
    ReportCapture capture;
    ReplayAndWait();
    EXPECT_EQ(target.calls, (std::vector<std::string>{"move 5,6", "down 97", "update " + update, "timer reset",
                                                      "move 5,6", "up 97"}));
    ASSERT_EQ(target.times.size(), 6u);
    EXPECT_GE(target.times[0] - start, 40);
    EXPECT_LT(target.times[0] - start, 60) << "the wait ends once the time is reached";
    EXPECT_GE(target.times[4] - start, 200);
    EXPECT_EQ(target.callsOffTheMainThread, 0) << "every replayed call runs on the main thread";
    EXPECT_EQ(clockReadsOnTheMainThread.load(), 0) << "the waits keep the main thread free";
}

TEST_F(ReplayThreadTest, EndsWhenTheMainThreadTakesNoMoreActions) {
    target.mainThreadStopped = true;
    LoadReplay(RecordBytes(0, 1, KeyBytes('w', 0, 0)) + RecordBytes(10, 2, KeyBytes('w', 0, 0)));
    ReportCapture capture;
    ReplayAndWait();
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(capture.Joined().find("Done all actions"), std::string::npos) << "a stopped replay did not do them all";
}

}  // namespace
