#pragma once

// The window layer's auto-repeat filter: while on, holding a key gives one key-down.
// Edit fields switch it off while they have focus so that held keys repeat.
void SwitchKeyRepeatFilter(bool on);

// Where the switch goes; the window layer's filter unless a test listens instead.
using KeyRepeatFilterSwitch = void (*)(bool on);
// Returns the previous switch; nullptr restores the window layer's.
KeyRepeatFilterSwitch SetKeyRepeatFilterSwitch(KeyRepeatFilterSwitch filterSwitch);
