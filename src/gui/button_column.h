#pragma once

#include <vector>

#include "gui/button.h"

// Places the buttons one under another in the rectangle (relative to their parent),
// each as wide as the rectangle, `gap` pixels apart, sharing its height equally.
void StackButtons(const std::vector<Button*>& buttons, int x, int y, int width, int height, int gap);
