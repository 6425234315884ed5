#include "platform/window.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <GL/gl.h>
#include <SDL.h>

#include "base/report.h"
#include "platform/font.h"
#include "platform/gamepad.h"
#include "platform/glyph_image.h"
#include "platform/input_events.h"
#include "platform/message_box.h"
#include "platform/screenshot.h"
#include "platform/virtual_pad.h"
#include "platform/window_keys.h"

namespace {

struct WindowState {
    WindowRoot* root = nullptr;
    std::string title = "mogui:win32";
    bool fullscreen = false;
    int width = 0;
    int height = 0;
    Colour clearColour{0, 0, 0, 1};
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    // Full screen switched on by the player (the desktop's mode), as opposed to the
    // full screen asked for at creation.
    bool desktopFullscreen = false;
    int windowedWidth = 0;
    int windowedHeight = 0;
    WindowListener* listener = nullptr;
    WindowKeyFilter windowKeys;
    bool screenshotWanted = false;
};

WindowState& State() {
    static WindowState state;
    return state;
}

// The video subsystem stays up once started, so that message boxes keep working
// after the window is gone.
bool StartWindowSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    // SIGINT and SIGTERM belong to the game, which ends through its own exit command.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window posts the quit itself, exactly once.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Only a desktop counts as a display: SDL would otherwise fall back to drawing
    // off screen, and a game started without a display would run unseen for ever.
    // SDL_VIDEODRIVER in the environment still picks any driver.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, std::getenv("WAYLAND_DISPLAY") != nullptr ? "x11,wayland" : "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    Report(LogModule::kKav, LogLevel::kError, "SDL: %s", SDL_GetError());
    return false;
}

// The display switches to the closest mode at least as large; the root then
// takes that mode's size.
bool FullscreenModeAvailable(int width, int height, int bits) {
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    wanted.format = bits > 16 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    SDL_DisplayMode closest{};
    return SDL_GetClosestDisplayMode(0, &wanted, &closest) != nullptr;
}

void RequestPixelFormat(int bits) {
    const int channelBits = bits >= 24 ? 8 : bits / 3;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

bool CreationFailed(const std::string& text) {
    Report(LogModule::kKav, LogLevel::kError, "SDL: %s", SDL_GetError());
    KillGLWindow();
    ShowMessageBox("ERROR", text.c_str(), MessageIcon::kWarning);
    return false;
}

std::string WithErrorCode(const char* format, int code) {
    char text[128];
    std::snprintf(text, sizeof text, format, code);
    return text;
}

struct WindowPlace {
    int x;
    int y;
    int width;
    int height;
};

bool OpenWindowWithContext(const WindowPlace& place, int bits) {
    WindowState& state = State();
    RequestPixelFormat(bits);
    const Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | (state.fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE);
    errno = 0;
    state.window = SDL_CreateWindow(state.title.c_str(), place.x, place.y, place.width, place.height, flags);
    if (state.window == nullptr) return CreationFailed(WithErrorCode("Window Creation Error.\nError : %d.", errno));
    if (state.fullscreen) SDL_ShowCursor(SDL_DISABLE);
    state.context = SDL_GL_CreateContext(state.window);
    if (state.context == nullptr) return CreationFailed("Can't Create A GL Rendering Context.");
    if (SDL_GL_MakeCurrent(state.window, state.context) != 0)
        return CreationFailed("Can't Activate The GL Rendering Context.");
    // Frames follow each other as fast as they are drawn.
    SDL_GL_SetSwapInterval(0);
    return true;
}

void ShowAndResize(WindowRoot& root) {
    SDL_Window* window = State().window;
    SDL_SetWindowMinimumSize(window, root.MinWidth(), root.MinHeight());
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_DisableScreenSaver();
    // Typed characters come from the key codes themselves; an input method would
    // only swallow keys.
    SDL_StopTextInput();
    ResetInput();
    // In full screen the client area is the size of the display mode chosen.
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    ResizeRoot(&root, width, height);
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    WindowState& state = State();
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED: ResizeRoot(state.root, event.data1, event.data2); break;
        case SDL_WINDOWEVENT_CLOSE: PostQuit(); break;
        default: break;
    }
}

void Notify(const std::string& text) {
    Report(LogModule::kKav, LogLevel::kInfo, "%s", text.c_str());
    WindowListener* listener = State().listener;
    if (listener != nullptr) listener->OnWindowNotice(text);
}

void TakeScreenshot() {
    WindowState& state = State();
    state.screenshotWanted = false;
    const std::string path = SaveScreenshot(kScreenshotFolder, state.width, state.height);
    Notify(path.empty() ? std::string("Could not save a screenshot") : "Screenshot saved to " + path);
}

void DrawFrame() {
    WindowState& state = State();
    const Colour& clear = state.clearColour;
    glClearColor(clear.r, clear.g, clear.b, clear.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    state.root->Draw();
    // Read before the swap, while the back buffer still holds the whole frame.
    if (state.screenshotWanted) TakeScreenshot();
    SDL_GL_SwapWindow(state.window);
}

// True when the event was a window key, which the game then never sees.
bool HandleWindowKey(const SDL_Event& event) {
    WindowState& state = State();
    WindowKey action = WindowKey::kNone;
    if (!state.windowKeys.Takes(event, action)) return false;
    if (action == WindowKey::kToggleFullscreen) SetFullscreen(!state.desktopFullscreen);
    if (action == WindowKey::kScreenshot) state.screenshotWanted = true;
    return true;
}

}  // namespace

