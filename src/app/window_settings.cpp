#include "app/window_settings.h"

#include <algorithm>
#include <utility>

#include "base/ini_file.h"
#include "base/report.h"

namespace {

const char* const kSection = "Window";

int ReadSize(const IniFile& ini, const char* key, int fallback, int minimum) {
    if (!ini.HasKey(kSection, key)) return fallback;
    const int value = ini.GetInt(kSection, key);
    if (value <= 0 || value > WindowSettings::kMaxSize) return fallback;
    return std::max(value, minimum);
}

}  // namespace

WindowMode ReadWindowMode(const IniFile& ini, const WindowMode& fallback, int minWidth, int minHeight) {
    WindowMode mode;
    mode.width = ReadSize(ini, "Width", fallback.width, minWidth);
    mode.height = ReadSize(ini, "Height", fallback.height, minHeight);
    mode.fullscreen = ini.HasKey(kSection, "FullScreen") ? ini.GetBool(kSection, "FullScreen") : fallback.fullscreen;
    return mode;
}

WindowSettings::WindowSettings(std::string configFileName, Notice notice)
    : configFileName_(std::move(configFileName)), notice_(std::move(notice)) {}

WindowMode WindowSettings::Load(const WindowMode& fallback, int minWidth, int minHeight) {
    stored_ = ReadWindowMode(IniFile(configFileName_), fallback, minWidth, minHeight);
    return stored_;
}

void WindowSettings::OnWindowModeChanged(const WindowMode& mode) {
    // Resizing sends many sizes; only a real change touches the file, and a start that
    // changes nothing leaves kav.ini as it was.
    if (mode == stored_) return;
    IniFile settings(configFileName_);
    settings.SetInt(kSection, "Width", mode.width, true);
    settings.SetInt(kSection, "Height", mode.height, true);
    settings.SetInt(kSection, "FullScreen", mode.fullscreen ? 1 : 0, true);
    if (!settings.Save()) {
        Report(LogModule::kKav, LogLevel::kError, "Could not save settings to %s", configFileName_.c_str());
        return;
    }
    stored_ = mode;
}

void WindowSettings::OnWindowNotice(const std::string& text) {
    if (notice_) notice_(text);
}
