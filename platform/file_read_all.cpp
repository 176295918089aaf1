// Whole-file reads in blocks through the platform's open, read and close.
#include "platform/file_read_all.h"

#include "platform/platform.h"

FileReadResult platform_file_read_all(const char* path, std::vector<uint8_t>& out, size_t limit) {
    out.clear();
    PlatformFile* file = platform_file_open(path, FileMode::read);
    if (file == nullptr) {
        return FileReadResult::cannot_open;
    }
    constexpr size_t BLOCK = 65536;
    size_t wanted_total = limit < SIZE_MAX ? limit + 1 : limit;
    while (out.size() < wanted_total) {
        size_t old_size = out.size();
        size_t wanted = wanted_total - old_size < BLOCK ? wanted_total - old_size : BLOCK;
        out.resize(old_size + wanted);
        size_t got = platform_file_read(file, out.data() + old_size, wanted);
        out.resize(old_size + got);
        if (got < wanted) {
            break; // the end of the file, or a failure the close reports
        }
    }
    if (!platform_file_close(file)) {
        return FileReadResult::read_error;
    }
    return out.size() > limit ? FileReadResult::too_large : FileReadResult::ok;
}
