// Cameras and lights of a scene: reading them from level files and scene files, writing
// them back, and stepping through the cameras. The GL side is in draw_manager.cpp.
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "base/ini_file.h"
#include "base/report.h"
#include "scene/draw_manager.h"

namespace {

// Reads up to `count` comma-separated numbers; returns how many were read.
int ParseFloats(const std::string& text, float* out, int count) {
    float values[4] = {};
    int read = std::sscanf(text.c_str(), "%f,%f,%f,%f", &values[0], &values[1], &values[2], &values[3]);
    if (read < 0) read = 0;
    if (read > count) read = count;
    for (int i = 0; i < read; ++i) out[i] = values[i];
    return read;
}

bool ParseVec3(const std::string& text, Vec3* out) {
    float values[3];
    if (ParseFloats(text, values, 3) < 3) return false;
    *out = {values[0], values[1], values[2]};
    return true;
}

// A colour given as three numbers; alpha stays 1.
bool ParseColour(const std::string& text, float* rgba) {
    float values[3];
    if (ParseFloats(text, values, 3) < 3) return false;
    rgba[0] = values[0];
    rgba[1] = values[1];
    rgba[2] = values[2];
    rgba[3] = 1;
    return true;
}

std::string FormatTriple(float x, float y, float z) {
    char text[96];
    std::snprintf(text, sizeof text, "%g,%g,%g", x, y, z);
    return text;
}

std::string FormatVec3(const Vec3& v) { return FormatTriple(v.x, v.y, v.z); }

std::string SectionName(const char* prefix, int index) { return prefix + std::to_string(index); }

Vec3 Plus(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

}  // namespace

bool DrawManager::LoadCamerasFromIni(const IniFile& ini) {
    cameras_.clear();
    currentCamera_ = -1;
    for (int i = 0;; ++i) {
        std::string section = SectionName("camera", i);
        if (!ini.HasSection(section)) break;
        Camera camera;
        if (!ParseVec3(ini.GetString(section, "loc"), &camera.location)) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Bad camera %d location", i);
            continue;
        }
        camera.name = ini.GetString(section, "name");
        if (!ParseVec3(ini.GetString(section, "look_at"), &camera.lookAt)) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Bad camera %d look_at", i);
            continue;
        }
        if (!ParseVec3(ini.GetString(section, "up_dir"), &camera.upDir)) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Bad camera %d up_dir", i);
            continue;
        }
        cameras_.push_back(camera);
    }
    return SelectFirstCameraOrComplain("%d camera(s) are set from ini");
}

void DrawManager::LoadLightsFromIni(const IniFile& ini) {
    lights_.clear();
    for (int i = 0;; ++i) {
        std::string section = SectionName("light", i);
        if (!ini.HasSection(section)) break;
        Light light;
        light.id = GL_LIGHT0 + static_cast<uint32_t>(lights_.size());
        int type = ini.GetInt(section, "type");
        float location[4];
        int locationCount = ParseFloats(ini.GetString(section, "loc"), location, 4);
        if (locationCount < 3) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Bad light %d location", i);
            continue;
        }
        for (int k = 0; k < 3; ++k) light.position[k] = location[k];
        if (type == kLightDirectional) {
            light.position[3] = 0;
        } else if (type == kLightPositional) {
            light.position[3] = 1;
        } else if (type == kLightSpot) {
            if (ParseFloats(ini.GetString(section, "direction"), light.direction, 3) < 3) {
                Report(LogModule::kDraw, LogLevel::kWarning, "Bad light %d direction", i);
                continue;
            }
            light.direction[3] = 1;
            light.cutoff = static_cast<float>(ini.GetFloat(section, "angle_illumination"));
            light.exponent = static_cast<float>(ini.GetFloat(section, "exponent"));
            light.position[3] = locationCount == 4 ? location[3] : 1;
        } else {
            continue;  // other kinds of light are not kept, and take no GL name
        }
        light.type = static_cast<int16_t>(type);
        if (!ParseColour(ini.GetString(section, "ambient"), light.ambient) ||
            !ParseColour(ini.GetString(section, "diffuse"), light.diffuse) ||
            !ParseColour(ini.GetString(section, "specular"), light.specular)) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Bad light %d color", i);
            continue;
        }
        lights_.push_back(light);
    }
    Report(LogModule::kDraw, LogLevel::kInfo, "%d lights are set from ini", static_cast<int>(lights_.size()));
}

bool DrawManager::LoadCamerasFromCob(const std::vector<CobCame>& records) {
    cameras_.clear();
    currentCamera_ = -1;
    for (const CobCame& record : records) {
        Camera camera;
        camera.name = record.name;
        camera.location = record.localAxes.centre;
        camera.upDir = record.localAxes.yAxis;
        camera.lookAt = Plus(record.localAxes.centre, record.localAxes.zAxis);
        cameras_.push_back(camera);
    }
    return SelectFirstCameraOrComplain("%d camera(s) are set");
}

