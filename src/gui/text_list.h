#pragma once

#include <string>

#include "gui/scroll_bar.h"
#include "gui/text_view.h"

// A text view with a vertical and a horizontal scroll bar that appear when the text
// does not fit. Rows can be selected by clicking, and with follow tail the newest
// line stays in view as lines arrive.
class TextList : public Panel {
public:
    TextList();

    TextView& View() { return view_; }
    const TextView& View() const { return view_; }
    ScrollBar& VerticalBar() { return verticalBar_; }
    ScrollBar& HorizontalBar() { return horizontalBar_; }

    void AddText(const std::string& text) { view_.AddText(text); }
    void Clear();
    int LineCount() const { return view_.LineCount(); }

    void SetVerticalScrolling(bool allowed) { verticalAllowed_ = allowed; }
    void SetHorizontalScrolling(bool allowed) { horizontalAllowed_ = allowed; }
    void SetAlwaysShowVerticalBar(bool always) { alwaysShowVertical_ = always; }
    void SetFollowTail(bool follow) { followTail_ = follow; }
    void SetRowsSelectable(bool selectable);
    // -1 when nothing is selected.
    int SelectedRow() const { return selectedRow_; }
    void SetSelectedRow(int row);

    void OnResized() override;
    void OnKeyDown(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnTick() override;
    bool IsFocusStop() const override { return rowsSelectable_; }
    // Up and down choose the row above and below, scrolled into view; false at either end.
    bool TakeArrow(int arrowCode) override;

private:
    // Places the view and the bars and sets the bars' ranges from the text.
    void Layout();
    void FollowBars();
    void Scroll(ScrollBar& bar, int step);
    bool CanScrollVertically() const { return verticalBar_.IsVisible(); }
    bool CanScrollHorizontally() const { return horizontalBar_.IsVisible(); }
    void SelectRowAtMouse();

    TextView view_;
    ScrollBar verticalBar_{ScrollBar::kVertical};
    ScrollBar horizontalBar_{ScrollBar::kHorizontal};
    bool verticalAllowed_ = true;
    bool horizontalAllowed_ = true;
    bool alwaysShowVertical_ = false;
    bool followTail_ = false;
    bool rowsSelectable_ = false;
    int selectedRow_ = -1;
    int lastLineCount_ = 0;
};
