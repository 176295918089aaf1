// Whole-file writes beside the target and a rename over it, through the platform's file
// functions.
#include "platform/file_write_all.h"

#include "platform/platform.h"

#include <cstdlib>
#include <cstring>

namespace {

// Room beside the target's path for the name create_beside picks; a backend may choose a
// whole name of its own (Windows names stay within 260 characters).
constexpr size_t TEMP_NAME_ROOM = 272;

FileWriteResult write_failed(FileWriteResult result, const char* temp_path) {
    platform_file_remove(temp_path);
    return result;
}

} // namespace

FileWriteResult platform_file_write_pieces(const char* path, const FileBytes* pieces,
                                           size_t count) {
    size_t temp_size = strlen(path) + TEMP_NAME_ROOM;
    char* temp_path = static_cast<char*>(malloc(temp_size));
    if (temp_path == nullptr) {
        return FileWriteResult::cannot_create;
    }
    FileWriteResult result = FileWriteResult::written;
    PlatformFile* file = platform_file_create_beside(path, temp_path, temp_size);
    if (file == nullptr) {
        result = FileWriteResult::cannot_create;
    } else {
        bool complete = true;
        for (size_t i = 0; i < count && complete; i++) {
            complete = platform_file_write(file, pieces[i].data, pieces[i].size) == pieces[i].size;
        }
        bool closed = platform_file_close(file);
        if (!complete) {
            result = write_failed(FileWriteResult::write_error, temp_path);
        } else if (!closed) {
            result = write_failed(FileWriteResult::close_error, temp_path);
        } else if (!platform_file_rename(temp_path, path)) {
            result = write_failed(FileWriteResult::rename_error, temp_path);
        }
    }
    free(temp_path);
    return result;
}

FileWriteResult platform_file_write_all(const char* path, const void* bytes, size_t size) {
    FileBytes whole{bytes, size};
    return platform_file_write_pieces(path, &whole, 1);
}
