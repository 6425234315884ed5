#include "scene/draw_manager.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "base/report.h"

DrawManager::DrawManager() { Report(LogModule::kDraw, LogLevel::kInfo, "Draw manager is initialized"); }

DrawManager::~DrawManager() { Report(LogModule::kDraw, LogLevel::kInfo, "Draw manager is destroyed"); }

void DrawManager::ClearCamerasAndLights() {
    SwitchLightsOff();
    lights_.clear();
    cameras_.clear();
    currentCamera_ = -1;
}

void DrawManager::ApplyCameraView() const {
    if (currentCamera_ < 0) return;
    const Camera& camera = cameras_[static_cast<size_t>(currentCamera_)];
    gluLookAt(camera.location.x, camera.location.y, camera.location.z, camera.lookAt.x, camera.lookAt.y,
              camera.lookAt.z, camera.upDir.x, camera.upDir.y, camera.upDir.z);
}

namespace {

// Lights past what the GL implementation offers (at least eight) are left out rather
// than handed to GL as invalid light names.
GLuint LightNameLimit() {
    GLint maxLights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    return GL_LIGHT0 + static_cast<GLuint>(maxLights);
}

}  // namespace

void DrawManager::SetUpLights() const {
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    const GLuint limit = LightNameLimit();
    for (const Light& light : lights_) {
        if (light.id < GL_LIGHT0 || light.id >= limit) continue;
        GLenum id = light.id;
        glLightfv(id, GL_SPOT_DIRECTION, light.direction);
        glLightf(id, GL_SPOT_CUTOFF, light.cutoff);
        glLightf(id, GL_SPOT_EXPONENT, light.exponent);
        glEnable(id);
        glLightfv(id, GL_AMBIENT, light.ambient);
        glLightfv(id, GL_DIFFUSE, light.diffuse);
        glLightfv(id, GL_SPECULAR, light.specular);
        // Last, so the position is taken in the eye space of this moment.
        glLightfv(id, GL_POSITION, light.position);
    }
}

void DrawManager::SwitchLightsOff() const {
    const GLuint limit = LightNameLimit();
    for (const Light& light : lights_)
        if (light.id >= GL_LIGHT0 && light.id < limit) glDisable(light.id);
}
