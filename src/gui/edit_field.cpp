#include "gui/edit_field.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/clock.h"
#include "gui/draw_2d.h"
#include "gui/key_repeat.h"
#include "gui/mouse.h"

namespace {

int defaultFieldWidth = 100;
int defaultFieldHeight = 12;
constexpr int kFieldCellSize = 10;
// The Delete key's own code; 127 (the ASCII delete) erases too.
constexpr int kAsciiDelete = 127;

bool IsPrintable(int code) { return code >= 32 && code <= 126; }

}  // namespace

EditField::EditField(const std::string& text, Clock clock) : clock_(clock ? std::move(clock) : Clock(&NowMs)) {
    SetCellSize(kFieldCellSize);
    SetSize(defaultFieldWidth, defaultFieldHeight);
    SetText(text);
}

void EditField::SetDefaultSize(int width, int height) {
    defaultFieldWidth = width;
    defaultFieldHeight = height;
}

void EditField::SetText(const std::string& text) {
    Clear();
    // One line only: anything after a line feed is dropped.
    AddText(text.substr(0, text.find('\n')));
}

std::string& EditField::EditLine() {
    if (Lines().empty()) Lines().emplace_back();
    return Lines().front();
}

void EditField::KeepCursorInView() {
    if (CursorColumn() > FirstVisibleColumn() + VisibleColumns())
        SetFirstVisibleColumn(CursorColumn() - VisibleColumns());
    if (CursorColumn() < FirstVisibleColumn()) SetFirstVisibleColumn(CursorColumn());
}

void EditField::MoveCursorToMouse() {
    const double columns = static_cast<double>(CurrentMousePosition().x - Absolute().x1) / CellSize();
    // The nearest boundary; a click exactly halfway goes to the left one.
    const int nearest = static_cast<int>(std::ceil(columns - 0.5));
    SetCursorColumn(std::clamp(FirstVisibleColumn() + nearest, 0, Length()));
}

void EditField::Insert(char c) {
    EditLine().insert(static_cast<size_t>(CursorColumn()), 1, c);
    SetCursorColumn(CursorColumn() + 1);
    UpdateLongestLine();
    KeepCursorInView();
}

void EditField::EraseBefore() {
    EditLine();  // an empty field gets its line
    if (CursorColumn() == 0) return;
    EditLine().erase(static_cast<size_t>(CursorColumn() - 1), 1);
    SetCursorColumn(CursorColumn() - 1);
    UpdateLongestLine();
    KeepCursorInView();
}

void EditField::EraseAt() {
    if (CursorColumn() >= Length()) return;
    EditLine().erase(static_cast<size_t>(CursorColumn()), 1);
    UpdateLongestLine();
}

void EditField::OnKeyDown(KeyEvent* event) {
    const int code = event->code;
    // The cursor may have been set from outside; editing never reaches past the text.
    SetCursorColumn(std::clamp(CursorColumn(), 0, Length()));
    if (code == kMouseLeft) {
        MoveCursorToMouse();
        return;
    }
    if (code == kKeyRight) {
        if (CursorColumn() < Length()) SetCursorColumn(CursorColumn() + 1);
        if (CursorColumn() > FirstVisibleColumn() + VisibleColumns()) SetFirstVisibleColumn(FirstVisibleColumn() + 1);
    } else if (code == kKeyLeft) {
        if (CursorColumn() > 0) SetCursorColumn(CursorColumn() - 1);
        if (CursorColumn() < FirstVisibleColumn()) SetFirstVisibleColumn(CursorColumn());
    } else if (code == kKeyHome) {
        SetCursorColumn(0);
        SetFirstVisibleColumn(0);
    } else if (code == kKeyEnd) {
        SetCursorColumn(Length());
        if (Length() > FirstVisibleColumn() + VisibleColumns()) SetFirstVisibleColumn(Length() - VisibleColumns());
    } else if (code == kKeyBackspace) {
        EraseBefore();
    } else if (code == kKeyDelete || code == kAsciiDelete) {
        EraseAt();
    } else if (IsPrintable(code)) {
        Insert(static_cast<char>(code));
    } else {
        return;
    }
    event->code = KEY_CONSUMED;
}

void EditField::OnTick() {
    if (!HasFocus()) return;
    const int64_t now = clock_();
    if (now <= nextBlinkMs_) return;
    nextBlinkMs_ = now + kBlinkPeriodMs;
    SetCursorShown(!CursorShown());
}

void EditField::OnFocusGained() { SwitchKeyRepeatFilter(false); }

void EditField::OnFocusLost() {
    SwitchKeyRepeatFilter(true);
    SetCursorShown(false);
}

void FramedEditField::DrawSelf() {
    const AbsoluteRect& box = Absolute();
    FillRect(box.x1, box.y1, box.x2, box.y2, HasFocus() ? highlightColour : normalColour);
    DrawOutline(box.x1, box.y1, box.x2, box.y2, shadeColour);
    EditField::DrawSelf();
}
