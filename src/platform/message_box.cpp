#include "platform/message_box.h"

#include <cstdio>

#include <SDL.h>

namespace {

bool WindowSystemUp() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

Uint32 IconFlag(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kError: return SDL_MESSAGEBOX_ERROR;
        case MessageIcon::kWarning: return SDL_MESSAGEBOX_WARNING;
        case MessageIcon::kInformation: return SDL_MESSAGEBOX_INFORMATION;
    }
    return SDL_MESSAGEBOX_WARNING;
}

void PrintToStandardError(const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

}  // namespace

void ShowMessageBox(const char* title, const char* text, MessageIcon icon) {
    if (WindowSystemUp() &&
        SDL_ShowSimpleMessageBox(IconFlag(icon), title ? title : "", text ? text : "", SDL_GL_GetCurrentWindow()) == 0)
        return;
    PrintToStandardError(title, text);
}

bool AskYesNo(const char* title, const char* text) {
    if (WindowSystemUp()) {
        const SDL_MessageBoxButtonData buttons[] = {
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        };
        const SDL_MessageBoxData box = {SDL_MESSAGEBOX_WARNING,
                                        SDL_GL_GetCurrentWindow(),
                                        title ? title : "",
                                        text ? text : "",
                                        2,
                                        buttons,
                                        nullptr};
        int chosen = 0;
        if (SDL_ShowMessageBox(&box, &chosen) == 0) return chosen == 1;
    }
    PrintToStandardError(title, text);
    return false;
}
