#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "base/spin_lock.h"
#include "scene/cameras_lights.h"
#include "scene/cob_reader.h"

class IniFile;

// Where the sound listener goes whenever a camera is applied: position, velocity and the
// orientation as the looked-at point followed by the up vector. The owner of the scene
// connects it to the sound manager; the scene itself knows nothing about sound.
using ListenerHook = std::function<void(const float position[3], const float velocity[3], const float orientation[6])>;

// The drawing half of a scene: its cameras and lights, the scene lock, and the GL calls
// that place the eye and the lights each frame. `ModelManager` builds the models on it.
class DrawManager {
public:
    // Camera commands of the key bindings (kind 3).
    static constexpr int kNextCameraCommand = 14;
    static constexpr int kPreviousCameraCommand = 15;

    DrawManager();
    virtual ~DrawManager();
    DrawManager(const DrawManager&) = delete;
    DrawManager& operator=(const DrawManager&) = delete;

    // Held while the scene is drawn; code that changes the model list, a model's attached
    // list or its attachedOnly flag from anywhere takes it too.
    SpinLock& SceneLock() { return sceneLock_; }

    // Sections "camera%d" and "light%d", numbered from 0, read until the first missing one.
    bool LoadCamerasFromIni(const IniFile& ini);
    void LoadLightsFromIni(const IniFile& ini);
    bool LoadCamerasFromCob(const CobReader& reader) { return LoadCamerasFromCob(reader.Cameras()); }
    void LoadLightsFromCob(const CobReader& reader) { LoadLightsFromCob(reader.Lights()); }
    bool LoadCamerasFromCob(const std::vector<CobCame>& records);
    void LoadLightsFromCob(const std::vector<CobLght>& records);
    void SaveCamerasToIni(IniFile& ini) const;
    void SaveLightsToIni(IniFile& ini) const;

    const std::vector<Camera>& Cameras() const { return cameras_; }
    const std::vector<Light>& Lights() const { return lights_; }
    // Index of the current camera, -1 when there is none.
    int CurrentCamera() const { return currentCamera_; }

    // Each changes the current camera and applies it (moves the listener).
    void SelectCamera(int index);
    void NextCamera();
    void PreviousCamera();
    // The next- and previous-camera key commands; only presses act.
    void OnCameraCommand(int command, bool pressed);

    void SetListenerHook(ListenerHook hook) { listenerHook_ = std::move(hook); }

    // GL, on the drawing thread. ApplyCameraView runs on a freshly reset modelview matrix;
    // SetUpLights after it, so the light positions are taken in the camera's eye space.
    void ApplyCameraView() const;
    void SetUpLights() const;
    void SwitchLightsOff() const;

protected:
    // Turns the lights off in GL and forgets every camera and light.
    void ClearCamerasAndLights();

private:
    bool SelectFirstCameraOrComplain(const char* source);
    void ApplyCamera() const;

    SpinLock sceneLock_;
    std::vector<Camera> cameras_;
    int currentCamera_ = -1;
    std::vector<Light> lights_;
    ListenerHook listenerHook_;
};
