#include "effects/sound_manager.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>
#include <AL/efx.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "base/ini_file.h"
#include "base/report.h"
#include "effects/sound_decoder.h"
#include "effects/sound_handle_table.h"

namespace {

enum class SoundKind { kEffect = 1, kMusic = 2 };

struct SoundEntry {
    SoundKind kind = SoundKind::kEffect;
    ALuint source = 0;
    // Effects share their buffer through the cache under this name; music owns its own.
    std::string effectFile;
    ALuint musicBuffer = 0;
    const Vec3* position = nullptr;
    const Vec3* velocity = nullptr;
};

struct SharedBuffer {
    ALuint name = 0;
    int references = 0;
};

struct Listener {
    Vec3 position{0, 20, 0};
    Vec3 velocity;
    Vec3 facing;
    Vec3 up{0, 0, 1};
};

}  // namespace

struct SoundManager::State {
    bool initialised = false;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool alutInitialisedHere = false;
    float soundVolume = 1.0f;
    float musicVolume = 1.0f;
    Listener listener;
    // Where sounds loaded without a position of their own play.
    Vec3 origin;
    SoundHandleTable<SoundEntry> sounds;
    std::map<std::string, SharedBuffer> buffers;
    int mouseOverSound = 0;
    int mouseClickSound = 0;
};

