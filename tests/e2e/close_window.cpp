// Asks an X window to close the way a window manager's close box does.
// Usage: close_window WINDOW_ID
#include <cstdio>
#include <cstdlib>

#include "platform/close_request.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 2;
    }
    return AskXWindowToClose(std::strtoul(argv[1], nullptr, 0)) ? 0 : 1;
}
