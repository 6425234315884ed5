#include "gui/screen.h"

Screen::Screen() {
    SetModal(true);
    AddChild(&messageBox_);
    messageBox_.SetVisible(false);
}

void Screen::ClearRequests() {
    accepted_ = false;
    cancelled_ = false;
}

void Screen::ShowMessage(const std::string& caption, const std::string& text, int buttons) {
    messageBox_.ResetClicks();
    messageBox_.OkButton().SetVisible(buttons == kShowOk);
    messageBox_.CancelButton().SetVisible(buttons == kShowCancel);
    messageBox_.SetCloseOnSubmit(true);
    messageBox_.SetEnabled(true);
    messageBox_.SetCaption(caption);
    messageBox_.Text().Clear();
    messageBox_.Text().AddText(text);
    messageBox_.Resize();
    messageBox_.SetVisible(true);
}

void Screen::OnVisibilityChanged(bool shown) {
    if (shown) ClearRequests();
    Dialog::OnVisibilityChanged(shown);
}

void Screen::Tick() {
    if (owner_ == nullptr || !IsVisible() || messageBox_.IsVisible()) return;
    if (accepted_) {
        ResetClicks();
        SetVisible(false);
    } else if (cancelled_ || closeRequested_) {
        ResetClicks();
        cancelled_ = true;
        closeRequested_ = false;
        SetVisible(false);
    }
    Dialog::Tick();
}
