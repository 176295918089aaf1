// The program's only door to the operating system: free functions that call through the
// backend table chosen once at start. Texts handed in are Shift-JIS bytes, as shown to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class MessageIcon { information, exclamation, question };
enum class UiLanguage { english, japanese };
enum class FileMode { read, write };

struct FileDialogFilter {
    const char* description; // "MID Files (*.MID)"
    const char* pattern;     // "*.mid"
};

struct FileDialogRequest {
    const FileDialogFilter* filters;
    int filter_count;
    const char* default_extension; // without the period
    const char* initial_name;      // proposed name or directory; may be empty
};

// What the window's own file dialogs are: the program that draws them registers them, since
// the platform cannot reach upward. Either may be null (the dialog is then cancelled).
struct DialogHandlers {
    bool (*open_file)(const FileDialogRequest& request, char* path, size_t path_size);
    bool (*save_file)(const FileDialogRequest& request, char* path, size_t path_size);
    // Message boxes and questions drawn in the window (null: the backend's own boxes).
    void (*message_box)(const char* caption, const char* text, MessageIcon icon) = nullptr;
    bool (*ask_yes_no)(const char* caption, const char* text) = nullptr;
    bool (*ask_ok_cancel)(const char* caption, const char* text) = nullptr;
};

// Called for each entry of a listed directory with its name as stored (bytes, not display
// text) and whether it is a directory (a link to one counts as one).
using DirectoryEntryVisit = void (*)(void* context, const char* name, bool is_directory);

struct PlatformFile;

// Chooses the backend by name ("headless"); false when it was not built in. The backend
// brings its own MIDI ports; platform_select_midi swaps them for another built-in set
// ("headless", "alsa"), so a run without a window can still play to real ports.
bool platform_select(const char* backend_name);
bool platform_select_midi(const char* midi_name);
// The backend with the system's own windows: "win32" on Windows, "sdl" elsewhere. Selecting it
// fails when this build has it without a window (the program then says so and ends).
#ifdef _WIN32
constexpr const char* PLATFORM_DESKTOP_BACKEND = "win32";
#else
constexpr const char* PLATFORM_DESKTOP_BACKEND = "sdl";
#endif
bool platform_select_desktop();
const char* platform_backend_name();
// Names of the backends this build carries, separated by spaces.
const char* platform_built_backends();
// Puts the program's own records in this layer (the picture, the terminal's state) back into
// their start state; first in each program's reset list. The headless backend's records are
// its controls, set up by whoever drives it, and reset with headless_backend_reset().
void platform_records_reset();

// Message boxes and questions. A question's result is true for OK or Yes.
void platform_message_box(const char* caption, const char* text, MessageIcon icon);
bool platform_ask_ok_cancel(const char* caption, const char* text);
bool platform_ask_yes_no(const char* caption, const char* text);

// File dialogs: on OK the chosen path is copied (bounded, NUL-terminated) and true returned.
bool platform_open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size);
bool platform_save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size);
// Set once at start, before the window runs; a backend with a window calls them for its dialogs.
void platform_set_dialog_handlers(const DialogHandlers& handlers);

void platform_wait_cursor(bool on);

// Every status-line text also reaches the backend, so scripted runs can log it.
void platform_status_text(const char* text);

// Files. Writing creates or truncates. A short count from read means end of file or failure.
PlatformFile* platform_file_open(const char* path, FileMode mode);
size_t platform_file_read(PlatformFile* file, void* buffer, size_t count);
size_t platform_file_write(PlatformFile* file, const void* buffer, size_t count);
bool platform_file_close(PlatformFile* file);
// Creates a new empty file in the directory of target_path for a later rename over it; the
// chosen name goes to temp_path.
PlatformFile* platform_file_create_beside(const char* target_path, char* temp_path,
                                          size_t temp_path_size);
// Replaces `to` with `from` in one step.
bool platform_file_rename(const char* from, const char* to);
bool platform_file_remove(const char* path);
bool platform_file_exists(const char* path);
// Visits every entry of a directory except "." and "..", in no particular order; false when
// the directory cannot be read (nothing visited).
bool platform_list_directory(const char* path, DirectoryEntryVisit visit, void* context);
bool platform_directory_exists(const char* path);
// The user's home directory and the working directory, without a trailing separator (the
// root stays "/"); false when unknown or longer than out_size allows.
bool platform_home_directory(char* out, size_t out_size);
bool platform_current_directory(char* out, size_t out_size);

constexpr char PLATFORM_PATH_SEPARATOR = '/';

// True when the program was started from a desktop rather than a terminal: neither standard
// input nor output is a terminal and a display is there (DISPLAY or WAYLAND_DISPLAY). Asked
// before a backend is chosen, so it does not go through one.
bool platform_started_from_desktop();

// Directory of the running program, without a trailing separator.
bool platform_program_directory(char* out, size_t out_size);
UiLanguage platform_system_language();

// Milliseconds of a monotonic tick count, and whether a virtual key is held now.
uint32_t platform_tick_ms();
bool platform_key_down(int virtual_key);

// A path as Shift-JIS text for messages (file names on this system are UTF-8).
void platform_path_display_text(const char* path, char* out, size_t out_size);

// Clipboard: puts a NUL-terminated text there as plain text; false when there is none.
bool platform_clipboard_put_text(const char* text);
// The clipboard's text as Shift-JIS; false (and out empty) when it holds no text or text
// that Shift-JIS cannot hold.
bool platform_clipboard_get_text(std::string& out_sjis);
// Starts a program with one argument (null: none) and does not wait for it; false when it
// cannot start.
bool platform_start_program(const char* program_path, const char* argument);
// Opens a file or web address with the program the system associates with it.
bool platform_open_document(const char* path_or_address);
