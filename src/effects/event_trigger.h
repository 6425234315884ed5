#pragma once

#include <cstddef>
#include <vector>

// Something a script does when a game event starts and stops (play a sound, start
// a particle emitter). The script manager owns the actions; triggers only point at them.
class ScriptAction {
public:
    virtual ~ScriptAction() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
};

// A named game event ("fire", "moving", "start"...). It keeps no state of its own:
// the game fires it on transitions, and it calls its bound actions in binding order.
class EventTrigger {
public:
    void Bind(ScriptAction* action) { actions_.push_back(action); }
    void Clear() { actions_.clear(); }
    bool Empty() const { return actions_.empty(); }
    size_t Size() const { return actions_.size(); }

    void Start() const {
        for (ScriptAction* action : actions_) action->Start();
    }
    void Stop() const {
        for (ScriptAction* action : actions_) action->Stop();
    }

private:
    std::vector<ScriptAction*> actions_;
};
