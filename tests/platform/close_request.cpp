#include "close_request.h"

#include <X11/Xlib.h>

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
