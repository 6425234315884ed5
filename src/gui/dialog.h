#pragma once

#include <string>

#include "gui/button_bar.h"
#include "gui/label.h"
#include "gui/scroll_panel.h"
#include "gui/sound_button.h"

// A window with a caption at the top, OK and Cancel in a button bar at the bottom
// and a client panel between them for the widgets of the screen built on it.
// Tab walks the hover through its parts, Escape cancels, and OK or Cancel submits.
class Dialog : public FramedPanel {
public:
    Dialog();

    // The minimum size of every new dialog (240 x 50).
    static void SetDefaultMinSize(int width, int height);

    // With close-on-submit: disables the dialog, applies, then hides it; otherwise
    // only applies.
    virtual void Submit();
    // What submitting does for the screen built on the dialog.
    virtual void Apply() {}
    virtual void RemoveClientChild(Widget* child);
    void AddClientChild(Widget* child);

    void SetCaption(const std::string& caption) { caption_.SetText(caption); }
    void SetCloseOnSubmit(bool close) { closeOnSubmit_ = close; }
    bool ClosesOnSubmit() const { return closeOnSubmit_; }

    Label& Caption() { return caption_; }
    SoundButton& OkButton() { return okButton_; }
    SoundButton& CancelButton() { return cancelButton_; }
    ButtonBar& Buttons() { return buttonBar_; }
    ScrollPanel& ClientPanel() { return clientPanel_; }

    void KeyDown(KeyEvent* event) override;
    void KeyUp(KeyEvent* event) override;
    void ResetClicks() override;
    void Resize() override;
    void OnShown() override;
    void OnFocusGained() override;

private:
    // Lays out the caption, the button bar and the client panel inside the border.
    void Layout();
    void MoveHoverToNextChild();

    Label caption_{"Dialog"};
    SoundButton okButton_{"OK"};
    SoundButton cancelButton_{"Cancel"};
    ButtonBar buttonBar_;
    ScrollPanel clientPanel_;
    bool closeOnSubmit_ = false;
};
