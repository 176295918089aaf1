// Reading a whole file in one call, over the platform's file functions: every reader of a
// file (songs, ringtones, settings, profiles, pictures) goes through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class FileReadResult {
    ok,
    cannot_open, // missing, a directory, or not ours to read
    too_large,   // more than the limit: `out` holds the first limit + 1 bytes
    read_error,  // the close after reading failed: `out` holds what was read
};

// Reads the file into `out`, never more than limit + 1 bytes (enough to know it is too
// large). A failed close is reported before too_large; a caller that trusts what was read
// despite it can tell a file that did not fit by out.size() > limit.
FileReadResult platform_file_read_all(const char* path, std::vector<uint8_t>& out, size_t limit);
