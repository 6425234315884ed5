#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A program this one starts and owns: its standard output comes back through a pipe
// that is read without waiting, so the frame that polls it keeps drawing. The child
// never outlives its owner: Stop runs in the destructor, and the system sends the
// child SIGTERM should this process die without one (a crash, SIGKILL).
class ChildProcess {
public:
    // Longest output line taken; a longer one is not an answer worth waiting for.
    static constexpr size_t kMaxLine = 256;
    static constexpr int kStopTimeLimitMs = 3000;

    enum class Output { kLine, kNothing, kClosed, kTooLong };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Runs `path` with `args` (argv[1] on), standard input from /dev/null, standard
    // error shared with this process. A running child is stopped first. False with
    // `error` naming the cause ("No such file or directory") when it cannot run.
    bool Start(const std::string& path, const std::vector<std::string>& args, std::string& error);

    // Takes the next whole line of the child's output, without its line feed, when one
    // has arrived; never waits.
    Output ReadLine(std::string& line);

    // Whether the child has ended (it is then reaped); `how` says how it ended
    // ("exited with status 2", "was killed by signal 9").
    bool HasExited(std::string& how);

    // SIGTERM, then waits up to `timeLimitMs` for the child to end, SIGKILL after that
    // (a killed child ends at once); the pipe is closed. Does nothing without a child.
    void Stop(int timeLimitMs = kStopTimeLimitMs);

    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

private:
    void ClosePipe();
    // Reaps the child if it has ended; true then, with `how` set.
    bool Reap(int options, std::string& how);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
};

// The directory of the running program's file ("/home/me/kav/build"), where the
// programs it starts are installed beside it; empty when the system does not say.
std::string ExecutableDirectory();
