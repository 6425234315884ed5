#include "gui/settings_screen.h"

#include <algorithm>

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
    SetEnabled(false);
}

void SettingsScreen::SaveSettings(const IniFile& settings) {
    if (!settings.Save()) Report(kGui, kError, "Could not save settings to %s", settings.FileName().c_str());
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
