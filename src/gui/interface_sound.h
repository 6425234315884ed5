#pragma once

#include <functional>

// The two interface sounds of the [sounds] section that sounding buttons play.
enum class InterfaceSound { kMouseOver, kMouseClick };

void PlayInterfaceSound(InterfaceSound sound);

// Where interface sounds go: the application hands them to its sound manager, a test
// listens instead; none (silence) until someone is installed.
using InterfaceSoundPlayer = std::function<void(InterfaceSound sound)>;
// Returns the previous player; an empty one silences the buttons.
InterfaceSoundPlayer SetInterfaceSoundPlayer(InterfaceSoundPlayer player);
