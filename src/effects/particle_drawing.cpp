// Everything of the particle systems that talks to GL.
#include <algorithm>
#include <vector>

#include <GL/gl.h>

#include "effects/emitter.h"
#include "effects/particle_system_manager.h"

// Particles are drawn after the scene, added onto it (glows never darken), without
// writing depth so they do not hide each other.
void ParticleSystemManager::DrawAll() {
    SpinLockGuard guard(flag_);
    GLboolean blendWasOn = glIsEnabled(GL_BLEND);
    GLboolean texturingWasOn = glIsEnabled(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);

    for (const auto& emitter : emitters_) {
        if (emitter && !emitter->IsStopped()) emitter->Draw();
    }

    glDepthMask(GL_TRUE);
    if (!texturingWasOn) glDisable(GL_TEXTURE_2D);
    if (!blendWasOn) glDisable(GL_BLEND);
}

namespace {

// One corner of a particle's square in eye space, laid out for the GL's array pointers.
struct ParticleCorner {
    float u, v;
    float r, g, b, a;
    float x, y, z;
};

// An emitter's particles go out in draws of at most this many squares, so the buffer
// has a fixed size whatever a script asks for; the emitters of the bundled levels
// take one draw each.
constexpr size_t kSquaresPerDraw = 1024;

// The corners of the squares being drawn, on the drawing thread only. Reserved once,
// so drawing allocates nothing per frame.
std::vector<ParticleCorner>& Corners() {
    static std::vector<ParticleCorner> corners = [] {
        std::vector<ParticleCorner> reserved;
        reserved.reserve(kSquaresPerDraw * 6);
        return reserved;
    }();
    return corners;
}

// The square's corners in the order of the strip each particle used to be
// (top-right, top-left, bottom-right, bottom-left), as its two triangles.
constexpr int kStripCorner[6] = {0, 1, 2, 2, 1, 3};
constexpr float kCornerX[4] = {1, -1, 1, -1};
constexpr float kCornerY[4] = {1, 1, -1, -1};

// A square facing the viewer keeps only where the modelview matrix takes its centre:
// the eye-space centre plus the corner offsets.
void AddSquare(std::vector<ParticleCorner>& corners, const float modelview[16], const Particle& particle) {
    const Vec3& p = particle.position;
    const float centre[3] = {
        modelview[0] * p.x + modelview[4] * p.y + modelview[8] * p.z + modelview[12],
        modelview[1] * p.x + modelview[5] * p.y + modelview[9] * p.z + modelview[13],
        modelview[2] * p.x + modelview[6] * p.y + modelview[10] * p.z + modelview[14],
    };
    const Colour& c = particle.colour;
    const float s = particle.size;
    for (int corner : kStripCorner) {
        const float u = (kCornerX[corner] + 1) / 2;
        const float v = (kCornerY[corner] + 1) / 2;
        corners.push_back(
            {u, v, c.r, c.g, c.b, c.a, centre[0] + kCornerX[corner] * s, centre[1] + kCornerY[corner] * s, centre[2]});
    }
}

}  // namespace

void Emitter::Draw() {
    SpinLockGuard guard(lock_);
    if (particles_.empty()) return;
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPushMatrix();
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    std::vector<ParticleCorner>& corners = Corners();
    for (size_t first = 0; first < particles_.size(); first += kSquaresPerDraw) {
        corners.clear();
        const size_t end = std::min(particles_.size(), first + kSquaresPerDraw);
        for (size_t i = first; i < end; ++i) AddSquare(corners, modelview, particles_[i]);
        glTexCoordPointer(2, GL_FLOAT, sizeof(ParticleCorner), &corners[0].u);
        glColorPointer(4, GL_FLOAT, sizeof(ParticleCorner), &corners[0].r);
        glVertexPointer(3, GL_FLOAT, sizeof(ParticleCorner), &corners[0].x);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size()));
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    // The colour array leaves the current colour undefined; the last particle's is what
    // the one-by-one drawing left behind.
    const Colour& last = particles_.back().colour;
    glColor4f(last.r, last.g, last.b, last.a);
}
