#include "gui/label.h"

#include <algorithm>
#include <utility>

#include "gui/text_print.h"

Label::Label(std::string text) : text_(std::move(text)) {
    SetFocusable(false);
    SetHeight(std::max(MinHeight(), cellSize_ + 2 * BorderWidth()));
    Layout();
}

void Label::SetText(std::string text) {
    text_ = std::move(text);
    Layout();
}

void Label::SetColour(float r, float g, float b, float a) {
    textColour_ = Colour{r, g, b, a};
    Layout();
}

void Label::SetAlignment(int horizontal, int vertical) {
    horizontalAlignment_ = horizontal;
    verticalAlignment_ = vertical;
    Layout();
}

void Label::SetCellSize(int cellSize) {
    cellSize_ = std::max(1, cellSize);
    scale_ = static_cast<float>(cellSize_) / kFontCellSize;
    Layout();
}

Widget::AbsoluteRect Label::TextRect() const {
    const int border = BorderWidth();
    AbsoluteRect rect = Absolute();
    rect.x1 += border;
    rect.y1 += border;
    rect.width = std::max(0, rect.width - 2 * border);
    rect.height = std::max(0, rect.height - 2 * border);
    rect.x2 = rect.x1 + rect.width;
    rect.y2 = rect.y1 + rect.height;
    return rect;
}

void Label::UpdateGeometry() {
    Panel::UpdateGeometry();
    Layout();
}

void Label::Layout() {
    const int width = std::max(0, Width() - 2 * BorderWidth());
    const int height = std::max(0, Height() - 2 * BorderWidth());
    const int length = static_cast<int>(text_.size());
    const int textWidth = length * cellSize_;
    const bool fits = textWidth <= width;
    // Text that does not fit starts at the left edge whatever the alignment, so the
    // part that is shown stays inside the label.
    switch (horizontalAlignment_) {
        case kAlignRight: offsetX_ = fits ? width - textWidth : 0; break;
        case kAlignCentre: offsetX_ = fits ? (width - textWidth) / 2 : 0; break;
        default: offsetX_ = 0; break;
    }
    switch (verticalAlignment_) {
        case kAlignMiddle: offsetY_ = (height - cellSize_) / 2; break;
        case kAlignBottom: offsetY_ = height - cellSize_; break;
        default: offsetY_ = 0; break;
    }
    visibleCharacters_ = fits ? length : width / cellSize_;
}

void Label::DrawSelf() {
    if (visibleCharacters_ <= 0) return;
    const AbsoluteRect rect = TextRect();
    PlainTextScope plainText;
    PrintText(rect.x1 + offsetX_, rect.y1 + offsetY_, text_.data(), visibleCharacters_, scale_, textColour_);
}
