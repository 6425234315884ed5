#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gui/text_view.h"

// A one-line text input: the first line of its view. Typing inserts at the cursor,
// which blinks while the field has focus; held keys repeat while it has focus.
class EditField : public TextView {
public:
    using Clock = std::function<int64_t()>;

    // The clock defaults to the process's millisecond clock.
    explicit EditField(const std::string& text = "Edit1", Clock clock = {});

    // The size every new field starts with (100 x 12).
    static void SetDefaultSize(int width, int height);

    std::string Text() const { return Line(0); }
    void SetText(const std::string& text);

    void OnKeyDown(KeyEvent* event) override;
    void OnTick() override;
    void OnFocusGained() override;
    void OnFocusLost() override;

    static constexpr int kBlinkPeriodMs = 750;

private:
    std::string& EditLine();
    int Length() const { return static_cast<int>(Line(0).size()); }
    void KeepCursorInView();
    void MoveCursorToMouse();
    void Insert(char c);
    void EraseBefore();
    void EraseAt();

    Clock clock_;
    int64_t nextBlinkMs_ = 0;
};

// The field as screens use it: a filled box, lighter while it has focus.
class FramedEditField : public EditField {
public:
    using EditField::EditField;

    void DrawSelf() override;
};
