// The table of functions one backend exports; platform.cpp calls through the chosen table.
// Implemented in: headless/headless_backend.cpp, linux/sdl_backend.cpp,
// terminal/terminal_backend.cpp, win32/win32_backend.cpp (one table each).
#pragma once

#include "platform/midi_backend.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "platform/window_backend.h"

struct PlatformBackend {
    const char* name = nullptr;
    void (*message_box)(const char* caption, const char* text, MessageIcon icon) = nullptr;
    bool (*ask_ok_cancel)(const char* caption, const char* text) = nullptr;
    bool (*ask_yes_no)(const char* caption, const char* text) = nullptr;
    bool (*open_file_dialog)(const FileDialogRequest& request, char* path,
                             size_t path_size) = nullptr;
    bool (*save_file_dialog)(const FileDialogRequest& request, char* path,
                             size_t path_size) = nullptr;
    void (*wait_cursor)(bool on) = nullptr;
    void (*status_text)(const char* text) = nullptr;
    PlatformFile* (*file_open)(const char* path, FileMode mode) = nullptr;
    size_t (*file_read)(PlatformFile* file, void* buffer, size_t count) = nullptr;
    size_t (*file_write)(PlatformFile* file, const void* buffer, size_t count) = nullptr;
    bool (*file_close)(PlatformFile* file) = nullptr;
    PlatformFile* (*file_create_beside)(const char* target_path, char* temp_path,
                                        size_t temp_path_size) = nullptr;
    bool (*file_rename)(const char* from, const char* to) = nullptr;
    bool (*file_remove)(const char* path) = nullptr;
    bool (*file_exists)(const char* path) = nullptr;
    bool (*list_directory)(const char* path, DirectoryEntryVisit visit, void* context) = nullptr;
    bool (*directory_exists)(const char* path) = nullptr;
    bool (*home_directory)(char* out, size_t out_size) = nullptr;
    bool (*current_directory)(char* out, size_t out_size) = nullptr;
    bool (*program_directory)(char* out, size_t out_size) = nullptr;
    UiLanguage (*system_language)() = nullptr;
    uint32_t (*tick_ms)() = nullptr;
    bool (*key_down)(int virtual_key) = nullptr;
    void (*path_display_text)(const char* path, char* out, size_t out_size) = nullptr;
    bool (*clipboard_put_text)(const char* text) = nullptr;
    bool (*start_program)(const char* program_path, const char* argument) = nullptr;
    bool (*open_document)(const char* path_or_address) = nullptr;
    // Network (see platform/network.h).
    bool (*network_available)() = nullptr;
    PlatformSocket* (*tcp_connect)(const char* host, int port) = nullptr;
    long (*tcp_send)(PlatformSocket* socket, const void* data, size_t count) = nullptr;
    long (*tcp_receive)(PlatformSocket* socket, void* buffer, size_t count) = nullptr;
    void (*tcp_close)(PlatformSocket* socket) = nullptr;
    const PlatformMidiBackend* midi = nullptr;     // the MIDI ports the backend starts with
    const PlatformWindowBackend* window = nullptr; // null: no windows
    bool (*clipboard_get_text)(std::string& out_sjis) = nullptr;
};

// The handlers the program registered (all null until it does).
const DialogHandlers& platform_dialog_handlers();

extern const PlatformBackend HEADLESS_BACKEND;
#ifdef _WIN32
extern const PlatformBackend WIN32_BACKEND;
#else
extern const PlatformBackend TERMINAL_BACKEND;
#endif
#ifdef ZB_WITH_SDL
extern const PlatformBackend SDL_BACKEND;
#endif
