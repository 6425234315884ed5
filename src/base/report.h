#pragma once

#include <cstdio>
#include <functional>
#include <string>

// The process-wide log "kav.log": one formatted line per report, tagged with the
// reporting module and a severity marker. Usable from any thread.

enum class LogModule : int {
    kSound = 0,
    kDraw = 1,
    kGame = 2,
    kModel = 3,
    kPlayer = 4,
    kKav = 5,
    kNet = 6,
    kTexture = 7,
    kGui = 8,
    kScript = 9,
    kParticles = 10,
    kDebug = 11,
    kServer = 12,
};
constexpr int kLogModuleCount = 13;

enum class LogLevel : int {
    kFatal = 0,
    kError = 1,
    kWarning = 2,
    kInfo = 3,
};

void ReportInit(const char* name);
void Report(LogModule module, LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));
void ReportShutdown();
void SetModuleInfoEnabled(LogModule module, bool on);
// Where lines are echoed (the game: standard output, errors and warnings always, info
// lines only without a log file). A server keeps standard output for its own messages
// and echoes every line to standard error.
void SetReportConsole(std::FILE* stream, bool echoInfo);

// What a fatal report does after writing its line. The default asks for Enter and
// ends the process with status 1; tests and fuzz harnesses install one that throws
// so that a fatal path can be observed without leaving the process.
using FatalHandler = void (*)();
void SetFatalHandler(FatalHandler handler);
void DefaultFatalHandler();

// Sees every written line (without its line feed) while the log lock is held;
// it must not report. Used by tests to check what the game logs.
using ReportObserver = std::function<void(LogModule module, LogLevel level, const std::string& line)>;
void SetReportObserver(ReportObserver observer);