namespace {

using SoundState = SoundManager::State;

// Called right after each OpenAL call, so the line names the call that failed.
bool AlFailed(const std::string& operation) {
    ALenum error = alGetError();
    if (error == AL_NO_ERROR) return false;
    const ALchar* text = alGetString(error);
    Report(LogModule::kSound, LogLevel::kError, "%s%s", operation.c_str(), text ? text : "");
    return true;
}

void ReportAlcFailure(const char* operation, ALCenum error) {
    const ALCchar* text = alcGetString(nullptr, error);
    Report(LogModule::kSound, LogLevel::kError, "%s%s", operation, text ? text : "");
}

void SetSourceVector(ALuint source, ALenum parameter, const Vec3& value, const char* operation) {
    alSource3f(source, parameter, value.x, value.y, value.z);
    AlFailed(operation);
}

void ApplyListener(SoundState& state) {
    const Listener& listener = state.listener;
    alListener3f(AL_POSITION, listener.position.x, listener.position.y, listener.position.z);
    AlFailed("alListenerfv AL_POSITION : ");
    alListener3f(AL_VELOCITY, listener.velocity.x, listener.velocity.y, listener.velocity.z);
    AlFailed("alListenerfv AL_VELOCITY : ");
    const ALfloat orientation[6] = {listener.facing.x, listener.facing.y, listener.facing.z,
                                    listener.up.x,     listener.up.y,     listener.up.z};
    alListenerfv(AL_ORIENTATION, orientation);
    AlFailed("alListenerfv AL_ORIENTATION : ");
}

bool IsEffectName(const std::string& fileName) {
    static const char kEnding[] = "wav";
    constexpr size_t kLength = sizeof(kEnding) - 1;
    if (fileName.size() < kLength) return false;
    for (size_t i = 0; i < kLength; ++i) {
        unsigned char c = static_cast<unsigned char>(fileName[fileName.size() - kLength + i]);
        if (std::tolower(c) != kEnding[i]) return false;
    }
    return true;
}

bool CanRead(const std::string& fileName) { return std::ifstream(fileName, std::ios::binary).is_open(); }

float ClampVolume(float volume) {
    if (!(volume > 0.0f)) return 0.0f;  // also catches NaN
    return volume > 1.0f ? 1.0f : volume;
}

ALuint DecodeWavIntoBuffer(const std::string& fileName) {
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (AlFailed("alGenBuffers :")) return 0;
    ALenum format = 0;
    ALsizei size = 0;
    ALfloat frequency = 0;
    void* data = alutLoadMemoryFromFile(fileName.c_str(), &format, &size, &frequency);
    if (data == nullptr) {
        Report(LogModule::kSound, LogLevel::kError, "alutLoadWAVFile %s : %s", fileName.c_str(),
               alutGetErrorString(alutGetError()));
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    alBufferData(buffer, format, data, size, static_cast<ALsizei>(frequency));
    std::free(data);
    if (AlFailed("alBufferData for " + fileName + ": ")) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

// One decoded buffer per file name, however many sounds play it.
ALuint AcquireSharedBuffer(SoundState& state, const std::string& fileName) {
    auto found = state.buffers.find(fileName);
    if (found != state.buffers.end()) {
        ++found->second.references;
        return found->second.name;
    }
    Report(LogModule::kSound, LogLevel::kInfo, "Loading sound %s", fileName.c_str());
    ALuint buffer = DecodeWavIntoBuffer(fileName);
    if (buffer != 0) state.buffers[fileName] = SharedBuffer{buffer, 1};
    return buffer;
}

void ReleaseSharedBuffer(SoundState& state, const std::string& fileName) {
    auto found = state.buffers.find(fileName);
    if (found == state.buffers.end() || --found->second.references > 0) return;
    alDeleteBuffers(1, &found->second.name);
    AlFailed("alDeleteBuffers : ");
    state.buffers.erase(found);
}

// A source playing buffer at the given gain; 0 when none could be generated.
ALuint CreateSource(ALuint buffer, float gain) {
    ALuint source = 0;
    alGenSources(1, &source);
    if (AlFailed("alGenSources : ")) return 0;
    alSourcef(source, AL_PITCH, 1.0f);
    AlFailed("alSourcef AL_PITCH : ");
    alSourcef(source, AL_GAIN, gain);
    AlFailed("alSourcef AL_GAIN : ");
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    AlFailed("alSourcei AL_BUFFER: ");
    return source;
}

bool LoadEffect(SoundState& state, const std::string& fileName, SoundEntry& entry) {
    ALuint buffer = AcquireSharedBuffer(state, fileName);
    if (buffer == 0) return false;
    ALuint source = CreateSource(buffer, state.soundVolume);
    if (source == 0) {
        ReleaseSharedBuffer(state, fileName);
        return false;
    }
    SetSourceVector(source, AL_POSITION, *entry.position, "alSourcefv AL_POSITION : ");
    SetSourceVector(source, AL_VELOCITY, *entry.velocity, "alSourcefv AL_VELOCITY : ");
    entry.kind = SoundKind::kEffect;
    entry.source = source;
    entry.effectFile = fileName;
    return true;
}

// Music is heard the same wherever the listener stands: its source sits on the listener.
bool LoadMusic(SoundState& state, const std::string& fileName, SoundEntry& entry) {
    std::optional<DecodedSound> decoded = DecodeSoundFile(fileName);
    if (!decoded) {
        Report(LogModule::kSound, LogLevel::kError, "Could not load: ");
        return false;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (AlFailed("alGenBuffers :")) return false;
    ALenum format = decoded->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    alBufferData(buffer, format, decoded->samples.data(),
                 static_cast<ALsizei>(decoded->samples.size() * sizeof(int16_t)), decoded->sampleRate);
    ALuint source = AlFailed("alBufferData for " + fileName + ": ") ? 0 : CreateSource(buffer, state.musicVolume);
    if (source == 0) {
        alDeleteBuffers(1, &buffer);
        return false;
    }
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    AlFailed("alSourcei AL_SOURCE_RELATIVE : ");
    entry.kind = SoundKind::kMusic;
    entry.source = source;
    entry.musicBuffer = buffer;
    return true;
}

void UnloadEntry(SoundState& state, int handle) {
    SoundEntry* entry = state.sounds.Find(handle);
    if (entry == nullptr) return;
    alSourceStop(entry->source);
    AlFailed("alSourceStopv : ");
    alDeleteSources(1, &entry->source);
    AlFailed("alDeleteSources : ");
    if (entry->kind == SoundKind::kEffect) {
        ReleaseSharedBuffer(state, entry->effectFile);
    } else {
        alDeleteBuffers(1, &entry->musicBuffer);
        AlFailed("alDeleteBuffers : ");
    }
    state.sounds.Release(handle);
}

void SetGainOfKind(SoundState& state, SoundKind kind, float gain) {
    state.sounds.ForEach([kind, gain](SoundEntry& entry) {
        if (entry.kind != kind) return;
        alSourcef(entry.source, AL_GAIN, gain);
        AlFailed("alSourcef AL_GAIN : ");
    });
}

// Closes what SoundInit opened, in reverse order.
void CloseDevice(SoundState& state) {
    alcMakeContextCurrent(nullptr);
    if (state.context != nullptr) alcDestroyContext(state.context);
    if (state.device != nullptr) alcCloseDevice(state.device);
    state.context = nullptr;
    state.device = nullptr;
}

bool OpenDevice(SoundState& state) {
    state.device = alcOpenDevice(nullptr);
    if (state.device == nullptr) {
        ReportAlcFailure("Failed to Initialize Open AL", alcGetError(nullptr));
        return false;
    }
    // The game sends nothing to effect slots; without sends every one of the voices
    // the library sets up in advance is smaller (0.8 MiB less in all).
    const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
    state.context = alcCreateContext(state.device, attributes);
    if (state.context == nullptr) {
        ReportAlcFailure("Failed to initialize Open AL", alcGetError(state.device));
        CloseDevice(state);
        return false;
    }
    ALCboolean current = alcMakeContextCurrent(state.context);
    ALCenum error = alcGetError(state.device);
    if (current != ALC_TRUE || error != ALC_NO_ERROR) {
        ReportAlcFailure("Failed to Make Context Current", error);
        CloseDevice(state);
        return false;
    }
    return true;
}

}  // namespace

SoundManager::SoundManager() : state_(std::make_unique<State>()) {}

SoundManager::~SoundManager() { Shutdown(); }

bool SoundManager::Init() {
    State& state = *state_;
    if (state.initialised) return true;
    if (!OpenDevice(state)) return false;

    alGetError();
    state.listener = Listener{};
    ApplyListener(state);
    // Effects play at their gain wherever they are: no fading with distance.
    alDistanceModel(AL_NONE);
    AlFailed("alDistanceModel : ");
    state.sounds.Clear();
    // Another part of the program may have set up the WAV decoder already; then it
    // is theirs to close.
    state.alutInitialisedHere = alutInitWithoutContext(nullptr, nullptr) == AL_TRUE;
    if (!state.alutInitialisedHere) alutGetError();

    state.initialised = true;
    Report(LogModule::kSound, LogLevel::kInfo, "Sound manager is initialized");
    return true;
}

void SoundManager::Shutdown() {
    State& state = *state_;
    if (!state.initialised) return;
    for (int handle = state.sounds.Size() - 1; handle >= 1; --handle) UnloadEntry(state, handle);
    CloseDevice(state);
    if (state.alutInitialisedHere) alutExit();
    state.alutInitialisedHere = false;
    state.buffers.clear();
    state.sounds.Clear();
    state.mouseOverSound = 0;
    state.mouseClickSound = 0;
    state.initialised = false;
    Report(LogModule::kSound, LogLevel::kInfo, "Sound manager is destroyed");
}

int SoundManager::LoadSound(const std::string& fileName, const Vec3* position, const Vec3* velocity) {
    State& state = *state_;
    if (!CanRead(fileName)) {
        Report(LogModule::kSound, LogLevel::kError, "File does not exist: %s", fileName.c_str());
        return 0;
    }
    if (!state.initialised) return 0;
    SoundEntry entry;
    entry.position = position != nullptr ? position : &state.origin;
    entry.velocity = velocity != nullptr ? velocity : &state.listener.velocity;
    bool loaded = IsEffectName(fileName) ? LoadEffect(state, fileName, entry) : LoadMusic(state, fileName, entry);
    return loaded ? state.sounds.Append(std::move(entry)) : 0;
}

void SoundManager::UnloadSound(int& handle) {
    State& state = *state_;
    UnloadEntry(state, handle);
    handle = 0;
}

void SoundManager::PlaySound(int handle, bool looping) {
    State& state = *state_;
    SoundEntry* entry = state.sounds.Find(handle);
    if (entry == nullptr) return;
    alSourcei(entry->source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    AlFailed("alSourcei AL_LOOPING : ");
    alSourcePlay(entry->source);
    AlFailed("alSourcePlay : ");
}

void SoundManager::StopSound(int handle) {
    State& state = *state_;
    SoundEntry* entry = state.sounds.Find(handle);
    if (entry == nullptr) return;
    alSourceStop(entry->source);
    AlFailed("alSourceStop : ");
}

void SoundManager::SetSoundVolume(float volume) {
    State& state = *state_;
    state.soundVolume = ClampVolume(volume);
    SetGainOfKind(state, SoundKind::kEffect, state.soundVolume);
}

void SoundManager::SetMusicVolume(float volume) {
    State& state = *state_;
    state.musicVolume = ClampVolume(volume);
    SetGainOfKind(state, SoundKind::kMusic, state.musicVolume);
}

float SoundManager::GetSoundVolume() const { return state_->soundVolume; }

float SoundManager::GetMusicVolume() const { return state_->musicVolume; }

// Sounds loaded without a velocity point at the listener's.
void SoundManager::SetListener(const float position[3], const float velocity[3], const float orientation[6]) {
    State& state = *state_;
    Listener& listener = state.listener;
    listener.position = Vec3{position[0], position[1], position[2]};
    listener.velocity = Vec3{velocity[0], velocity[1], velocity[2]};
    listener.facing = Vec3{orientation[0], orientation[1], orientation[2]};
    listener.up = Vec3{orientation[3], orientation[4], orientation[5]};
    if (state.initialised) ApplyListener(state);
}

void SoundManager::UpdatePositions() {
    state_->sounds.ForEach([](SoundEntry& entry) {
        if (entry.kind != SoundKind::kEffect) return;
        SetSourceVector(entry.source, AL_POSITION, *entry.position, "alSourcefv AL_POSITION : ");
        SetSourceVector(entry.source, AL_VELOCITY, *entry.velocity, "alSourcefv AL_VELOCITY : ");
    });
}

namespace {

constexpr float kPercent = 0.01f;

}  // namespace

// Reading the configuration again replaces the interface sound instead of leaking it.
void SoundManager::ReplaceInterfaceSound(int& slot, const std::string& fileName) {
    UnloadSound(slot);
    slot = LoadSound(fileName);
}

void SoundManager::ReadSoundConfig(const IniFile& config) {
    ReplaceInterfaceSound(state_->mouseOverSound, config.GetString("sounds", "mouseover"));
    ReplaceInterfaceSound(state_->mouseClickSound, config.GetString("sounds", "mouseclick"));
    if (config.HasKey("sounds", "sound_volume"))
        SetSoundVolume(static_cast<float>(config.GetInt("sounds", "sound_volume")) * kPercent);
    if (config.HasKey("sounds", "music_volume"))
        SetMusicVolume(static_cast<float>(config.GetInt("sounds", "music_volume")) * kPercent);
}

void SoundManager::WriteSoundVolumes(IniFile& config) const {
    config.SetInt("sounds", "sound_volume", static_cast<int>(std::lround(GetSoundVolume() / kPercent)), true);
    config.SetInt("sounds", "music_volume", static_cast<int>(std::lround(GetMusicVolume() / kPercent)), true);
}

int SoundManager::MouseOverSound() const { return state_->mouseOverSound; }

int SoundManager::MouseClickSound() const { return state_->mouseClickSound; }
