#include "platform/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

ChildProcess::Output NextOutput(ChildProcess& child, std::string& line) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    ChildProcess::Output output = ChildProcess::Output::kNothing;
    while (output == ChildProcess::Output::kNothing && std::chrono::steady_clock::now() < deadline) {
        output = child.ReadLine(line);
        if (output == ChildProcess::Output::kNothing) std::this_thread::yield();
    }
    return output;
}

bool ProcessGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

bool StartShell(ChildProcess& child, const std::string& script) {
    std::string error;
    return child.Start("/bin/sh", {"-c", script}, error);
}

}  // namespace

TEST(ChildProcess, OutputArrivesLineByLine) {
    struct Case {
        const char* script;
        ChildProcess::Output first;
        const char* line;
    } const cases[] = {
        {"echo listening 127.0.0.1 5000; exec sleep 30", ChildProcess::Output::kLine, "listening 127.0.0.1 5000"},
        {"printf 'no line feed'", ChildProcess::Output::kClosed, ""},
        {"exit 3", ChildProcess::Output::kClosed, ""},
        {"printf '%0300d' 0; exec sleep 30", ChildProcess::Output::kTooLong, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, c.script));
        std::string line;
        EXPECT_EQ(NextOutput(child, line), c.first);
        if (c.first == ChildProcess::Output::kLine) {
            EXPECT_EQ(line, c.line);
        }
    }
}

TEST(ChildProcess, SaysHowItEnded) {
    ChildProcess child;
    ASSERT_TRUE(StartShell(child, "exit 3"));
    std::string line;
    ASSERT_EQ(NextOutput(child, line), ChildProcess::Output::kClosed);
    // The output closes a moment before the child can be reaped.
    std::string how;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!child.HasExited(how) && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(how, "exited with status 3");
    EXPECT_FALSE(child.Running());
}

TEST(ChildProcess, AProgramThatCannotRunIsNamedWithTheReason) {
    struct Case {
        const char* path;
        const char* reason;
    } const cases[] = {
        {"/nonexistent/kav-server", "No such file or directory"},
        {"/etc/passwd", "Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ChildProcess child;
        std::string error;
        EXPECT_FALSE(child.Start(c.path, {}, error));
        EXPECT_EQ(error, c.reason);
        EXPECT_FALSE(child.Running());
    }
}

TEST(ChildProcess, StopEndsTheChildEvenWhenItIgnoresTheRequest) {
    const char* const scripts[] = {"echo ready; exec sleep 30", "trap '' TERM; echo ready; exec sleep 30"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, script));
        std::string line;
        // Once it has spoken, the trap is in place.
        ASSERT_EQ(NextOutput(child, line), ChildProcess::Output::kLine);
        const pid_t pid = child.Pid();
        child.Stop(100);
        EXPECT_FALSE(child.Running());
        EXPECT_TRUE(ProcessGone(pid));
        EXPECT_EQ(child.ReadLine(line), ChildProcess::Output::kClosed);
    }
}

TEST(ChildProcess, TheOwnerGoingStopsTheChild) {
    pid_t pid = -1;
    {
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, "exec sleep 30"));
        pid = child.Pid();
        EXPECT_FALSE(ProcessGone(pid));
    }
    EXPECT_TRUE(ProcessGone(pid));
}

TEST(ChildProcess, TheChildHoldsNoneOfTheParentsFiles) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ChildProcess child;
    ASSERT_TRUE(StartShell(child, "echo ready; exec sleep 30"));
    std::string line;
    ASSERT_EQ(NextOutput(child, line), ChildProcess::Output::kLine);
    close(ends[1]);
    // Only a write end still open in the child would keep the pipe from reading as ended.
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    EXPECT_EQ(read(ends[0], &byte, 1), 0);
    close(ends[0]);
}
