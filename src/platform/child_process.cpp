#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr size_t kReadChunk = 512;
constexpr auto kStopPollStep = std::chrono::milliseconds(5);

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Only async-signal-safe calls between fork and exec: the parent has other threads,
// whose locks the child's copy of memory may hold.
[[noreturn]] void RunChild(const char* path, char* const* argv, int input, int output, int errorPipe, pid_t parent) {
    // Should the game die without stopping its server, the server is told to stop.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number : {SIGINT, SIGTERM, SIGPIPE}) signal(number, SIG_DFL);
    if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0) {
        const int error = errno;
        (void)!write(errorPipe, &error, sizeof error);
        _exit(127);
    }
    // The game's window connection, log and sockets are not the child's business.
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    execv(path, argv);
    const int error = errno;
    (void)!write(errorPipe, &error, sizeof error);
    _exit(127);
}

// What the child wrote on the error pipe before exec failed; 0 when exec succeeded
// (the pipe closed on exec without a word).
int ReadExecError(int errorPipe) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(errorPipe, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Start(const std::string& path, const std::vector<std::string>& args, std::string& error) {
    Stop();
    std::vector<std::string> words{path};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int output[2] = {-1, -1};
    int errors[2] = {-1, -1};
    int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input < 0 || pipe2(output, O_CLOEXEC) != 0 || pipe2(errors, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        for (int* fd : {&input, &output[0], &output[1], &errors[0], &errors[1]}) CloseFd(*fd);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) RunChild(argv[0], argv.data(), input, output[1], errors[1], parent);
    const int forkError = errno;
    for (int* fd : {&input, &output[1], &errors[1]}) CloseFd(*fd);
    if (pid < 0) {
        error = std::strerror(forkError);
        CloseFd(output[0]);
        CloseFd(errors[0]);
        return false;
    }
    const int execError = ReadExecError(errors[0]);
    CloseFd(errors[0]);
    pid_ = pid;
    output_ = output[0];
    if (execError != 0) {
        Stop();
        error = std::strerror(execError);
        return false;
    }
    fcntl(output_, F_SETFL, fcntl(output_, F_GETFL) | O_NONBLOCK);
    return true;
}

ChildProcess::Output ChildProcess::ReadLine(std::string& line) {
    for (;;) {
        const size_t feed = pending_.find('\n');
        if (feed != std::string::npos && feed <= kMaxLine) {
            line = pending_.substr(0, feed);
            pending_.erase(0, feed + 1);
            return Output::kLine;
        }
        if (pending_.size() > kMaxLine) return Output::kTooLong;
        if (output_ < 0) return Output::kClosed;
        char chunk[kReadChunk];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got > 0) {
            pending_.append(chunk, static_cast<size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Output::kNothing;
        ClosePipe();
    }
}

bool ChildProcess::HasExited(std::string& how) { return pid_ <= 0 || Reap(WNOHANG, how); }

bool ChildProcess::Reap(int options, std::string& how) {
    int status = 0;
    pid_t got = -1;
    do {
        got = waitpid(pid_, &status, options);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return false;
    if (got < 0) {
        how = "could not be waited for";
    } else if (WIFEXITED(status)) {
        how = "exited with status " + std::to_string(WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        how = "was killed by signal " + std::to_string(WTERMSIG(status));
    } else {
        how = "ended";
    }
    pid_ = -1;
    return true;
}

void ChildProcess::Stop(int timeLimitMs) {
    if (pid_ > 0) {
        std::string how;
        kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
        while (!Reap(WNOHANG, how) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(kStopPollStep);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            Reap(0, how);
        }
    }
    ClosePipe();
}

void ChildProcess::ClosePipe() {
    CloseFd(output_);
    pending_.clear();
}

std::string ExecutableDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    const std::string file(path, static_cast<size_t>(length));
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash == 0 ? 1 : slash);
}
