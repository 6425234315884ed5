#pragma once

#include <functional>
#include <string>

#include "platform/window.h"

class IniFile;

// The window's size and mode, kept in [Window] of kav.ini (Width, Height, FullScreen):
// read at start-up and written whenever the player changes them, so the next start
// looks like the last one ended.
class WindowSettings : public WindowListener {
public:
    using Notice = std::function<void(const std::string&)>;

    WindowSettings(std::string configFileName, Notice notice);

    // What kav.ini asks for; `fallback` for what it lacks or gets wrong. Sizes below
    // the minimum grow to it.
    WindowMode Load(const WindowMode& fallback, int minWidth, int minHeight);

    void OnWindowModeChanged(const WindowMode& mode) override;
    void OnWindowNotice(const std::string& text) override;

    // The largest size kav.ini may ask for; anything above is a typo.
    static constexpr int kMaxSize = 16384;

private:
    std::string configFileName_;
    Notice notice_;
    WindowMode stored_;
};

WindowMode ReadWindowMode(const IniFile& ini, const WindowMode& fallback, int minWidth, int minHeight);
