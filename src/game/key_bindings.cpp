#include "game/key_bindings.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "base/ini_file.h"
#include "base/report.h"
#include "platform/window_root.h"

namespace {

struct ActionBinding {
    const char* name;
    int command;
    int player;
    int kind;
};

const ActionBinding kKeyActions[] = {
    {"PLAYER_0_INCREASE_SPEED", kControlSpeedUp, 0, kBindingShipControl},
    {"PLAYER_0_DECREASE_SPEED", kControlSlowDown, 0, kBindingShipControl},
    {"PLAYER_0_TURN_LEFT", kControlTurnLeft, 0, kBindingShipControl},
    {"PLAYER_0_TURN_RIGHT", kControlTurnRight, 0, kBindingShipControl},
    {"PLAYER_0_FIRE", kControlFire, 0, kBindingShipControl},
    {"PLAYER_1_INCREASE_SPEED", kControlSpeedUp, 1, kBindingShipControl},
    {"PLAYER_1_DECREASE_SPEED", kControlSlowDown, 1, kBindingShipControl},
    {"PLAYER_1_TURN_LEFT", kControlTurnLeft, 1, kBindingShipControl},
    {"PLAYER_1_TURN_RIGHT", kControlTurnRight, 1, kBindingShipControl},
    {"PLAYER_1_FIRE", kControlFire, 1, kBindingShipControl},
    {"NEXT_CAMERA", kCommandNextCamera, -1, kBindingCamera},
    {"PREVIOUS_CAMERA", kCommandPreviousCamera, -1, kBindingCamera},
    {"RELOAD_LEVEL", kCommandReloadLevel, -1, kBindingCommand},
    {"MUTE_SOUND", kCommandMuteSound, -1, kBindingCommand},
    {"SHOW_MENU", kCommandShowMenu, -1, kBindingCommand},
    {"RESET_CAMERA", kCommandResetCamera, -1, kBindingCommand},
    {"SHOW_SCORE", kCommandShowScore, -1, kBindingCommand},
    {"CHAT_MSG", kCommandChat, -1, kBindingCommand},
};

}  // namespace

void ReadKeyBindings(const IniFile& ini, KeyBindingTable& table) {
    for (const ActionBinding& action : kKeyActions) {
        int code = ini.GetInt("Keys", action.name);
        // A code outside the table would index past it; such a binding cannot be pressed.
        if (code < 0 || code >= kKeyBindingCount) {
            Report(LogModule::kKav, LogLevel::kWarning, "Key code %d of %s is out of range", code, action.name);
            continue;
        }
        table[code] = KeyBinding{action.command, action.player, action.kind, 0, false};
    }
}

const std::array<KeyAction, kKeyActionCount>& KeyActions() {
    static const std::array<KeyAction, kKeyActionCount> actions{{
        {"PLAYER_0_INCREASE_SPEED", "Player 1 speed up", kKeyUp},
        {"PLAYER_0_DECREASE_SPEED", "Player 1 slow down", kKeyDown},
        {"PLAYER_0_TURN_LEFT", "Player 1 turn left", kKeyLeft},
        {"PLAYER_0_TURN_RIGHT", "Player 1 turn right", kKeyRight},
        {"PLAYER_0_FIRE", "Player 1 fire", kKeyEnter},
        {"PLAYER_1_INCREASE_SPEED", "Player 2 speed up", 'e'},
        {"PLAYER_1_DECREASE_SPEED", "Player 2 slow down", 'd'},
        {"PLAYER_1_TURN_LEFT", "Player 2 turn left", 's'},
        {"PLAYER_1_TURN_RIGHT", "Player 2 turn right", 'f'},
        {"PLAYER_1_FIRE", "Player 2 fire", 'q'},
        {"NEXT_CAMERA", "Next camera", kKeyF1},
        {"PREVIOUS_CAMERA", "Previous camera", kKeyF1 + 1},
        {"RELOAD_LEVEL", "Reload level", kKeyF1 + 4},
        {"MUTE_SOUND", "Mute sound", kKeyF1 + 2},
        {"SHOW_MENU", "Menu", kKeyEscape},
        {"RESET_CAMERA", "Reset camera", kKeyF1 + 5},
        {"SHOW_SCORE", "Score", kKeyTab},
        {"CHAT_MSG", "Chat", '`'},
    }};
    return actions;
}

KeyCodes DefaultKeyCodes() {
    KeyCodes codes{};
    for (int i = 0; i < kKeyActionCount; ++i) codes[i] = KeyActions()[i].defaultCode;
    return codes;
}

KeyCodes ReadKeyCodes(const IniFile& ini) {
    KeyCodes codes{};
    for (int i = 0; i < kKeyActionCount; ++i) {
        const int code = ini.GetInt("Keys", KeyActions()[i].name);
        codes[i] = code > 0 && code < kKeyBindingCount ? code : 0;
    }
    return codes;
}

