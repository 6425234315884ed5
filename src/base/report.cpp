#include "base/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <mutex>

namespace {

constexpr size_t kMessageBufferSize = 5000;

const char* const kModuleTags[kLogModuleCount] = {
    "snd ", "drw ", "gme ", "mod ", "plr ", "kav ", "net ", "txr ", "gui ", "scr ", "pts ", "dbg ", "srv ",
};

struct LogState {
    std::ofstream file;
    bool writeToFile = false;
    bool echoInfo = false;
    std::FILE* console = stdout;
    bool writeFailureTold = false;
    unsigned char moduleInfoEnabled[kLogModuleCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    // A mutex rather than a spin lock: the holder writes to the file and the console.
    std::mutex lock;
    FatalHandler fatalHandler = DefaultFatalHandler;
    ReportObserver observer;
};

LogState& State() {
    // Never destroyed: reports may still come from exit handlers after statics die.
    static LogState* state = new LogState;
    return *state;
}

// Modules outside the table (a number cast from elsewhere) still get a line.
int ModuleIndex(LogModule module) { return static_cast<int>(module); }

bool IsKnownModule(LogModule module) { return ModuleIndex(module) >= 0 && ModuleIndex(module) < kLogModuleCount; }

const char* ModuleTag(LogModule module) { return IsKnownModule(module) ? kModuleTags[ModuleIndex(module)] : "UKN "; }

const char* LevelMarker(LogLevel level) {
    switch (level) {
        case LogLevel::kFatal: return "F ";
        case LogLevel::kError: return "E ";
        case LogLevel::kWarning: return "w ";
        case LogLevel::kInfo: return "  ";
        default: return "U ";
    }
}

bool InfoEnabled(const LogState& state, LogModule module) {
    // Modules outside the table have no switch of their own and count as on.
    return !IsKnownModule(module) || state.moduleInfoEnabled[ModuleIndex(module)] != 0;
}

std::string TimePrefix() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d ", local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

void WriteHeader(std::ofstream& file) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[64];
    asctime_r(&local, date);  // 24 characters and its own line feed
    file << "\n" << std::flush;
    file << "--- " << date << std::flush;
    file << "\n" << std::flush;
}

// A full disk shows only when the stream writes its buffer out; the player then learns
// once, on the console, that kav.log misses lines.
void CheckFileWritten(LogState& state) {
    if (state.file.good() || state.writeFailureTold) return;
    state.writeFailureTold = true;
    std::fputs("could not write log file\n", state.console);
    std::fflush(state.console);
}

}  // namespace

void ReportInit(const char* name) {
    LogState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (name != nullptr) {
            state.file.open(name, std::ios::out | std::ios::trunc);
            state.writeToFile = state.file.is_open();
        } else {
            state.echoInfo = true;
            state.writeToFile = false;
        }
        if (!state.file.is_open()) {
            std::fputs("could not open log file\n", state.console);
            state.echoInfo = true;
            state.writeToFile = false;
        }
        if (state.writeToFile) {
            state.writeFailureTold = false;
            WriteHeader(state.file);
            CheckFileWritten(state);
        }
    }
    Report(LogModule::kKav, LogLevel::kInfo, "Report manager is initialized");
}

void Report(LogModule module, LogLevel level, const char* format, ...) {
    if (format == nullptr) return;
    // The line is built outside the lock; only the hand-over to the observer and the
    // file is serialised, so lines from several threads never interleave.
    char message[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    std::string line = TimePrefix();
    line += ModuleTag(module);
    line += LevelMarker(level);
    line += message;

    LogState& state = State();
    {
        // A scoped lock: an observer that throws must not leave every later report waiting.
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.observer) state.observer(module, level, line);
        line += '\n';
        if (state.writeToFile) {
            state.file << line;
            CheckFileWritten(state);
        }
        if (level != LogLevel::kInfo || (state.echoInfo && InfoEnabled(state, module))) {
            std::fputs(line.c_str(), state.console);
            std::fflush(state.console);
        }
    }

    if (level == LogLevel::kFatal) state.fatalHandler();
}

void ReportShutdown() {
    LogState& state = State();
    if (!state.file.is_open()) return;
    Report(LogModule::kKav, LogLevel::kInfo, "Report manager is destroyed");
    std::lock_guard<std::mutex> guard(state.lock);
    state.file.close();
    CheckFileWritten(state);
    state.file.clear();
    state.writeToFile = false;
}

void SetModuleInfoEnabled(LogModule module, bool on) {
    if (!IsKnownModule(module)) return;
    State().moduleInfoEnabled[ModuleIndex(module)] = on ? 1 : 0;
}

void SetReportConsole(std::FILE* stream, bool echoInfo) {
    LogState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.console = stream != nullptr ? stream : stdout;
    state.echoInfo = echoInfo;
}

void SetFatalHandler(FatalHandler handler) {
    State().fatalHandler = handler != nullptr ? handler : DefaultFatalHandler;
}

void DefaultFatalHandler() {
    std::fputs("Press enter to continue.", stdout);
    std::fflush(stdout);
    std::getchar();
    std::exit(1);
}

void SetReportObserver(ReportObserver observer) {
    LogState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.observer = std::move(observer);
}
