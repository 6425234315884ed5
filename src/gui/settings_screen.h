#pragma once

#include <string>
#include <utility>

#include "base/ini_file.h"
#include "gui/screen.h"

// A screen that shows settings read from an INI file (kav.ini) and ends through its
// buttons: Cancel or Escape ends it as cancelled and changes nothing; OK runs Confirm,
// which saves and acts, and ends it as accepted when that succeeds. A failed Confirm
// has told the user why and leaves the screen open for another try.
class SettingsScreen : public Screen {
public:
    explicit SettingsScreen(std::string configFileName) : configFileName_(std::move(configFileName)) {}

    void Apply() final;

protected:
    virtual bool Confirm() = 0;

    // The settings file as it is now on disk.
    IniFile ReadSettings() const { return IniFile(configFileName_); }
    // Writes the file. When it cannot, the console says why and the text for the
    // player comes back; a file the player made read-only is told about once a run.
    // Empty when there is nothing to tell.
    static std::string SaveSettings(const IniFile& settings);

    // Lays a caption label and its widget out as one row of the client panel at y;
    // returns the y of the next row.
    int PlaceRow(Widget& label, Widget& widget, int y, int labelWidth, int widgetWidth);

private:
    std::string configFileName_;
};
