#include "gui/interface_sound.h"

#include <utility>

namespace {

InterfaceSoundPlayer& CurrentPlayer() {
    static InterfaceSoundPlayer player;
    return player;
}

}  // namespace

void PlayInterfaceSound(InterfaceSound sound) {
    if (CurrentPlayer()) CurrentPlayer()(sound);
}

InterfaceSoundPlayer SetInterfaceSoundPlayer(InterfaceSoundPlayer player) {
    return std::exchange(CurrentPlayer(), std::move(player));
}
