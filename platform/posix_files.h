// POSIX file calls shared by the backends that run on Linux.
// Implemented in: posix_files.cpp, posix_text.cpp.
#pragma once

#include "platform/platform.h"

struct PlatformFile {
    int fd;
    bool writing;
};

PlatformFile* posix_file_open(const char* path, FileMode mode);
size_t posix_file_read(PlatformFile* file, void* buffer, size_t count);
size_t posix_file_write(PlatformFile* file, const void* buffer, size_t count);
bool posix_file_close(PlatformFile* file);
PlatformFile* posix_file_create_beside(const char* target_path, char* temp_path,
                                       size_t temp_path_size);
bool posix_file_rename(const char* from, const char* to);
bool posix_file_remove(const char* path);
bool posix_file_exists(const char* path);
bool posix_list_directory(const char* path, DirectoryEntryVisit visit, void* context);
bool posix_directory_exists(const char* path);
bool posix_home_directory(char* out, size_t out_size);
bool posix_current_directory(char* out, size_t out_size);
bool posix_started_from_desktop();
bool posix_program_directory(char* out, size_t out_size);
// Japanese when LC_ALL, LC_MESSAGES or LANG (the first one set) begins with "ja".
UiLanguage posix_system_language();
uint32_t posix_tick_ms();
// The path as Shift-JIS, cut to whole characters within out_size - 1 bytes.
void posix_path_display_text(const char* path, char* out, size_t out_size);
