#include "gui/interface_sound.h"

#include "effects/sound_manager.h"

namespace {

void PlayThroughSoundManager(InterfaceSound sound) {
    PlaySound(sound == InterfaceSound::kMouseOver ? MouseOverSound() : MouseClickSound(), false);
}

InterfaceSoundPlayer currentPlayer = &PlayThroughSoundManager;

}  // namespace

void PlayInterfaceSound(InterfaceSound sound) { currentPlayer(sound); }

InterfaceSoundPlayer SetInterfaceSoundPlayer(InterfaceSoundPlayer player) {
    const InterfaceSoundPlayer previous = currentPlayer;
    currentPlayer = player != nullptr ? player : &PlayThroughSoundManager;
    return previous;
}
