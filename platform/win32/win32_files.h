// Windows kernel calls shared by the backends built for Windows: files, directories, program
// directory, language, clock, programs and sockets. Paths are Shift-JIS.
// Implemented in: win32_files.cpp, win32_paths.cpp, win32_clock.cpp, win32_programs.cpp,
// win32_network.cpp.
#pragma once

#include "platform/network.h"
#include "platform/platform.h"

#include <windows.h>

struct PlatformFile {
    HANDLE handle;
    bool writing;
};

PlatformFile* win32_file_open(const char* path, FileMode mode);
size_t win32_file_read(PlatformFile* file, void* buffer, size_t count);
size_t win32_file_write(PlatformFile* file, const void* buffer, size_t count);
bool win32_file_close(PlatformFile* file);
PlatformFile* win32_file_create_beside(const char* target_path, char* temp_path,
                                       size_t temp_path_size);
// Replaces `to` in one step and has the move on the disk before it returns.
bool win32_file_rename(const char* from, const char* to);
bool win32_file_remove(const char* path);
bool win32_file_exists(const char* path);
// Names without a Shift-JIS form are left out: no path built from them could open the file.
bool win32_list_directory(const char* path, DirectoryEntryVisit visit, void* context);
bool win32_directory_exists(const char* path);

bool win32_home_directory(char* out, size_t out_size);
bool win32_current_directory(char* out, size_t out_size);
// The directory of the program's own module path.
bool win32_program_directory(char* out, size_t out_size);
// No console of its own to write to: started from the desktop or another window program.
bool win32_started_from_desktop();
// Japanese when the primary language of the system default language identifier is.
UiLanguage win32_system_language();
// Paths are Shift-JIS already: copied, cut to whole characters within out_size - 1 bytes.
void win32_path_display_text(const char* path, char* out, size_t out_size);

// Milliseconds of the multimedia clock (1 ms period) since the program started.
uint32_t win32_tick_ms();
bool win32_key_down(int virtual_key);

// Through the shell's "open" verb, in a normal window, without waiting.
bool win32_start_program(const char* program_path, const char* argument);
bool win32_open_document(const char* path_or_address);

// The system's connection-state query.
bool win32_network_available();
PlatformSocket* win32_tcp_connect(const char* host, int port, HostLookup* lookup);
PlatformSocket* win32_tcp_connect_unrecorded(const char* host, int port);
long win32_tcp_send(PlatformSocket* socket, const void* data, size_t count);
long win32_tcp_receive(PlatformSocket* socket, void* buffer, size_t count);
void win32_tcp_close(PlatformSocket* socket);
