// Reads a PNG file back into 0x00RRGGBB pixels, so tests can check written screenshots.
#pragma once

#include <cstdint>
#include <vector>

// Any PNG colour type is expanded to 8-bit RGB (alpha dropped); false when the file cannot
// be read as PNG.
bool png_read_pixels(const char* path, std::vector<uint32_t>& pixels, int& width, int& height);
