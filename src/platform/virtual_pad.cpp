#include "platform/virtual_pad.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <sstream>

#include <SDL.h>

#include "base/report.h"

namespace {

constexpr int kChunksPerCall = 16;

bool ReadPadNumber(std::istringstream& words, int& pad) {
    int number = 0;
    if (!(words >> number) || number < 1 || number > kMaxVirtualPads) return false;
    pad = number - 1;
    return true;
}

}  // namespace

VirtualPadCommand ParseVirtualPadCommand(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    VirtualPadCommand command;
    if (verb == "attach") {
        command.verb = VirtualPadCommand::kAttach;
    } else if (verb == "detach") {
        if (!ReadPadNumber(words, command.pad)) return {};
        command.verb = VirtualPadCommand::kDetach;
    } else if (verb == "press" || verb == "release") {
        std::string name;
        if (!ReadPadNumber(words, command.pad) || !(words >> name)) return {};
        const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
        if (button == SDL_CONTROLLER_BUTTON_INVALID) return {};
        command.verb = verb == "press" ? VirtualPadCommand::kPress : VirtualPadCommand::kRelease;
        command.index = button;
    } else if (verb == "axis") {
        std::string name;
        long value = 0;
        if (!ReadPadNumber(words, command.pad) || !(words >> name >> value)) return {};
        const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
        if (axis == SDL_CONTROLLER_AXIS_INVALID || value < -32768 || value > 32767) return {};
        command.verb = VirtualPadCommand::kAxis;
        command.index = axis;
        command.value = static_cast<int>(value);
    } else {
        return {};
    }
    std::string extra;
    return words >> extra ? VirtualPadCommand{} : command;
}

VirtualPadScript::VirtualPadScript(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

VirtualPadScript::~VirtualPadScript() {
    if (file_ != nullptr) std::fclose(file_);
}

bool VirtualPadScript::TakeLine(std::string& line) {
    const size_t end = pending_.find('\n');
    if (end == std::string::npos) return false;
    line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return true;
}

bool VirtualPadScript::NextLine(std::string& line) {
    if (file_ == nullptr) return false;
    // A frame reads a few kilobytes at most, whatever was appended.
    for (int chunks = 0; chunks < kChunksPerCall; ++chunks) {
        if (TakeLine(line)) {
            if (!skippingLongLine_ && line.size() <= kMaxLine) return true;
            if (!skippingLongLine_) Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad line too long; skipped");
            skippingLongLine_ = false;
            continue;
        }
        if (pending_.size() > kMaxLine) {
            // No end in sight: drop what came so far and the rest of the line with it.
            if (!skippingLongLine_) Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad line too long; skipped");
            skippingLongLine_ = true;
            pending_.clear();
        }
        std::array<char, 256> chunk;
        const size_t count = std::fread(chunk.data(), 1, chunk.size(), file_);
        // The writer may append more later: the end of the file is only for now.
        if (count == 0) {
            std::clearerr(file_);
            return false;
        }
        pending_.append(chunk.data(), count);
    }
    return false;
}

namespace {

struct VirtualPads {
    std::unique_ptr<VirtualPadScript> script;
    std::array<SDL_Joystick*, kMaxVirtualPads> joysticks{};
};

VirtualPads& Virtual() {
    static VirtualPads pads;
    return pads;
}

int DeviceIndexOf(SDL_Joystick* joystick) {
    const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick);
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == instance) return index;
    return -1;
}

void Attach() {
    VirtualPads& pads = Virtual();
    int number = 0;
    while (number < kMaxVirtualPads && pads.joysticks[number] != nullptr) ++number;
    if (number == kMaxVirtualPads) {
        Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad: no more than %d pads", kMaxVirtualPads);
        return;
    }
    SDL_VirtualJoystickDesc description{};
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    description.name = "KAV virtual pad";
    // SDL maps the buttons and axes of a virtual controller in its own order, so the
    // controller's button n is the joystick's button n.
    const int index = SDL_JoystickAttachVirtualEx(&description);
    SDL_Joystick* joystick = index < 0 ? nullptr : SDL_JoystickOpen(index);
    if (joystick == nullptr) {
        Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad cannot be attached: %s", SDL_GetError());
        return;
    }
    pads.joysticks[number] = joystick;
}

void Run(const VirtualPadCommand& command) {
    VirtualPads& pads = Virtual();
    if (command.verb == VirtualPadCommand::kAttach) return Attach();
    SDL_Joystick* joystick = pads.joysticks[command.pad];
    if (joystick == nullptr) {
        Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad %d is not attached", command.pad + 1);
        return;
    }
    switch (command.verb) {
        case VirtualPadCommand::kDetach: {
            const int index = DeviceIndexOf(joystick);
            SDL_JoystickClose(joystick);
            pads.joysticks[command.pad] = nullptr;
            if (index >= 0) SDL_JoystickDetachVirtual(index);
            break;
        }
        case VirtualPadCommand::kPress:
        case VirtualPadCommand::kRelease:
            SDL_JoystickSetVirtualButton(joystick, command.index, command.verb == VirtualPadCommand::kPress);
            break;
        case VirtualPadCommand::kAxis:
            SDL_JoystickSetVirtualAxis(joystick, command.index, static_cast<Sint16>(command.value));
            break;
        default: break;
    }
}

}  // namespace

void StartVirtualPads() {
    VirtualPads& pads = Virtual();
    const char* path = std::getenv("KAV_VIRTUAL_PAD");
    if (path == nullptr || pads.script != nullptr) return;
    pads.script = std::make_unique<VirtualPadScript>(path);
    if (!pads.script->IsOpen())
        Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad script %s cannot be read", path);
}

void PumpVirtualPads() {
    VirtualPads& pads = Virtual();
    if (pads.script == nullptr) return;
    std::string line;
    if (!pads.script->NextLine(line)) return;
    const VirtualPadCommand command = ParseVirtualPadCommand(line);
    if (command.verb == VirtualPadCommand::kInvalid) {
        Report(LogModule::kKav, LogLevel::kWarning, "Virtual pad line not understood: %s", line.c_str());
        return;
    }
    Run(command);
}
