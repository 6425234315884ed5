#include "app/opengl_hints.h"

#include <GL/gl.h>

void ApplyOpenGlHints(const OpenGlHints& hints) {
    glShadeModel(hints.shadeModel == ShadeModel::kSmooth ? GL_SMOOTH : GL_FLAT);
    GLenum hint = GL_DONT_CARE;
    if (hints.perspectiveHint == PerspectiveHint::kNicest) hint = GL_NICEST;
    if (hints.perspectiveHint == PerspectiveHint::kFastest) hint = GL_FASTEST;
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, hint);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}
