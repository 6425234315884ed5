#pragma once

#include "base/vec3.h"

// Immediate-mode primitives in window pixels (origin top-left, y down) for the widgets.
void DrawOutline(int x1, int y1, int x2, int y2, const Colour& colour);
void FillRect(int x1, int y1, int x2, int y2, const Colour& colour);
// The pixels FillRect would fill, without a colour: for marking what the overlay hides.
void RectangleStrip(int x1, int y1, int x2, int y2);
// Fills with blending (source alpha, one minus source colour), restoring the blend state.
void FillShade(int x1, int y1, int x2, int y2, const Colour& colour);
