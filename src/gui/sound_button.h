#pragma once

#include <string>

#include "gui/button.h"

// A button that sounds: the mouse-over sound when the mouse comes onto it and the
// click sound for every key that reaches it.
class SoundButton : public Button {
public:
    explicit SoundButton(const std::string& caption = "Button") : Button(caption) {}

    void KeyDown(KeyEvent* event) override;
    void OnMouseEnter() override;
};
