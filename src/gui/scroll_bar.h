#pragma once

#include "gui/widget.h"

// A bar with a thumb that doubles as a value slider. Clicking beside the thumb moves
// the value one page towards the mouse; dragging the thumb sets the value when the
// button is released. The bar never keeps focus after a click or a drag.
class ScrollBar : public Panel {
public:
    enum Orientation { kHorizontal = 0, kVertical = 1 };

    explicit ScrollBar(Orientation orientation = kHorizontal);

    // The size every new bar starts with (16 x 16); also its thickness in lists and panels.
    static void SetDefaultSize(int width, int height);
    static int DefaultThickness();

    void SetRange(int minimum, int maximum);
    // Clamped to the range.
    void SetValue(int value);
    // The thumb's share of the bar's length, clamped to 0..1.
    void SetThumbFraction(float fraction);
    // Makes the bar a focus stop whose arrows along its axis move the value by `step`.
    void SetArrowStep(int step) { arrowStep_ = step; }

    int Value() const { return value_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    float ThumbFraction() const { return thumbFraction_; }
    Orientation GetOrientation() const { return orientation_; }
    // Relative to the bar.
    const Rect& Thumb() const { return thumb_; }
    AbsoluteRect ThumbAbsolute() const;
    int ThumbLength() const { return thumbLength_; }
    int PageStep() const { return pageStep_; }
    float PixelsPerUnit() const { return pixelsPerUnit_; }
    bool IsDragging() const { return IsPressed(); }

    void UpdateGeometry() override;
    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnMouseMove(int x, int y) override;
    void DrawSelf() override;
    bool IsFocusStop() const override { return arrowStep_ > 0; }
    bool TakeArrow(int arrowCode) override;

private:
    void PlaceThumb();
    void MoveThumbTo(int offset);
    // Along the bar's axis: x for a horizontal bar, y for a vertical one.
    int AlongAxis(int x, int y) const { return orientation_ == kHorizontal ? x : y; }
    int Length() const { return orientation_ == kHorizontal ? Width() : Height(); }
    int ThumbStart() const { return AlongAxis(thumb_.x, thumb_.y); }
    bool HasFocus() const;
    void DropFocus();

    int minimum_ = 0;
    int maximum_ = 10;
    int value_ = 0;
    Orientation orientation_;
    float thumbFraction_ = 0.2f;
    Rect thumb_;
    int thumbLength_ = 0;
    int pageStep_ = 0;
    float pixelsPerUnit_ = 0.0f;
    int dragMouse_ = 0;
    int dragThumbStart_ = 0;
    int arrowStep_ = 0;
};
