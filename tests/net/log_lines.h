#pragma once

#include <string>

#include "support/report_capture.h"

// The whole line as logged, with its module tag and level marker ("net E ...").
inline bool HasLine(const ReportCapture& log, const std::string& line) {
    for (const std::string& logged : log.Lines())
        if (logged == line) return true;
    return false;
}
