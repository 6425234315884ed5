#include "game/pad_bindings.h"

#include <strings.h>

#include "base/ini_file.h"
#include "base/report.h"
#include "platform/window_root.h"

namespace {

const char* const kSection = "Pads";
const char* const kNoControl = "NONE";

const char* const kControlNames[kPadControlCount] = {
    "A",
    "B",
    "X",
    "Y",
    "BACK",
    "GUIDE",
    "START",
    "LEFT_STICK",
    "RIGHT_STICK",
    "LEFT_SHOULDER",
    "RIGHT_SHOULDER",
    "UP",
    "DOWN",
    "LEFT",
    "RIGHT",
    "LEFT_TRIGGER",
    "RIGHT_TRIGGER",
};

size_t Index(PadControl control) { return static_cast<size_t>(control); }

// Names are read without regard to case: "start" is START.
bool ParseControl(const std::string& text, PadControl& control) {
    for (int i = 0; i < kPadControlCount; ++i) {
        if (strcasecmp(text.c_str(), kControlNames[i]) == 0) {
            control = static_cast<PadControl>(i);
            return true;
        }
    }
    return false;
}

bool IsShipAction(PadAction action) { return action >= PadAction::kSpeedUp && action <= PadAction::kFire; }

int ShipControlOf(PadAction action) {
    switch (action) {
        case PadAction::kSpeedUp: return kControlSpeedUp;
        case PadAction::kSlowDown: return kControlSlowDown;
        case PadAction::kTurnLeft: return kControlTurnLeft;
        case PadAction::kTurnRight: return kControlTurnRight;
        default: return kControlFire;
    }
}

}  // namespace

const std::array<PadActionInfo, kPadActionCount>& PadActions() {
    static const std::array<PadActionInfo, kPadActionCount> actions{{
        {PadAction::kSpeedUp, "INCREASE_SPEED", PadControl::kUp},
        {PadAction::kSlowDown, "DECREASE_SPEED", PadControl::kDown},
        {PadAction::kTurnLeft, "TURN_LEFT", PadControl::kLeft},
        {PadAction::kTurnRight, "TURN_RIGHT", PadControl::kRight},
        {PadAction::kFire, "FIRE", PadControl::kA},
        {PadAction::kMenu, "SHOW_MENU", PadControl::kStart},
        {PadAction::kScore, "SHOW_SCORE", PadControl::kBack},
        {PadAction::kNextCamera, "NEXT_CAMERA", PadControl::kY},
    }};
    return actions;
}

const char* PadControlName(PadControl control) {
    const size_t index = Index(control);
    return index < static_cast<size_t>(kPadControlCount) ? kControlNames[index] : kNoControl;
}

PadBindings DefaultPadBindings() {
    PadBindings bindings{};
    for (const PadActionInfo& info : PadActions()) bindings[Index(info.defaultControl)] = info.action;
    return bindings;
}

PadBindings ReadPadBindings(const IniFile& ini) {
    PadBindings bindings{};
    for (const PadActionInfo& info : PadActions()) {
        PadControl control = info.defaultControl;
        if (ini.HasKey(kSection, info.name)) {
            const std::string value = ini.GetString(kSection, info.name);
            if (strcasecmp(value.c_str(), kNoControl) == 0) continue;
            if (!ParseControl(value, control)) {
                Report(LogModule::kKav, LogLevel::kWarning, "Pad control \"%s\" of %s is unknown; using %s",
                       value.c_str(), info.name, PadControlName(info.defaultControl));
                control = info.defaultControl;
            }
        }
        bindings[Index(control)] = info.action;
    }
    return bindings;
}

bool AddDefaultPadBindings(IniFile& ini) {
    if (ini.HasSection(kSection)) return false;
    for (const PadActionInfo& info : PadActions())
        ini.SetValue(kSection, info.name, PadControlName(info.defaultControl), true);
    return true;
}

PadOutcome PadRouter::Route(const PadEvent& event, bool menuShown) {
    const size_t control = Index(event.control);
    if (event.pad < 0 || event.pad >= kMaxPads || control >= static_cast<size_t>(kPadControlCount)) return {};
    PadOutcome& held = held_[static_cast<size_t>(event.pad)][control];
    PadOutcome outcome;
    if (event.pressed) {
        outcome = menuShown ? MenuOutcome(event.control) : RaceOutcome(event.pad, event.control);
        held = outcome;
    } else {
        outcome = held;
        held = PadOutcome{};
    }
    outcome.pressed = event.pressed;
    outcome.binding.pressed = event.pressed;
    return outcome;
}

PadOutcome PadRouter::MenuOutcome(PadControl control) const {
    PadOutcome outcome;
    outcome.kind = PadOutcome::kMenuKey;
    switch (control) {
        case PadControl::kUp: outcome.key = kKeyUp; break;
        case PadControl::kDown: outcome.key = kKeyDown; break;
        case PadControl::kLeft: outcome.key = kKeyLeft; break;
        case PadControl::kRight: outcome.key = kKeyRight; break;
        case PadControl::kA: outcome.key = kKeyEnter; break;
        case PadControl::kB: outcome.key = kKeyEscape; break;
        default:
            // The button that opens the in-race menu closes it again, like Escape.
            if (bindings_[Index(control)] != PadAction::kMenu) return {};
            outcome.key = kKeyEscape;
            break;
    }
    return outcome;
}

PadOutcome PadRouter::RaceOutcome(int pad, PadControl control) const {
    const PadAction action = bindings_[Index(control)];
    PadOutcome outcome;
    outcome.kind = PadOutcome::kBinding;
    if (IsShipAction(action)) {
        // Two ships: a third pad has none to steer.
        if (pad > 1) return {};
        outcome.binding = KeyBinding{ShipControlOf(action), pad, kBindingShipControl, 0, false};
    } else if (action == PadAction::kMenu) {
        outcome.binding = KeyBinding{kCommandShowMenu, -1, kBindingCommand, 0, false};
    } else if (action == PadAction::kScore) {
        outcome.binding = KeyBinding{kCommandShowScore, -1, kBindingCommand, 0, false};
    } else if (action == PadAction::kNextCamera) {
        outcome.binding = KeyBinding{kCommandNextCamera, -1, kBindingCamera, 0, false};
    } else {
        return {};
    }
    return outcome;
}
