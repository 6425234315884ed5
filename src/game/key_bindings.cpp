#include "game/key_bindings.h"

#include "base/ini_file.h"
#include "base/report.h"

namespace {

struct KeyAction {
    const char* name;
    int command;
    int player;
    int kind;
};

const KeyAction kKeyActions[] = {
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
    for (const KeyAction& action : kKeyActions) {
        int code = ini.GetInt("Keys", action.name);
        // A code outside the table would index past it; such a binding cannot be pressed.
        if (code < 0 || code >= kKeyBindingCount) {
            Report(kKav, kWarning, "Key code %d of %s is out of range", code, action.name);
            continue;
        }
        table[code] = KeyBinding{action.command, action.player, action.kind, 0, false};
    }
}
