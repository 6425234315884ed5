#pragma once

#include <string>

#include "base/vec3.h"
#include "platform/input.h"
#include "platform/window_root.h"

// The game's one window and its GL context, on the main thread. The rest of the
// program sees a root widget that gets the input and is asked to draw once per frame.

// Opens a window whose client area has the root's size at the root's position, then
// moves the root to (0, 0) inside it. A null title keeps the previous one. `bits` is
// the least colour depth wanted. Failures are shown to the player (a message box,
// or standard error without a display) and give false, with no window left over.
// On success the GL context is current and the bitmap font is built.
bool CreateGLWindow(const char* title, WindowRoot* root, int bits, bool fullscreen);

// Drops the font, the context and the window; safe to call without a window.
void KillGLWindow();

// Handles one event at a time and, whenever none is waiting, draws a frame: clear,
// the root's Draw, swap. Returns 0 after a quit request, with the window destroyed.
int MainLoop();

// One turn of MainLoop: the events waiting, then one frame. False once a quit request
// came (the window is then destroyed) or when there is no window.
bool RunFrame();

// Ends MainLoop after the events already waiting; callable from any thread.
void PostQuit();

// A new client size: ignored while minimised (a size of 0); below the root's minimum
// the window snaps back to the minimum; otherwise the root gets the size and Resize.
void ResizeRoot(WindowRoot* root, int width, int height);

enum class ResizeAction { kIgnore, kAccept, kSnapToMinimum };
ResizeAction DecideResize(const WindowRoot& root, int width, int height);

// Asks for a new client size; the root follows.
void SetWindowSize(int width, int height);

// The last accepted client size.
int WindowWidth();
int WindowHeight();

// The colour every frame starts from; opaque black until the level sets its own.
void SetClearColour(const Colour& rgba);

// The size the window has when it is not full screen, and whether it is full screen.
struct WindowMode {
    int width = 0;
    int height = 0;
    bool fullscreen = false;
};
inline bool operator==(const WindowMode& a, const WindowMode& b) {
    return a.width == b.width && a.height == b.height && a.fullscreen == b.fullscreen;
}
inline bool operator!=(const WindowMode& a, const WindowMode& b) { return !(a == b); }
WindowMode CurrentWindowMode();

// Full screen on the desktop's own mode (no mode switch), or back to the window at
// its last size. F11 and Alt+Enter toggle it.
void SetFullscreen(bool on);

// What the program hears of what the player does to the window itself, on the main
// thread between frames.
class WindowListener {
public:
    virtual ~WindowListener() = default;
    // The player resized the window or switched full screen on or off.
    virtual void OnWindowModeChanged(const WindowMode& mode) = 0;
    // A line for the player about what the window did ("Screenshot saved to ...").
    virtual void OnWindowNotice(const std::string& text) = 0;
};
// Null for none; the listener must outlive the main loop or be unset first.
void SetWindowListener(WindowListener* listener);

// Where F12 writes its numbered PNG files, relative to the working directory.
extern const char* const kScreenshotFolder;  // "screenshots"
