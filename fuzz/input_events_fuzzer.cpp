// Any sequence of keyboard and mouse events, however odd their fields, must turn
// into key codes and root calls without reading outside the key tables.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/input.h"
#include "platform/input_events.h"

namespace {

class CountingRoot : public WindowRoot {
public:
    void KeyDown(KeyEvent* event) override { sum += event->code; }
    void KeyUp(KeyEvent* event) override { sum -= event->code; }
    void MouseMove(int x, int y) override { sum += x ^ y; }
    void SetPosition(int, int) override {}
    void Resize() override {}
    void Draw() override {}
    int X() const override { return 0; }
    int Y() const override { return 0; }
    int Width() const override { return 640; }
    int Height() const override { return 480; }
    int MinWidth() const override { return 320; }
    int MinHeight() const override { return 240; }
    void SetSize(int, int) override {}

    long long sum = 0;
};

constexpr Uint32 kInputTypes[] = {SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP};

}  // namespace

// Each record: one byte choosing the event type and whether the repeat filter is on,
// two bytes of modifiers, then the raw bytes of the event union.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kHead = 3;
    constexpr size_t kRecord = kHead + sizeof(SDL_Event);
    ResetInput();
    CountingRoot root;
    for (size_t offset = 0; offset + kRecord <= size; offset += kRecord) {
        const uint8_t choice = data[offset];
        SetRepeatFilter((choice & 0x80) != 0);
        Uint16 modifiers = 0;
        std::memcpy(&modifiers, data + offset + 1, sizeof modifiers);
        SDL_Event event;
        std::memcpy(&event, data + offset + kHead, sizeof event);
        event.type = kInputTypes[(choice & 0x7f) % (sizeof kInputTypes / sizeof kInputTypes[0])];
        // Any value an SDL_Scancode can hold, including those past SDL_NUM_SCANCODES.
        uint32_t scancode = 0;
        std::memcpy(&scancode, data + offset + kHead + offsetof(SDL_KeyboardEvent, keysym), sizeof scancode);
        event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode % 1024);
        HandleInputEvent(root, event, modifiers);
    }
    return 0;
}
