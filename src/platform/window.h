#pragma once

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
