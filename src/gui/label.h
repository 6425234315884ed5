#pragma once

#include <string>

#include "gui/widget.h"

// One line of text in a rectangle, aligned horizontally and vertically and cut off
// (without an ellipsis) where it does not fit. Not focusable.
class Label : public Panel {
public:
    enum HorizontalAlignment { kAlignRight = 0, kAlignCentre = 1, kAlignLeft = 2 };
    enum VerticalAlignment { kAlignMiddle = 1, kAlignTop = 3, kAlignBottom = 4 };

    explicit Label(std::string text = "Label");

    void SetText(std::string text);
    void SetColour(float r, float g, float b, float a);
    void SetAlignment(int horizontal, int vertical);
    // The text height in pixels; the glyphs scale by cell size / 16.
    void SetCellSize(int cellSize);

    const std::string& Text() const { return text_; }
    const Colour& TextColour() const { return textColour_; }
    int CellSize() const { return cellSize_; }
    float Scale() const { return scale_; }
    int VisibleCharacters() const { return visibleCharacters_; }
    // Where the text starts, relative to the text rectangle's top-left corner.
    int TextOffsetX() const { return offsetX_; }
    int TextOffsetY() const { return offsetY_; }
    // The absolute rectangle inset by the border.
    AbsoluteRect TextRect() const;

    void UpdateGeometry() override;
    void DrawSelf() override;

private:
    void Layout();

    std::string text_;
    int cellSize_ = 16;
    float scale_ = 1.0f;
    Colour textColour_{1.0f, 1.0f, 1.0f, 1.0f};
    int horizontalAlignment_ = kAlignCentre;
    int verticalAlignment_ = kAlignMiddle;
    int visibleCharacters_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
};
