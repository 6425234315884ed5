#include "support/report_capture.h"

#include <algorithm>
#include <string>

#include "base/report.h"

namespace {

thread_local std::string lastFatalLine;

void ThrowOnFatal() { throw FatalReport{lastFatalLine}; }

constexpr size_t kTimePrefixLength = 9;    // "hh:mm:ss "
constexpr size_t kTagAndMarkerLength = 6;  // "gme w "

}  // namespace

ReportCapture::ReportCapture() {
    SetReportObserver([this](LogModule, LogLevel level, const std::string& line) {
        std::string withoutTime = line.size() >= kTimePrefixLength ? line.substr(kTimePrefixLength) : line;
        lines_.push_back(withoutTime);
        if (level == LogLevel::kFatal) lastFatalLine = withoutTime;
    });
    SetFatalHandler(ThrowOnFatal);
}

ReportCapture::~ReportCapture() {
    SetReportObserver(nullptr);
    SetFatalHandler(nullptr);
}

std::vector<std::string> ReportCapture::Messages() const {
    std::vector<std::string> messages;
    for (const auto& line : lines_)
        messages.push_back(line.size() >= kTagAndMarkerLength ? line.substr(kTagAndMarkerLength) : line);
    return messages;
}

bool ReportCapture::Contains(const std::string& message) const { return Count(message) > 0; }

int ReportCapture::Count(const std::string& message) const {
    auto messages = Messages();
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

std::string ReportCapture::Joined() const {
    std::string joined;
    for (const auto& line : lines_) joined += line + "\n";
    return joined;
}