void DrawManager::LoadLightsFromCob(const std::vector<CobLght>& records) {
    lights_.clear();
    for (const CobLght& record : records) {
        Light light;
        const Vec3& centre = record.localAxes.centre;
        light.position[0] = centre.x;
        light.position[1] = centre.y;
        light.position[2] = centre.z;
        switch (record.lightType) {
            case kLightDirectional: light.position[3] = 0; break;
            case kLightPositional: light.position[3] = 1; break;
            case kLightSpot:
                light.position[3] = 1;
                light.direction[0] = record.localAxes.zAxis.x;
                light.direction[1] = record.localAxes.zAxis.y;
                light.direction[2] = record.localAxes.zAxis.z;
                light.direction[3] = 1;
                light.cutoff = record.spotCutoff;  // the first float after the colour
                light.exponent = 6;
                break;
            default: continue;
        }
        light.type = record.lightType;
        light.id = GL_LIGHT0 + static_cast<uint32_t>(lights_.size());
        float colour[4] = {record.red, record.green, record.blue, 1};
        for (int k = 0; k < 4; ++k) light.ambient[k] = light.diffuse[k] = light.specular[k] = colour[k];
        lights_.push_back(light);
    }
    Report(LogModule::kDraw, LogLevel::kInfo, "%d lights are set from cob", static_cast<int>(lights_.size()));
}

void DrawManager::SaveCamerasToIni(IniFile& ini) const {
    for (size_t i = 0; i < cameras_.size(); ++i) {
        const Camera& camera = cameras_[i];
        std::string section = SectionName("camera", static_cast<int>(i));
        ini.SetValue(section, "name", camera.name, true);
        ini.SetValue(section, "loc", FormatVec3(camera.location), true);
        ini.SetValue(section, "look_at", FormatVec3(camera.lookAt), true);
        ini.SetValue(section, "up_dir", FormatVec3(camera.upDir), true);
    }
}

void DrawManager::SaveLightsToIni(IniFile& ini) const {
    for (size_t i = 0; i < lights_.size(); ++i) {
        const Light& light = lights_[i];
        std::string section = SectionName("light", static_cast<int>(i));
        ini.SetInt(section, "type", light.type, true);
        ini.SetValue(section, "loc", FormatTriple(light.position[0], light.position[1], light.position[2]), true);
        if (light.type == kLightSpot) {
            ini.SetValue(section, "direction", FormatTriple(light.direction[0], light.direction[1], light.direction[2]),
                         true);
            ini.SetFloat(section, "angle_illumination", light.cutoff, true);
            ini.SetFloat(section, "exponent", light.exponent, true);
        }
        ini.SetValue(section, "ambient", FormatTriple(light.ambient[0], light.ambient[1], light.ambient[2]), true);
        ini.SetValue(section, "diffuse", FormatTriple(light.diffuse[0], light.diffuse[1], light.diffuse[2]), true);
        ini.SetValue(section, "specular", FormatTriple(light.specular[0], light.specular[1], light.specular[2]), true);
    }
}

bool DrawManager::SelectFirstCameraOrComplain(const char* successFormat) {
    if (cameras_.empty()) {
        Report(LogModule::kDraw, LogLevel::kError, "No cameras, should be at least one");
        return false;
    }
    SelectCamera(0);
    Report(LogModule::kDraw, LogLevel::kInfo, successFormat, static_cast<int>(cameras_.size()));
    return true;
}

void DrawManager::SelectCamera(int index) {
    if (index < 0 || static_cast<size_t>(index) >= cameras_.size()) return;
    currentCamera_ = index;
    ApplyCamera();
}

void DrawManager::NextCamera() {
    if (currentCamera_ < 0) return;
    SelectCamera((currentCamera_ + 1) % static_cast<int>(cameras_.size()));
}

void DrawManager::PreviousCamera() {
    if (currentCamera_ < 0) return;
    int count = static_cast<int>(cameras_.size());
    SelectCamera((currentCamera_ + count - 1) % count);
}

void DrawManager::OnCameraCommand(int command, bool pressed) {
    if (!pressed) return;
    if (command == kNextCameraCommand) NextCamera();
    if (command == kPreviousCameraCommand) PreviousCamera();
}

void DrawManager::ApplyCamera() const {
    if (!listenerHook_ || currentCamera_ < 0) return;
    const Camera& camera = cameras_[static_cast<size_t>(currentCamera_)];
    const float position[3] = {camera.location.x, camera.location.y, camera.location.z};
    const float velocity[3] = {0, 0, 0};
    // The listener's "at" is the looked-at point itself, as the sound manager expects it.
    const float orientation[6] = {camera.lookAt.x, camera.lookAt.y, camera.lookAt.z,
                                  camera.upDir.x,  camera.upDir.y,  camera.upDir.z};
    listenerHook_(position, velocity, orientation);
}
