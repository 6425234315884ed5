#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGB pixels, rows top first, as a PNG file. False (and a log line) when
// the size does not match the pixels or the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
