#pragma once

#include <array>
#include <bitset>
#include <vector>

// Game pads as the rest of the program sees them: a pad number (0 for the first pad
// plugged in, 1 for the second...), one of the pad's controls and whether it went
// down or up. The sticks and triggers arrive here as plain presses: the left stick is
// the four directions, the same ones the d-pad gives. No SDL in this header, so the
// rules above the platform are testable without a pad.

// The first fifteen follow the buttons of SDL's game controller, in its order.
enum class PadControl {
    kA,
    kB,
    kX,
    kY,
    kBack,
    kGuide,
    kStart,
    kLeftStickPress,
    kRightStickPress,
    kLeftShoulder,
    kRightShoulder,
    kUp,
    kDown,
    kLeft,
    kRight,
    kLeftTrigger,
    kRightTrigger,
};
constexpr int kPadControlCount = 17;
// Pads beyond this many are not opened.
constexpr int kMaxPads = 4;

struct PadEvent {
    int pad = 0;
    PadControl control = PadControl::kA;
    bool pressed = false;
};

// A stick axis or a trigger (-32768..32767) as a digital direction: -1, 0 or +1.
// A direction starts beyond kPadPressThreshold and holds until the axis comes back
// inside kPadReleaseThreshold, so a stick resting near the edge of the dead zone does
// not flicker between pressed and released.
constexpr int kPadPressThreshold = 16000;
constexpr int kPadReleaseThreshold = 10000;
int StickDirection(int value, int previous);

// What one pad holds. Its raw inputs (buttons, d-pad, stick and trigger axes) come in
// one at a time; each call returns the controls that changed, so a direction held on
// both the d-pad and the stick is released only when both let go.
class PadState {
public:
    enum Axis { kStickX, kStickY, kTriggerLeft, kTriggerRight, kAxisCount };

    // `button` is a control up to kRight (the d-pad's directions included).
    std::vector<PadEvent> Button(int pad, PadControl button, bool pressed);
    std::vector<PadEvent> AxisMoved(int pad, Axis axis, int value);
    // The pad is gone: everything it held goes up.
    std::vector<PadEvent> ReleaseAll(int pad);

    bool Held(PadControl control) const { return Merged()[static_cast<size_t>(control)]; }

private:
    using Controls = std::bitset<kPadControlCount>;
    Controls Merged() const;
    std::vector<PadEvent> Changes(int pad, const Controls& before) const;

    Controls buttons_;
    std::array<int, kAxisCount> directions_{};
};
