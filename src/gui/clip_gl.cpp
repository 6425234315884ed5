#include <GL/gl.h>

#include "gui/clip.h"

ScopedClip::ScopedClip(int x1, int y1, int viewWidth, int viewHeight) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const ClipBox wanted = ClipBoxForView(x1, y1, viewWidth, viewHeight, viewport[1] + viewport[3]);
    wasEnabled_ = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    GLint scissor[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    previous_ = ClipBox{scissor[0], scissor[1], scissor[2], scissor[3]};
    box_ = wasEnabled_ ? Intersect(wanted, previous_) : std::optional<ClipBox>(wanted);
}

void ScopedClip::Apply() const {
    if (!box_) return;
    glScissor(box_->x, box_->y, box_->width, box_->height);
    glEnable(GL_SCISSOR_TEST);
}

ScopedClip::~ScopedClip() {
    if (!wasEnabled_) glDisable(GL_SCISSOR_TEST);
    glScissor(previous_.x, previous_.y, previous_.width, previous_.height);
}
