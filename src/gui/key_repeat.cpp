#include "gui/key_repeat.h"

#include "platform/input.h"

namespace {
KeyRepeatFilterSwitch currentSwitch = &SetRepeatFilter;
}

void SwitchKeyRepeatFilter(bool on) { currentSwitch(on); }

KeyRepeatFilterSwitch SetKeyRepeatFilterSwitch(KeyRepeatFilterSwitch filterSwitch) {
    const KeyRepeatFilterSwitch previous = currentSwitch;
    currentSwitch = filterSwitch != nullptr ? filterSwitch : &SetRepeatFilter;
    return previous;
}
