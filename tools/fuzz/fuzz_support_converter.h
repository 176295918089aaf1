// Shared start and check of the converter fuzz targets: a fresh converter with the headless
// backend, a private directory for the input and output files, and the load-back check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Resets the converter and writes the input as `name` in the fuzz directory; returns the path.
std::string fuzz_converter_begin(const uint8_t* data, size_t size, const char* name);
// Runs the conversion; a file it writes must load as an SMF again, or the run aborts.
void fuzz_conversion_loads_back();
// Removes every file the run left in the fuzz directory.
void fuzz_converter_end();
