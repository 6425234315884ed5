#pragma once

#include <string>

#include "gui/dialog.h"
#include "gui/text_list.h"

// A modal dialog that shows a message in a text list, centred in its parent; it keeps
// the focus until it is closed.
class MessageBox : public Dialog {
public:
    MessageBox();

    TextList& Text() { return text_; }

    void Resize() override;
    void OnResized() override;

    static constexpr int kWidth = 320;
    static constexpr int kHeight = 160;

private:
    TextList text_;
};
