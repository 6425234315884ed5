#pragma once

#include <string>

#include "gui/label.h"
#include "gui/widget.h"

// The key handling every push button shares: Enter, Space or the left mouse button
// presses it while it has focus; releasing Enter or Space, or the mouse button inside
// it, clicks it. Releasing the mouse button outside cancels the click.
class Clickable : public Panel {
public:
    // Set by a click and kept until ResetClicks, so screens can poll it once a tick.
    bool Clicked() const { return clicked_; }
    void SetClicked(bool clicked) { clicked_ = clicked; }
    // Flips with every click.
    bool Toggled() const { return toggled_; }
    // Counts clicks modulo the state count.
    int State() const { return state_; }
    int StateCount() const { return stateCount_; }
    void SetStateCount(int count);

    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnResetClicks() override { clicked_ = false; }
    bool IsFocusStop() const override { return true; }

protected:
    // It has focus in its parent, or stands alone.
    bool HasFocus() const;
    bool HasHover() const;

private:
    bool clicked_ = false;
    bool toggled_ = false;
    int state_ = 0;
    int stateCount_ = 2;
};

// A push button with a caption laid over its client area. Drawn with a drop shadow
// that it sinks onto while pressed.
class Button : public Clickable {
public:
    explicit Button(const std::string& caption = "Button");

    // The size every new button starts with (100 x 30).
    static void SetDefaultSize(int width, int height);

    Label& Caption() { return caption_; }
    const Label& Caption() const { return caption_; }
    void SetCaption(const std::string& text) { caption_.SetText(text); }
    // The absolute rectangle moved 2 pixels right and 2 down.
    AbsoluteRect FaceRect() const;

    void UpdateGeometry() override;
    void DrawSelf() override;

private:
    Label caption_;
};
