#include "gui/sound_button.h"

#include "gui/interface_sound.h"

void SoundButton::KeyDown(KeyEvent* event) {
    if (event->code != KEY_CONSUMED) PlayInterfaceSound(InterfaceSound::kMouseClick);
    Button::KeyDown(event);
}

void SoundButton::OnMouseEnter() { PlayInterfaceSound(InterfaceSound::kMouseOver); }
