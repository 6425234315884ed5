#pragma once

// The two interface sounds of the [sounds] section that sounding buttons play.
enum class InterfaceSound { kMouseOver, kMouseClick };

void PlayInterfaceSound(InterfaceSound sound);

// Where interface sounds go; the sound manager unless a test listens instead.
using InterfaceSoundPlayer = void (*)(InterfaceSound sound);
// Returns the previous player; nullptr restores the sound manager.
InterfaceSoundPlayer SetInterfaceSoundPlayer(InterfaceSoundPlayer player);
