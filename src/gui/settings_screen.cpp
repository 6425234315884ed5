#include "gui/settings_screen.h"

#include <algorithm>
#include <atomic>

#include "base/report.h"

void SettingsScreen::Apply() {
    if (CancelButton().Clicked()) {
        Cancel();
        // No more input until the next tick has closed the screen.
        SetEnabled(false);
        return;
    }
    // A failed try must not be repeated by the next key that is released.
    OkButton().SetClicked(false);
    if (!Confirm()) return;
    Accept();
    // A notice from Confirm must still take its OK; the screen closes after it.
    if (!Message().IsVisible()) SetEnabled(false);
}

namespace {

// Every screen saves the same kav.ini, so they share what the player has heard.
std::atomic<bool> readOnlyTold{false};

}  // namespace

std::string SettingsScreen::SaveSettings(const IniFile& settings) {
    IniSaveFailure failure;
    if (settings.Save(&failure)) return std::string();
    const std::string& file = settings.FileName();
    if (failure.readOnly) {
        if (readOnlyTold.exchange(true)) {
            Report(LogModule::kGui, LogLevel::kInfo, "Settings not saved: %s is read-only", file.c_str());
            return std::string();
        }
        Report(LogModule::kGui, LogLevel::kError, "Settings cannot be saved: %s is read-only", file.c_str());
        return "Settings cannot be saved: " + file + " is read-only.";
    }
    Report(LogModule::kGui, LogLevel::kError, "Could not save settings to %s: %s", file.c_str(),
           failure.reason.c_str());
    return "Settings could not be saved to " + file + ": " + failure.reason;
}

int SettingsScreen::PlaceRow(Widget& label, Widget& widget, int y, int labelWidth, int widgetWidth) {
    const int x = ClientPanel().Client().x + MarginX();
    const int height = std::max(label.Height(), widget.Height());
    label.SetSize(labelWidth, label.Height());
    label.SetPosition(x, y + (height - label.Height()) / 2);
    widget.SetSize(widgetWidth, widget.Height());
    widget.SetPosition(x + labelWidth + Spacing(), y + (height - widget.Height()) / 2);
    return y + height + Spacing() * 3;
}
