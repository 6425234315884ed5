#pragma once

#include <memory>
#include <string>

#include "base/vec3.h"

class IniFile;

// The sound player. Short effects (files whose name ends in "wav") are positional
// OpenAL sources sharing one decoded buffer per file; music and every other file is
// decoded whole into memory and played beside the listener. Both kinds live in one
// handle space in which 0 means "no sound": every operation ignores 0, handles past the
// table and handles already unloaded. The program has one, owned by the application
// and lent to whoever plays sounds; it is used on the main thread only.
class SoundManager {
public:
    SoundManager();
    // Shuts down.
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Opens the default OpenAL device. True when sound is ready, also when it already
    // was; false (with an error line) when no device or context could be had.
    bool Init();
    // Releases every sound and the device; nothing to do when not initialised.
    void Shutdown();

    // The sound follows the given vectors, which must outlive it; without them it stays
    // at the origin and moves with the listener. Returns the handle, 0 when it cannot load.
    int LoadSound(const std::string& fileName, const Vec3* position = nullptr, const Vec3* velocity = nullptr);
    // Frees the sound and sets the caller's handle to 0.
    void UnloadSound(int& handle);
    // Starts the sound from the beginning (effects that are already playing restart);
    // looping repeats it until StopSound.
    void PlaySound(int handle, bool looping);
    void StopSound(int handle);

    // Volumes run from 0 to 1 and apply to existing and later sounds alike.
    void SetSoundVolume(float volume);
    void SetMusicVolume(float volume);
    float GetSoundVolume() const;
    float GetMusicVolume() const;

    // The ear: position, velocity, then the facing vector followed by the up vector.
    void SetListener(const float position[3], const float velocity[3], const float orientation[6]);
    // Moves every effect to where its object now is.
    void UpdatePositions();

    // The [sounds] section of kav.ini: loads the two interface sounds ("mouseover",
    // "mouseclick") and applies "sound_volume" and "music_volume" (0 to 100).
    void ReadSoundConfig(const IniFile& config);
    // Stores the current volumes as "sound_volume" and "music_volume" (0 to 100) in [sounds].
    void WriteSoundVolumes(IniFile& config) const;
    // The interface sounds read from [sounds], for buttons that sound; 0 when none.
    int MouseOverSound() const;
    int MouseClickSound() const;

    struct State;

private:
    void ReplaceInterfaceSound(int& slot, const std::string& fileName);

    std::unique_ptr<State> state_;  // keeps OpenAL's types out of this header
};
