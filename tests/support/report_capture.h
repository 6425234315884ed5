#pragma once

#include <string>
#include <vector>

// Collects the log lines written while it lives, and turns fatal reports into a
// FatalReport exception so a test can watch a fatal path without the process ending.
struct FatalReport {
    std::string line;
};

class ReportCapture {
public:
    ReportCapture();
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // Lines as written, without their time prefix ("gme w No levels to play").
    const std::vector<std::string>& Lines() const { return lines_; }
    // Only the message part of each line.
    std::vector<std::string> Messages() const;
    bool Contains(const std::string& message) const;
    int Count(const std::string& message) const;
    std::string Joined() const;
    void Clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};
