#include "platform/gamepad.h"

#include <array>

#include <SDL.h>

#include "base/report.h"

namespace {

struct PadSlot {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID instance = -1;
    PadState state;
};

struct Pads {
    bool started = false;
    std::array<PadSlot, kMaxPads> slots;
};

Pads& State() {
    static Pads pads;
    return pads;
}

PadSlot* SlotOf(SDL_JoystickID instance, int& number) {
    std::array<PadSlot, kMaxPads>& slots = State().slots;
    for (number = 0; number < kMaxPads; ++number)
        if (slots[number].controller != nullptr && slots[number].instance == instance) return &slots[number];
    return nullptr;
}

void Deliver(WindowRoot& root, const std::vector<PadEvent>& events) {
    for (const PadEvent& event : events) root.PadInput(event);
}

void OpenPad(WindowRoot& root, int deviceIndex) {
    int number = 0;
    // SDL may announce a pad twice (at start-up and as it is found).
    if (SlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex), number) != nullptr) return;
    std::array<PadSlot, kMaxPads>& slots = State().slots;
    for (number = 0; number < kMaxPads && slots[number].controller != nullptr; ++number) {}
    if (number == kMaxPads) {
        Report(LogModule::kKav, LogLevel::kWarning, "Game pad ignored: %d pads are in use already", kMaxPads);
        return;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        Report(LogModule::kKav, LogLevel::kWarning, "Game pad cannot be opened: %s", SDL_GetError());
        return;
    }
    slots[number] = PadSlot{controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)), PadState{}};
    const char* name = SDL_GameControllerName(controller);
    Report(LogModule::kKav, LogLevel::kInfo, "Game pad %d connected: %s", number + 1,
           name != nullptr ? name : "unnamed");
    root.PadConnected(number, true);
}

void ClosePad(WindowRoot& root, SDL_JoystickID instance) {
    int number = 0;
    PadSlot* slot = SlotOf(instance, number);
    if (slot == nullptr) return;
    // Whatever the pad held goes up, so no ship keeps accelerating.
    Deliver(root, slot->state.ReleaseAll(number));
    SDL_GameControllerClose(slot->controller);
    *slot = PadSlot{};
    Report(LogModule::kKav, LogLevel::kInfo, "Game pad %d disconnected", number + 1);
    root.PadConnected(number, false);
}

void PadButton(WindowRoot& root, const SDL_ControllerButtonEvent& event) {
    int number = 0;
    PadSlot* slot = SlotOf(event.which, number);
    if (slot == nullptr || event.button >= static_cast<int>(PadControl::kLeftTrigger)) return;
    Deliver(root, slot->state.Button(number, static_cast<PadControl>(event.button), event.state == SDL_PRESSED));
}

void PadAxis(WindowRoot& root, const SDL_ControllerAxisEvent& event) {
    int number = 0;
    PadSlot* slot = SlotOf(event.which, number);
    if (slot == nullptr) return;
    PadState::Axis axis = PadState::kAxisCount;
    switch (event.axis) {
        case SDL_CONTROLLER_AXIS_LEFTX: axis = PadState::kStickX; break;
        case SDL_CONTROLLER_AXIS_LEFTY: axis = PadState::kStickY; break;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT: axis = PadState::kTriggerLeft; break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: axis = PadState::kTriggerRight; break;
        default: return;  // the right stick has no use in the game
    }
    Deliver(root, slot->state.AxisMoved(number, axis, event.value));
}

}  // namespace

void StartPads() {
    Pads& pads = State();
    if (pads.started) return;
    pads.started = true;
    // Pads already plugged in are announced as added events, like later ones.
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0)
        Report(LogModule::kKav, LogLevel::kWarning, "Game pads are off: %s", SDL_GetError());
}

bool HandlePadEvent(WindowRoot& root, const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: OpenPad(root, event.cdevice.which); return true;
        case SDL_CONTROLLERDEVICEREMOVED: ClosePad(root, event.cdevice.which); return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: PadButton(root, event.cbutton); return true;
        case SDL_CONTROLLERAXISMOTION: PadAxis(root, event.caxis); return true;
        default: return false;
    }
}
