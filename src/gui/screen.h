#pragma once

#include <string>

#include "gui/dialog.h"
#include "gui/message_box.h"

// The base of every menu screen: a modal dialog that its owner shows, that finishes
// by being accepted or cancelled (the owner then decides what comes next), and that
// shows errors and notices in its own message box.
class Screen : public Dialog {
public:
    Screen();

    // The application object that shows the screen; the screen does nothing until it has one.
    void SetOwner(Widget* owner) { owner_ = owner; }
    Widget* Owner() const { return owner_; }

    // Ends the screen on its next tick as accepted, or as cancelled.
    void Accept() { accepted_ = true; }
    void Cancel() { cancelled_ = true; }
    void RequestClose() { closeRequested_ = true; }
    bool IsAccepted() const { return accepted_; }
    bool IsCancelled() const { return cancelled_; }
    bool IsCloseRequested() const { return closeRequested_; }
    virtual void ClearRequests();

    // Buttons: 1 OK only, 2 Cancel only, anything else neither.
    void ShowMessage(const std::string& caption, const std::string& text, int buttons);
    MessageBox& Message() { return messageBox_; }

    // The client layout: distance from the client panel's edges and between widgets.
    void SetMargins(int x, int y) {
        marginX_ = x;
        marginY_ = y;
    }
    int MarginX() const { return marginX_; }
    int MarginY() const { return marginY_; }
    int Spacing() const { return spacing_; }

    void OnVisibilityChanged(bool shown) override;
    void Tick() override;

    static constexpr int kShowOk = 1;
    static constexpr int kShowCancel = 2;

private:
    Widget* owner_ = nullptr;
    bool accepted_ = false;
    bool cancelled_ = false;
    bool closeRequested_ = false;
    int marginX_ = 5;
    int marginY_ = 5;
    int spacing_ = 2;
    MessageBox messageBox_;
};
