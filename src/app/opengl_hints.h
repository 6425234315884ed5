#pragma once

#include "app/config.h"

// Applies the [opengl] hints to the current GL context; texture coordinates of the
// 2D target repeat in both directions whatever the file says.
void ApplyOpenGlHints(const OpenGlHints& hints);
