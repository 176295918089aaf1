// Shared by the fuzz targets: writing the input to the file the code under test reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A file that cannot be written is the machine's fault, not the input's: stop loudly.
inline void write_temp(const char* path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path, "wb");
    if (f == nullptr) {
        abort();
    }
    if (size > 0) {
        fwrite(data, 1, size, f);
    }
    fclose(f);
}
