#pragma once

#include <string>

// Screenshots go to numbered files in one folder: "kav-0001.png", "kav-0002.png", ...

// The first free name in `folder` (the folder itself need not exist yet); empty when
// every number up to kMaxScreenshots is taken.
std::string NextScreenshotPath(const std::string& folder);
constexpr int kMaxScreenshots = 9999;

// Reads the frame just drawn (the back buffer, before the swap) and writes it to the
// next free file in `folder`, creating the folder. Gives the file's path, or empty
// when nothing could be written (the log says why).
std::string SaveScreenshot(const std::string& folder, int width, int height);
