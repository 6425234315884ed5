#pragma once

#include <memory>
#include <optional>
#include <string>

#include "effects/effect_services.h"
#include "effects/event_trigger.h"

enum class ActionKind {
    kSound = 1,
    kEmitter = 2,
};

// An action created from a statement of a script's action block. It refers to one
// sound or emitter by handle (0 when the script named nothing usable) and is named
// after the script and the sound or emitter, so later scripts can share it.
class ScriptedAction : public ScriptAction {
public:
    ScriptedAction(ActionKind kind, int handle, std::string name)
        : handle_(handle), kind_(kind), name_(std::move(name)) {}

    ActionKind Kind() const { return kind_; }
    int Handle() const { return handle_; }
    const std::string& Name() const { return name_; }

    // Gives the sound or emitter back to its manager. Several actions may hold the
    // same handle; the managers ignore a handle that is already released.
    virtual void Release() = 0;

protected:
    int handle_;

private:
    ActionKind kind_;
    std::string name_;
};

class SoundAction : public ScriptedAction {
public:
    SoundAction(SoundManager& sound, int handle, std::string name)
        : ScriptedAction(ActionKind::kSound, handle, std::move(name)), sound_(sound) {}
    void Release() override;

protected:
    SoundManager& sound_;
};

// "PlaySound" plays once per event, "LoopSound" repeats until the event stops.
class PlaySoundAction : public SoundAction {
public:
    PlaySoundAction(SoundManager& sound, int handle, std::string name, bool looping)
        : SoundAction(sound, handle, std::move(name)), looping_(looping) {}
    void Start() override;
    void Stop() override;

private:
    bool looping_;
};

// "StopSound": silences a sound another event started.
class StopSoundAction : public SoundAction {
public:
    using SoundAction::SoundAction;
    void Start() override;
    void Stop() override {}
};

class EmitterAction : public ScriptedAction {
public:
    EmitterAction(ParticleSystemManager& particles, int handle, std::string name)
        : ScriptedAction(ActionKind::kEmitter, handle, std::move(name)), particles_(particles) {}
    void Release() override;

protected:
    ParticleSystemManager& particles_;
};

// "StartPts": a new burst when the event starts; the emitter stops when it ends.
class StartPtsAction : public EmitterAction {
public:
    using EmitterAction::EmitterAction;
    void Start() override;
    void Stop() override;
};

// "StopPts": stops an emitter another event started.
class StopPtsAction : public EmitterAction {
public:
    using EmitterAction::EmitterAction;
    void Start() override;
    void Stop() override {}
};

// What a statement key of an action block refers to; none for keys that are no action.
std::optional<ActionKind> ActionKindOf(const std::string& key);
// The action for a statement key, or nullptr for keys that are no action. It plays
// through the given services.
std::unique_ptr<ScriptedAction> MakeScriptAction(const EffectServices& services, const std::string& key, int handle,
                                                 std::string name);