bool CreateGLWindow(const char* title, WindowRoot* root, int bits, bool fullscreen) {
    WindowState& state = State();
    if (title != nullptr) state.title = title;
    if (root == nullptr) {
        Report(LogModule::kKav, LogLevel::kError, "No root widget for the window");
        return false;
    }
    KillGLWindow();
    state.root = root;
    state.desktopFullscreen = false;
    state.screenshotWanted = false;
    state.windowedWidth = root->Width();
    state.windowedHeight = root->Height();
    const WindowPlace place{root->X(), root->Y(), root->Width(), root->Height()};
    root->SetPosition(0, 0);
    state.fullscreen = fullscreen;

    if (!StartWindowSystem()) {
        ShowMessageBox("ERROR", "Failed To Register The Window Class.", MessageIcon::kWarning);
        return false;
    }
    StartPads();
    StartVirtualPads();
    if (state.fullscreen && !FullscreenModeAvailable(place.width, place.height, bits)) {
        if (!AskYesNo(
                "Vexo GL",
                "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?")) {
            ShowMessageBox("ERROR", "Program Will Now Close.", MessageIcon::kError);
            return false;
        }
        state.fullscreen = false;
    }
    if (!OpenWindowWithContext(place, bits)) return false;
    ShowAndResize(*root);

    SetClearColour(Colour{0, 0, 0, 1});
    const std::vector<uint8_t>& glyphs = BuiltInGlyphImage();
    return BuildFont(glyphs.data(), kGlyphImageSize, kGlyphImageSize);
}

void KillGLWindow() {
    WindowState& state = State();
    if (state.fullscreen) SDL_ShowCursor(SDL_ENABLE);
    if (state.context != nullptr) {
        // The font's lists and texture live in this context.
        KillFont();
        if (SDL_GL_MakeCurrent(state.window, nullptr) != 0)
            ShowMessageBox("SHUTDOWN ERROR", "Release Of DC And RC Failed.", MessageIcon::kInformation);
        SDL_GL_DeleteContext(state.context);
        state.context = nullptr;
    }
    if (state.window != nullptr) {
        SDL_DestroyWindow(state.window);
        state.window = nullptr;
    }
    // The root may not outlive the window (the application is destroyed next).
    state.root = nullptr;
}

int MainLoop() {
    while (RunFrame()) {}
    return 0;
}

bool RunFrame() {
    WindowState& state = State();
    if (state.window == nullptr || state.root == nullptr) return false;
    PumpVirtualPads();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            KillGLWindow();
            return false;
        }
        if (event.type == SDL_WINDOWEVENT)
            HandleWindowEvent(event.window);
        else if (!HandleWindowKey(event) && !HandlePadEvent(*state.root, event))
            HandleInputEvent(*state.root, event, static_cast<Uint16>(SDL_GetModState()));
    }
    DrawFrame();
    return true;
}

void PostQuit() {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

ResizeAction DecideResize(const WindowRoot& root, int width, int height) {
    if (width == 0 || height == 0) return ResizeAction::kIgnore;
    if (width < root.MinWidth() || height < root.MinHeight()) return ResizeAction::kSnapToMinimum;
    return ResizeAction::kAccept;
}

void ResizeRoot(WindowRoot* root, int width, int height) {
    if (root == nullptr) return;
    switch (DecideResize(*root, width, height)) {
        case ResizeAction::kIgnore: return;
        case ResizeAction::kSnapToMinimum: SetWindowSize(root->MinWidth(), root->MinHeight()); return;
        case ResizeAction::kAccept: break;
    }
    WindowState& state = State();
    state.width = width;
    state.height = height;
    root->SetSize(width, height);
    root->Resize();
    if (state.desktopFullscreen || state.fullscreen || state.window == nullptr) return;
    if (width == state.windowedWidth && height == state.windowedHeight) return;
    state.windowedWidth = width;
    state.windowedHeight = height;
    if (state.listener != nullptr) state.listener->OnWindowModeChanged(CurrentWindowMode());
}

void SetWindowSize(int width, int height) {
    WindowState& state = State();
    if (state.window == nullptr) return;
    SDL_SetWindowSize(state.window, width, height);
    ResizeRoot(state.root, width, height);
}

int WindowWidth() { return State().width; }
int WindowHeight() { return State().height; }

void SetClearColour(const Colour& rgba) { State().clearColour = rgba; }

const char* const kScreenshotFolder = "screenshots";

WindowMode CurrentWindowMode() {
    const WindowState& state = State();
    return WindowMode{state.windowedWidth, state.windowedHeight, state.desktopFullscreen};
}

void SetFullscreen(bool on) {
    WindowState& state = State();
    if (state.window == nullptr || state.fullscreen || on == state.desktopFullscreen) return;
    if (SDL_SetWindowFullscreen(state.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        Report(LogModule::kKav, LogLevel::kError, "SDL: %s", SDL_GetError());
        return;
    }
    state.desktopFullscreen = on;
    // Without a window manager nobody else puts the old size back.
    if (!on) SDL_SetWindowSize(state.window, state.windowedWidth, state.windowedHeight);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(state.window, &width, &height);
    ResizeRoot(state.root, width, height);
    Report(LogModule::kKav, LogLevel::kInfo, on ? "Switched to full screen" : "Switched to a window");
    if (state.listener != nullptr) state.listener->OnWindowModeChanged(CurrentWindowMode());
}

void SetWindowListener(WindowListener* listener) { State().listener = listener; }
