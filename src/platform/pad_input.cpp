#include "platform/pad_input.h"

#include <cstdlib>

int StickDirection(int value, int previous) {
    const int magnitude = std::abs(value);
    const int sign = value < 0 ? -1 : 1;
    if (previous != 0 && sign == previous && magnitude > kPadReleaseThreshold) return previous;
    return magnitude >= kPadPressThreshold ? sign : 0;
}

namespace {

size_t Index(PadControl control) { return static_cast<size_t>(control); }

}  // namespace

PadState::Controls PadState::Merged() const {
    Controls held = buttons_;
    const int x = directions_[kStickX];
    const int y = directions_[kStickY];
    // SDL's stick axes grow rightwards and downwards.
    if (x < 0) held.set(Index(PadControl::kLeft));
    if (x > 0) held.set(Index(PadControl::kRight));
    if (y < 0) held.set(Index(PadControl::kUp));
    if (y > 0) held.set(Index(PadControl::kDown));
    if (directions_[kTriggerLeft] > 0) held.set(Index(PadControl::kLeftTrigger));
    if (directions_[kTriggerRight] > 0) held.set(Index(PadControl::kRightTrigger));
    return held;
}

std::vector<PadEvent> PadState::Changes(int pad, const Controls& before) const {
    const Controls after = Merged();
    std::vector<PadEvent> changes;
    for (int i = 0; i < kPadControlCount; ++i)
        if (before[static_cast<size_t>(i)] != after[static_cast<size_t>(i)])
            changes.push_back(PadEvent{pad, static_cast<PadControl>(i), after[static_cast<size_t>(i)]});
    return changes;
}

std::vector<PadEvent> PadState::Button(int pad, PadControl button, bool pressed) {
    if (Index(button) > Index(PadControl::kRight)) return {};
    const Controls before = Merged();
    buttons_.set(Index(button), pressed);
    return Changes(pad, before);
}

std::vector<PadEvent> PadState::AxisMoved(int pad, Axis axis, int value) {
    if (axis < 0 || axis >= kAxisCount) return {};
    const Controls before = Merged();
    directions_[axis] = StickDirection(value, directions_[axis]);
    return Changes(pad, before);
}

std::vector<PadEvent> PadState::ReleaseAll(int pad) {
    const Controls before = Merged();
    buttons_.reset();
    directions_.fill(0);
    return Changes(pad, before);
}
