// Writing a whole file in one call, over the platform's file functions: the bytes go to a new
// file beside the target, which replaces the target only once every byte is written and
// closed, so a failed write never leaves the old file cut short or a stray file behind.
#pragma once

#include <cstddef>

enum class FileWriteResult {
    written,
    cannot_create, // no new file beside the target (missing directory, no permission)
    write_error,   // not every byte was written
    close_error,   // the close after writing failed: the bytes may not be on the disk
    rename_error,  // the new file could not replace the target
};

// One run of bytes of a file written in pieces (chunks already lying in a larger store).
struct FileBytes {
    const void* data = nullptr;
    size_t size = 0;
};

// Writes the pieces in order as the whole new content of `path`. On any failure the file
// beside the target is removed and the target keeps its old content.
FileWriteResult platform_file_write_pieces(const char* path, const FileBytes* pieces, size_t count);
FileWriteResult platform_file_write_all(const char* path, const void* bytes, size_t size);
