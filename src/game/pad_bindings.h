#pragma once

#include <array>
#include <string>

#include "game/key_bindings.h"
#include "platform/pad_input.h"

class IniFile;

// What a game pad does: in a race the [Pads] actions of kav.ini, the same ones the
// keys drive, with pad n steering player n's ship; in the menus the d-pad (or the
// stick) moves like the arrow keys, A is Enter and B is Escape.

enum class PadAction { kNone, kSpeedUp, kSlowDown, kTurnLeft, kTurnRight, kFire, kMenu, kScore, kNextCamera };

// The [Pads] actions in kav.ini's order: the name kav.ini uses and the control the
// game ships with.
struct PadActionInfo {
    PadAction action;
    const char* name;
    PadControl defaultControl;
};
constexpr int kPadActionCount = 8;
const std::array<PadActionInfo, kPadActionCount>& PadActions();

// The action of each control, indexed by PadControl.
using PadBindings = std::array<PadAction, kPadControlCount>;
PadBindings DefaultPadBindings();
// A missing action keeps its shipped control, "NONE" unbinds it, and a value that
// names no control keeps the shipped one with a warning. A later action on the same
// control wins, as in [Keys].
PadBindings ReadPadBindings(const IniFile& ini);
// Writes the shipped [Pads] when kav.ini has no such section; true when it did.
bool AddDefaultPadBindings(IniFile& ini);

// "A", "START", "UP", "LEFT_TRIGGER"...; the names [Pads] values use.
const char* PadControlName(PadControl control);

// What one pad press or release does.
struct PadOutcome {
    enum Kind { kNothing, kMenuKey, kBinding };
    Kind kind = kNothing;
    bool pressed = false;
    int key = 0;         // kMenuKey: the key code the menu gets
    KeyBinding binding;  // kBinding: what the game gets, as from a bound key
};

// Turns pad presses into menu keys or game actions. A release undoes what its press
// did, even when a menu opened or closed in between, so nothing stays held.
class PadRouter {
public:
    void SetBindings(const PadBindings& bindings) { bindings_ = bindings; }
    // `menuShown`: a menu is up and takes the presses instead of the race.
    PadOutcome Route(const PadEvent& event, bool menuShown);

private:
    PadOutcome MenuOutcome(PadControl control) const;
    PadOutcome RaceOutcome(int pad, PadControl control) const;

    PadBindings bindings_ = DefaultPadBindings();
    std::array<std::array<PadOutcome, kPadControlCount>, kMaxPads> held_{};
};
