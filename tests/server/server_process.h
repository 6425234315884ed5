#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

// kav-server (or any program) as a child process whose standard output the caller
// reads; standard error goes nowhere. Killed at the end unless it already exited.
class Program {
public:
    Program(const std::string& path, std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        args.insert(args.begin(), path);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
    }
    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    // The first line on standard output, waiting at most 10 s for it.
    std::string FirstLine() {
        std::string line;
        char c = 0;
        pollfd ready{out_, POLLIN, 0};
        while (line.size() < 200 && poll(&ready, 1, 10000) == 1 && read(out_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    // Sends SIGTERM and returns the exit status.
    int Terminate() {
        kill(pid_, SIGTERM);
        return Wait();
    }
    // The exit status, waiting at most 10 s; -1 when it did not exit normally.
    int Wait() {
        int status = 0;
        for (int i = 0; i < 1000; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            pollfd none{-1, 0, 0};
            poll(&none, 0, 10);  // a bounded wait for the process to end, not for timing
        }
        return -1;
    }
    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};
