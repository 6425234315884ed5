#pragma once

#include <string>

#include "inspection.h"

// kav-inspect LEVELDIR: loads a level directory the way the game does (a level with
// its description file, or the menu background "data/.default") without a display or
// sound device, and reports what it built and every file it missed.
Inspection InspectLevelDirectory(const std::string& directory);
