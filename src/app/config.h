#pragma once

#include <array>
#include <string>

class IniFile;

// The user configuration "kav.ini": its default text, and the readers of the
// [Keys] and [log] sections that run at start-up.

extern const char* const kConfigFileName;  // "kav.ini"
extern const char* const kDefaultConfigText;

// Writes the default kav.ini when it cannot be opened. When it cannot be created
// either, prints the default text and ends the process with status 0.
void EnsureDefaultConfig(const char* path = kConfigFileName);

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

// Sets each module's info switch from [log] where its key is present.
void ReadLogSwitches(const IniFile& ini);

// What [opengl] asks of GL; applying it is the drawing code's business.
enum class ShadeModel { kSmooth, kFlat };
enum class PerspectiveHint { kNicest, kFastest, kDontCare };
struct OpenGlHints {
    ShadeModel shadeModel = ShadeModel::kFlat;
    PerspectiveHint perspectiveHint = PerspectiveHint::kDontCare;
};
OpenGlHints ReadOpenGlHints(const IniFile& ini);
