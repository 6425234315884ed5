// Everything of the particle systems that talks to GL.
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

void Emitter::Draw() {
    SpinLockGuard guard(lock_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    for (const Particle& particle : particles_) {
        float s = particle.size;
        glPushMatrix();
        glTranslatef(particle.position.x, particle.position.y, particle.position.z);
        Billboard();
        glColor4f(particle.colour.r, particle.colour.g, particle.colour.b, particle.colour.a);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(1, 1);
        glVertex3f(s, s, 0);
        glTexCoord2f(0, 1);
        glVertex3f(-s, s, 0);
        glTexCoord2f(1, 0);
        glVertex3f(s, -s, 0);
        glTexCoord2f(0, 0);
        glVertex3f(-s, -s, 0);
        glEnd();
        glPopMatrix();
    }
}

// Keeps the translation of the modelview matrix and drops its rotation and scale, so
// the square drawn next faces the viewer.
void Emitter::Billboard() {
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) matrix[column * 4 + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(matrix);
}
