#pragma once

#include <array>
#include <string>
#include <vector>

class IniFile;

// What a key does in the game: the [Keys] actions of kav.ini and the table of
// 400 key codes they bind.

// Command kinds of a key binding.
enum KeyBindingKind {
    kBindingNone = 0,
    kBindingShipControl = 1,
    kBindingCamera = 3,
    kBindingCommand = 5,
};

// Application commands (kind 5) and camera commands (kind 3).
enum CommandCode {
    kCommandShowMenu = 8,
    kCommandReloadLevel = 9,
    kCommandShowScore = 10,
    kCommandChat = 11,
    kCommandNextCamera = 14,
    kCommandPreviousCamera = 15,
    kCommandMuteSound = 16,
    kCommandResetCamera = 17,
    kCommandExit = 18,
    kCommandStartGame = 19,
};

// Ship controls (kind 1).
enum ShipControl {
    kControlSpeedUp = 1,
    kControlSlowDown = 2,
    kControlTurnLeft = 3,
    kControlTurnRight = 4,
    kControlFire = 5,
};

struct KeyBinding {
    int command = 0;
    int player = -1;
    int kind = kBindingNone;
    int spare = 0;
    bool pressed = false;
};

constexpr int kKeyBindingCount = 400;
using KeyBindingTable = std::array<KeyBinding, kKeyBindingCount>;

// Binds the eighteen actions of [Keys]; a later action on the same key code wins,
// a missing key binds its action to key code 0.
void ReadKeyBindings(const IniFile& ini, KeyBindingTable& table);

// The [Keys] actions as the player sees them, in kav.ini's order: the name kav.ini
// uses, a caption for the options screen and the key the game ships with.
struct KeyAction {
    const char* name;
    const char* caption;
    int defaultCode;
};
constexpr int kKeyActionCount = 18;
const std::array<KeyAction, kKeyActionCount>& KeyActions();

// One key code per action, in the order of KeyActions(); 0 is no key.
using KeyCodes = std::array<int, kKeyActionCount>;
KeyCodes DefaultKeyCodes();
// What [Keys] holds; a missing or out-of-range code reads as 0.
KeyCodes ReadKeyCodes(const IniFile& ini);
void WriteKeyCodes(IniFile& ini, const KeyCodes& codes);

// The actions that share their key with another one (no key shares nothing).
std::vector<int> ConflictingActions(const KeyCodes& codes);

// A key as the player knows it: "Enter", "Up", "F5", "E", "`", "none" for 0.
std::string KeyName(int code);

// The four help lines at the start of a race; a line whose keys are all the shipped
// ones keeps its well-known text, the others name the bound keys.
std::vector<std::string> KeyHelpLines(const KeyCodes& codes);
