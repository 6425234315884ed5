#include "gui/fps_label.h"

#include <cstdio>

#include <GL/gl.h>

#include "base/clock.h"
#include "platform/font.h"

namespace {
constexpr int64_t kMeasureIntervalMs = 1000;
}

FpsLabel::FpsLabel(int64_t nowMs) : lastMs_(nowMs), nextMs_(nowMs) {}

void FpsLabel::CountFrame(int64_t nowMs) {
    ++frames_;
    if (nowMs <= nextMs_) return;
    const int fps = static_cast<int>(frames_ / ((nowMs - lastMs_) / 1000.0));
    if (fps != lastShown_) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "FPS:%d", fps);
        text_ = buffer;
        lastShown_ = fps;
    }
    frames_ = 0;
    lastMs_ = nowMs;
    nextMs_ = nowMs + kMeasureIntervalMs;
}

void FpsLabel::Draw() {
    CountFrame(NowMs());
    const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    const float colour[4] = {foregroundColour.r, foregroundColour.g, foregroundColour.b, foregroundColour.a};
    Print(FontStyle{0, 1.0f}, Absolute().x1, Absolute().y1, text_.c_str(), static_cast<int>(text_.size()), colour);
    if (!texturing) glDisable(GL_TEXTURE_2D);
    if (!blending) glDisable(GL_BLEND);
}
