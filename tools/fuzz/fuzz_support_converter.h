// Shared start of the converter fuzz targets: a fresh converter with the headless backend
// and a private directory for the input and output files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Resets the converter and writes the input as `name` in the fuzz directory; returns the path.
std::string fuzz_converter_begin(const uint8_t* data, size_t size, const char* name);
// Removes every file the run left in the fuzz directory.
void fuzz_converter_end();