void WriteKeyCodes(IniFile& ini, const KeyCodes& codes) {
    for (int i = 0; i < kKeyActionCount; ++i) ini.SetInt("Keys", KeyActions()[i].name, codes[i], true);
}

std::vector<int> ConflictingActions(const KeyCodes& codes) {
    std::map<int, int> uses;
    for (int code : codes)
        if (code != 0) ++uses[code];
    std::vector<int> conflicting;
    for (int i = 0; i < kKeyActionCount; ++i)
        if (codes[i] != 0 && uses[codes[i]] > 1) conflicting.push_back(i);
    return conflicting;
}

std::string KeyName(int code) {
    static const std::map<int, const char*> kNames{
        {0, "none"},
        {kKeyBackspace, "Backspace"},
        {kKeyTab, "Tab"},
        {kKeyEnter, "Enter"},
        {kKeyEscape, "Esc"},
        {kKeySpace, "Space"},
        {kKeyAlt, "Alt"},
        {kKeyPause, "Pause"},
        {kKeyLeft, "Left"},
        {kKeyUp, "Up"},
        {kKeyRight, "Right"},
        {kKeyDown, "Down"},
        {kKeyPageUp, "PgUp"},
        {kKeyPageDown, "PgDn"},
        {kKeyHome, "Home"},
        {kKeyEnd, "End"},
        {kKeyInsert, "Ins"},
        {kKeyDelete, "Del"},
        {kKeyPadDivide, "Pad /"},
        {kKeyPadMultiply, "Pad *"},
        {kKeyPadSubtract, "Pad -"},
        {kKeyPadAdd, "Pad +"},
        {kKeyPadDecimal, "Pad ."},
        {kKeyNumLock, "NumLock"},
        {kKeyScrollLock, "ScrollLock"},
        {kKeyShift, "Shift"},
        {kKeyControl, "Ctrl"},
    };
    const auto named = kNames.find(code);
    if (named != kNames.end()) return named->second;
    char text[16];
    if (code > kKeySpace && code < 127)
        std::snprintf(text, sizeof text, "%c", std::toupper(code));
    else if (code >= kKeyF1 && code <= kKeyF24)
        std::snprintf(text, sizeof text, "F%d", code - kKeyF1 + 1);
    else if (code >= kKeyPad0 && code < kKeyPad0 + 10)
        std::snprintf(text, sizeof text, "Pad %d", code - kKeyPad0);
    else
        std::snprintf(text, sizeof text, "Key %d", code);
    return text;
}

namespace {

// Places in KeyActions().
constexpr int kFirstShipAction = 0;  // five per player: speed up, slow down, left, right, fire
constexpr int kShipActionsPerPlayer = 5;
constexpr int kNextCameraAction = 10;
constexpr int kPreviousCameraAction = 11;
constexpr int kMenuAction = 14;
constexpr int kScoreAction = 16;
constexpr int kChatAction = 17;

bool Shipped(const KeyCodes& codes, int first, int count) {
    for (int i = first; i < first + count; ++i)
        if (codes[i] != KeyActions()[i].defaultCode) return false;
    return true;
}

std::string Key(const KeyCodes& codes, int action) { return KeyName(codes[action]); }

}  // namespace

std::vector<std::string> KeyHelpLines(const KeyCodes& codes) {
    std::vector<std::string> lines;
    const bool menuShipped = codes[kMenuAction] == KeyActions()[kMenuAction].defaultCode &&
                             codes[kScoreAction] == KeyActions()[kScoreAction].defaultCode;
    lines.push_back(menuShipped ? "ESC - menu; TAB - score."
                                : Key(codes, kMenuAction) + " - menu; " + Key(codes, kScoreAction) + " - score.");
    const bool viewsShipped =
        Shipped(codes, kNextCameraAction, 2) && codes[kChatAction] == KeyActions()[kChatAction].defaultCode;
    lines.push_back(viewsShipped ? "F1,F2 change camera view; ~ - chat;"
                                 : Key(codes, kNextCameraAction) + "," + Key(codes, kPreviousCameraAction) +
                                       " change camera view; " + Key(codes, kChatAction) + " - chat;");
    const char* const shippedShipLines[] = {"Player 1 keys: Arrows - move; ENTER - fire.",
                                            "Player 2 keys: S,E,F,D - move; Q - fire."};
    for (int player = 0; player < 2; ++player) {
        const int first = kFirstShipAction + player * kShipActionsPerPlayer;
        if (Shipped(codes, first, kShipActionsPerPlayer)) {
            lines.push_back(shippedShipLines[player]);
            continue;
        }
        lines.push_back("Player " + std::to_string(player + 1) + " keys: " + Key(codes, first) + "," +
                        Key(codes, first + 1) + "," + Key(codes, first + 2) + "," + Key(codes, first + 3) +
                        " - move; " + Key(codes, first + 4) + " - fire.");
    }
    return lines;
}
