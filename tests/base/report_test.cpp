#include "base/report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <regex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

TEST(ReportLine, TagsFollowTheModuleNumbersAndMarkersTheLevels) {
    ReportCapture capture;
    Report(LogModule::kServer, LogLevel::kInfo, "b");
    Report(static_cast<LogModule>(13), LogLevel::kInfo, "c");
    Report(LogModule::kGame, LogLevel::kWarning, "No levels to play");
    Report(LogModule::kGame, LogLevel::kError, "x");
    Report(LogModule::kGame, static_cast<LogLevel>(7), "y");
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::string>{"srv   b", "UKN   c", "gme w No levels to play", "gme E x", "gme U y"}));
}

TEST(ReportLine, StartsWithTheTimeAndIsCutAt4999Characters) {
    std::string seen;
    SetReportObserver([&](LogModule, LogLevel, const std::string& line) { seen = line; });
    Report(LogModule::kKav, LogLevel::kInfo, "%d and %s", 5, "five");
    SetReportObserver(nullptr);
    EXPECT_TRUE(std::regex_match(seen, std::regex(R"(\d\d:\d\d:\d\d kav   5 and five)"))) << seen;
    ReportCapture capture;
    Report(LogModule::kKav, LogLevel::kInfo, "%s", std::string(6000, 'x').c_str());
    EXPECT_EQ(capture.Messages().at(0).size(), 4999u);
}

TEST(ReportLine, LinesFromManyThreadsNeverInterleave) {
    ReportCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) Report(LogModule::kNet, LogLevel::kInfo, "thread %d line %d", t, i);
        });
    for (auto& thread : threads) thread.join();
    ASSERT_EQ(capture.Lines().size(), 800u);
    for (const auto& line : capture.Lines())
        EXPECT_TRUE(std::regex_match(line, std::regex(R"(net   thread \d line \d+)")));
}

TEST(ReportLine, AnObserverThatThrowsLeavesTheLogUsable) {
    auto seen = std::make_shared<std::vector<std::string>>();
    SetReportObserver([seen](LogModule, LogLevel, const std::string& line) {
        if (line.find("first") != std::string::npos) throw std::runtime_error("observer failed");
        seen->push_back(line.substr(line.find(' ') + 1));
    });
    EXPECT_THROW(Report(LogModule::kGui, LogLevel::kInfo, "first"), std::runtime_error);
    // A lock left taken would make the next report wait for ever, so it runs on a thread
    // of its own and the test gives up on it rather than hanging the suite.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> reported = done->get_future();
    std::thread next([done] {
        Report(LogModule::kGui, LogLevel::kInfo, "second");
        done->set_value();
    });
    if (reported.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        next.detach();
        FAIL() << "the log stays locked after the observer threw";
    }
    next.join();
    SetReportObserver(nullptr);
    EXPECT_EQ(*seen, std::vector<std::string>{"gui   second"});
}

TEST(ReportFile, HeaderThenLinesAndInfoStaysOffTheConsole) {
    TempDir dir;
    testing::internal::CaptureStdout();
    ReportInit(dir.File("kav.log").c_str());
    SetModuleInfoEnabled(LogModule::kGame, false);
    Report(LogModule::kGame, LogLevel::kInfo, "quiet info");
    Report(LogModule::kGame, LogLevel::kWarning, "loud warning");
    ReportShutdown();
    SetModuleInfoEnabled(LogModule::kGame, true);
    std::string console = testing::internal::GetCapturedStdout();

    std::string log = dir.Read("kav.log");
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(^\n--- \w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4}\n\n)"))) << log;
    EXPECT_NE(log.find("gme   quiet info\n"), std::string::npos);
    EXPECT_EQ(console.find("quiet info"), std::string::npos);
    EXPECT_NE(console.find("gme w loud warning\n"), std::string::npos);
}

// /dev/full takes the file open but refuses every write, as a full disk does.
TEST(ReportFile, ALogThatCannotBeWrittenSaysSoOnTheConsoleOnce) {
    testing::internal::CaptureStdout();
    ReportInit("/dev/full");
    for (int i = 0; i < 3000; ++i)
        Report(LogModule::kGame, LogLevel::kInfo, "line %d that fills the stream's buffer", i);
    Report(LogModule::kGame, LogLevel::kError, "an error still reaches the console");
    ReportShutdown();
    const std::string console = testing::internal::GetCapturedStdout();

    const std::string told = "could not write log file\n";
    ASSERT_NE(console.find(told), std::string::npos) << console;
    EXPECT_EQ(console.find(told, console.find(told) + 1), std::string::npos) << "told more than once:\n" << console;
    EXPECT_EQ(console.find("could not open log file"), std::string::npos) << "the file did open";
    EXPECT_NE(console.find("gme E an error still reaches the console\n"), std::string::npos);
}

}  // namespace
