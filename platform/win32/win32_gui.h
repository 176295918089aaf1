// The Windows window half: the USER/GDI window, the winmm MIDI ports, native dialogs built
// from the dialog table, the common file dialogs, message boxes and the clipboard.
// Implemented in: win32_window.cpp, win32_window_input.cpp, win32_midi.cpp,
// win32_dialog_template.cpp, win32_dialogs.cpp, win32_boxes.cpp, win32_clipboard.cpp,
// win32_wide.cpp.
#pragma once
#include "gui/dialog_table.h"
#include "platform/midi_backend.h"
#include "platform/platform.h"
#include "platform/window_backend.h"

#include <cstdint>
#include <string>
#include <vector>

extern const PlatformWindowBackend WIN32_WINDOW_BACKEND;
extern const PlatformMidiBackend WINMM_MIDI_BACKEND;

// Shift-JIS (code page 932) <-> UTF-16 for the wide-character calls, whatever the system's own
// code page is; and UTF-16 <-> UTF-8 for paths and typed text. Unconvertible input gives what
// the system converter gives for it (never a failure on the way to UTF-16).
std::wstring win32_wide_from_sjis(const char* sjis);
std::string win32_sjis_from_wide(const wchar_t* wide);
// False when a character has no Shift-JIS form (out then holds what could be converted).
bool win32_sjis_from_wide_strict(const wchar_t* wide, std::string& out);
std::wstring win32_wide_from_utf8(const char* utf8);
std::string win32_utf8_from_wide(const wchar_t* wide, int length = -1);

// The main window's handle (null while none is open): the owner of dialogs and boxes.
void* win32_main_window();
// True on the thread that owns the main window, or on any thread while there is none: where a
// native modal dialog may run its own message loop.
bool win32_on_window_thread();

// Message boxes and questions (MessageBoxW with the icon kinds), owned by the main window.
void win32_message_box(const char* caption, const char* text, MessageIcon icon);
bool win32_ask_ok_cancel(const char* caption, const char* text);
bool win32_ask_yes_no(const char* caption, const char* text);

// The common open and save dialogs with the request's filters; paths are Shift-JIS.
bool win32_open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size);
bool win32_save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size);
// The filter string the dialogs take: description NUL pattern NUL ... NUL.
std::wstring win32_file_filter(const FileDialogRequest& request);

void win32_wait_cursor(bool on);
void win32_status_text(const char* text);

// The clipboard holds Unicode text; Shift-JIS goes in and comes out through code page 932.
bool win32_clipboard_put_text(const char* sjis);
bool win32_clipboard_get_text(std::string& out_sjis);

// An in-memory DLGTEMPLATEEX of a dialog table: the bytes DialogBoxIndirectParamW takes
// (DWORD aligned). Rectangles stay in dialog units; texts are turned into UTF-16.
std::vector<uint8_t> win32_dialog_template_build(const DialogTemplate& dialog);

// Native modal dialogs. The behaviour sees its controls through the accessors below, called
// from its callbacks with the handle they were given.
struct Win32Dialog;
struct Win32DialogBehaviour {
    void* context = nullptr;
    void (*init)(void* context, Win32Dialog& dialog) = nullptr;
    // A button pressed or a radio button or check box clicked; buttons that end the dialog
    // (CONTROL_ENDS, OK, a CANCEL that is not a command) end it after this returns, unless
    // this ended it already.
    void (*command)(void* context, Win32Dialog& dialog, int id) = nullptr;
};
// The id that ended the dialog; dialog_closed_id's value for Esc and the close box; -1 when
// the dialog could not be shown.
int win32_dialog_run(const DialogTemplate& dialog, Win32DialogBehaviour& behaviour);
void win32_dialog_set_text(Win32Dialog& dialog, int id, const char* sjis);
std::string win32_dialog_get_text(Win32Dialog& dialog, int id);
void win32_dialog_set_limit(Win32Dialog& dialog, int id, size_t max_bytes);
void win32_dialog_set_check(Win32Dialog& dialog, int id, bool checked);
bool win32_dialog_get_check(Win32Dialog& dialog, int id);
void win32_dialog_end(Win32Dialog& dialog, int id);
