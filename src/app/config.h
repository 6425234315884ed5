#pragma once

#include <string>

class IniFile;

// The user configuration "kav.ini": its default text, and the readers of the
// [Keys] and [log] sections that run at start-up.

extern const char* const kConfigFileName;  // "kav.ini"
extern const char* const kDefaultConfigText;

// Writes the default kav.ini when it cannot be opened. When it cannot be created
// either, prints the default text and ends the process with status 0.
void EnsureDefaultConfig(const char* path = kConfigFileName);

// Sets each module's info switch from [log] where its key is present.
void ReadLogSwitches(const IniFile& ini);

// What [opengl] asks of GL; applying it is the drawing code's business.
enum class ShadeModel { kSmooth, kFlat };
enum class PerspectiveHint { kNicest, kFastest, kDontCare };
struct OpenGlHints {
    ShadeModel shadeModel = ShadeModel::kFlat;
    PerspectiveHint perspectiveHint = PerspectiveHint::kDontCare;
};
OpenGlHints ReadOpenGlHints(const IniFile& ini);
