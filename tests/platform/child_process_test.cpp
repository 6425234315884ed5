#include "platform/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "eventually.h"

namespace {

using Output = ChildProcess::Output;

Output NextOutput(ChildProcess& child, std::string& line) {
    Output output = Output::kNothing;
    Eventually([&] { return (output = child.ReadLine(line)) != Output::kNothing; });
    return output;
}

bool ProcessGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

bool StartShell(ChildProcess& child, const std::string& script) {
    std::string error;
    return child.Start("/bin/sh", {"-c", script}, error);
}

}  // namespace

TEST(ChildProcess, OutputArrivesLineByLineAndTheEndIsToldHow) {
    struct Case {
        const char* script;
        Output first;
        const char* line;
        const char* ended;  // empty: still running
    } const cases[] = {
        {"echo listening 127.0.0.1 5000; exec sleep 30", Output::kLine, "listening 127.0.0.1 5000", ""},
        {"printf 'no line feed'; exit 3", Output::kClosed, "", "exited with status 3"},
        {"printf '%0300d' 0; exec sleep 30", Output::kTooLong, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, c.script));
        std::string line;
        EXPECT_EQ(NextOutput(child, line), c.first);
        if (c.first == Output::kLine) {
            EXPECT_EQ(line, c.line);
        }
        if (*c.ended == '\0') continue;
        // The output closes a moment before the child can be reaped.
        std::string how;
        EXPECT_TRUE(Eventually([&] { return child.HasExited(how); }));
        EXPECT_EQ(how, c.ended);
        EXPECT_FALSE(child.Running());
    }
}

TEST(ChildProcess, AProgramThatCannotRunIsNamedWithTheReason) {
    ChildProcess child;
    std::string error;
    EXPECT_FALSE(child.Start("/nonexistent/kav-server", {}, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(child.Running());
}

TEST(ChildProcess, StopOrTheOwnerGoingEndsTheChildEvenWhenItIgnoresTheRequest) {
    for (const char* script : {"echo ready; exec sleep 30", "trap '' TERM; echo ready; exec sleep 30"}) {
        SCOPED_TRACE(script);
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, script));
        std::string line;
        // Once it has spoken, the trap is in place.
        ASSERT_EQ(NextOutput(child, line), Output::kLine);
        const pid_t pid = child.Pid();
        child.Stop(100);
        EXPECT_FALSE(child.Running());
        EXPECT_TRUE(ProcessGone(pid));
        EXPECT_EQ(child.ReadLine(line), Output::kClosed);
    }
    pid_t pid = -1;
    {
        ChildProcess child;
        ASSERT_TRUE(StartShell(child, "exec sleep 30"));
        pid = child.Pid();
        EXPECT_FALSE(ProcessGone(pid));
    }
    EXPECT_TRUE(ProcessGone(pid)) << "the owner going stops the child";
}

TEST(ChildProcess, TheChildHoldsNoneOfTheParentsFiles) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ChildProcess child;
    ASSERT_TRUE(StartShell(child, "echo ready; exec sleep 30"));
    std::string line;
    ASSERT_EQ(NextOutput(child, line), Output::kLine);
    close(ends[1]);
    // Only a write end still open in the child would keep the pipe from reading as ended.
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    EXPECT_EQ(read(ends[0], &byte, 1), 0);
    close(ends[0]);
}
