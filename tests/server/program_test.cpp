#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <asio.hpp>
#include <string>
#include <vector>

#include "net/frame.h"
#include "net/protocol.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

// The real program as a host runs it: started with --port 0, it names its port on
// standard output, serves a client and stops cleanly on SIGTERM.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        args.insert(args.begin(), KAV_SERVER_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KAV_SERVER_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
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

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

TEST(Program, ListensOnAFreePortServesAndStopsCleanlyOnSigterm) {
    TempDir dir;
    Program server({"--port", "0", "--log", dir.File("server.log")});
    ASSERT_TRUE(server.Started());
    const std::string line = server.FirstLine();
    ASSERT_EQ(line.rfind("listening 0.0.0.0 ", 0), 0u) << line;
    const int port = std::stoi(line.substr(line.rfind(' ') + 1));
    ASSERT_GT(port, 0);

    asio::io_context io;
    asio::ip::tcp::socket socket(io);
    socket.connect({asio::ip::make_address("127.0.0.1"), static_cast<uint16_t>(port)});
    std::vector<uint8_t> frame;
    const Payload name = EncodeText("Alice");
    AppendFrame(frame, ToByte(MessageKind::kLogin), name.data(), name.size());
    asio::write(socket, asio::buffer(frame));
    uint8_t reply[4] = {};
    asio::read(socket, asio::buffer(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 4), (std::vector<uint8_t>{4, 0, 10, kStatusAccepted}));

    EXPECT_EQ(server.Terminate(), 0);
    EXPECT_NE(dir.Read("server.log").find("User Alice logged in from 127.0.0.1"), std::string::npos);
}

TEST(Program, PrintsItsDefaultConfigurationAndRefusesUnknownOptions) {
    Program defaults({"--print-default-config"});
    EXPECT_EQ(defaults.FirstLine().rfind("; kav-server configuration", 0), 0u);
    Program wrong({"--colour", "blue"});
    EXPECT_EQ(wrong.Wait(), 2);
}

}  // namespace
