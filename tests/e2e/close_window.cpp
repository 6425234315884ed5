// Asks an X window to close the way a window manager's close box does, as a player
// closing the game would.
// Usage: close_window WINDOW_ID
#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>

namespace {

bool AskXWindowToClose(unsigned long xWindow) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xWindow;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, xWindow, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);  // flushes the request to the server
    return sent;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 2;
    }
    return AskXWindowToClose(std::strtoul(argv[1], nullptr, 0)) ? 0 : 1;
}
