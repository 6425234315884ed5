#include "gui/text_list.h"

#include <algorithm>

#include "gui/mouse.h"

namespace {

constexpr int kListCellSize = 12;

float Fraction(int part, int whole) {
    if (whole <= 0) return 1.0f;
    return std::clamp(static_cast<float>(part) / whole, 0.0f, 1.0f);
}

}  // namespace

TextList::TextList() {
    view_.SetCellSize(kListCellSize);
    view_.cursorColour = Colour{0.8f, 1.0f, 0.8f, 1.0f};
    AddChild(&view_);
    AddChild(&verticalBar_);
    AddChild(&horizontalBar_);
    verticalBar_.SetVisible(false);
    horizontalBar_.SetVisible(false);
}

void TextList::Clear() {
    view_.Clear();
    selectedRow_ = -1;
    view_.SetSelectedRow(selectedRow_);
    verticalBar_.SetValue(0);
    horizontalBar_.SetValue(0);
}

void TextList::SetRowsSelectable(bool selectable) {
    rowsSelectable_ = selectable;
    view_.SetHighlightSelectedRow(selectable);
}

void TextList::SetSelectedRow(int row) {
    selectedRow_ = row;
    view_.SetSelectedRow(row);
}

void TextList::OnResized() { Layout(); }

void TextList::Layout() {
    const Rect& area = Client();
    const int thickness = ScrollBar::DefaultThickness();
    const int cell = view_.CellSize();
    const int lines = view_.LineCount();
    const int longest = view_.LongestLine();

    const bool showVertical = verticalAllowed_ && (lines > area.height / cell || alwaysShowVertical_);
    const int viewWidth = std::max(0, area.width - (showVertical ? thickness : 0));
    const bool showHorizontal = horizontalAllowed_ && longest > viewWidth / cell;
    const int viewHeight = std::max(0, area.height - (showHorizontal ? thickness : 0));

    view_.SetSize(viewWidth, viewHeight);
    view_.SetPosition(area.x, area.y);
    verticalBar_.SetSize(thickness, viewHeight);
    verticalBar_.SetPosition(area.x + viewWidth, area.y);
    horizontalBar_.SetSize(viewWidth, thickness);
    horizontalBar_.SetPosition(area.x, area.y + viewHeight);

    verticalBar_.SetRange(0, std::max(0, lines - 1));
    verticalBar_.SetThumbFraction(Fraction(view_.VisibleRows(), lines));
    horizontalBar_.SetRange(0, std::max(0, longest - 1));
    horizontalBar_.SetThumbFraction(Fraction(view_.VisibleColumns() - 1, longest));
    verticalBar_.SetVisible(showVertical);
    horizontalBar_.SetVisible(showHorizontal);
    if (!showVertical) verticalBar_.SetValue(0);
    if (!showHorizontal) horizontalBar_.SetValue(0);
    FollowBars();
}

void TextList::FollowBars() {
    view_.SetFirstVisibleRow(verticalBar_.Value());
    view_.SetFirstVisibleColumn(horizontalBar_.Value());
}

void TextList::Scroll(ScrollBar& bar, int step) {
    bar.SetValue(bar.Value() + step);
    FollowBars();
}

void TextList::SelectRowAtMouse() {
    if (view_.LineCount() == 0) return;
    const int row = (CurrentMousePosition().y - view_.Absolute().y1) / view_.CellSize() + view_.FirstVisibleRow();
    SetSelectedRow(std::clamp(row, 0, view_.LineCount() - 1));
}

void TextList::OnKeyDown(KeyEvent* event) {
    switch (event->code) {
        case kMouseLeft:
            if (rowsSelectable_) SelectRowAtMouse();
            return;
        case kKeyUp:
            if (CanScrollVertically()) Scroll(verticalBar_, -1);
            break;
        case kKeyDown:
        case kKeySpace:
            if (CanScrollVertically()) Scroll(verticalBar_, 1);
            break;
        case kKeyLeft:
            if (CanScrollHorizontally()) Scroll(horizontalBar_, -1);
            break;
        case kKeyRight:
            if (CanScrollHorizontally()) Scroll(horizontalBar_, 1);
            break;
        default: return;
    }
    event->code = KEY_CONSUMED;
}

void TextList::OnKeyUp(KeyEvent*) { FollowBars(); }

bool TextList::TakeArrow(int arrowCode) {
    if (arrowCode != kKeyUp && arrowCode != kKeyDown) return false;
    const int row = selectedRow_ + (arrowCode == kKeyUp ? -1 : 1);
    if (row < 0 || row >= view_.LineCount()) return false;
    SetSelectedRow(row);
    const int first = view_.FirstVisibleRow();
    const int visible = std::max(1, view_.VisibleRows());
    if (row < first) Scroll(verticalBar_, row - first);
    if (row >= first + visible) Scroll(verticalBar_, row - first - visible + 1);
    return true;
}

void TextList::OnTick() {
    const int lines = view_.LineCount();
    if (lines == lastLineCount_) return;
    const int added = lines - lastLineCount_;
    lastLineCount_ = lines;
    Layout();
    if (followTail_ && lines > view_.VisibleRows() && added > 0) Scroll(verticalBar_, added);
}
