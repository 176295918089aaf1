// The Windows desktop backend: the shared kernel, shell and socket entries, the window and
// its dialogs, and the winmm MIDI ports.
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_gui.h"

namespace {

constexpr PlatformBackend win32_table() {
    PlatformBackend t = WIN32_BACKEND_BASE;
    t.name = "win32";
    t.message_box = win32_message_box;
    t.ask_ok_cancel = win32_ask_ok_cancel;
    t.ask_yes_no = win32_ask_yes_no;
    t.open_file_dialog = win32_open_file_dialog;
    t.save_file_dialog = win32_save_file_dialog;
    t.wait_cursor = win32_wait_cursor;
    t.status_text = win32_status_text;
    t.clipboard_put_text = win32_clipboard_put_text;
    t.clipboard_get_text = win32_clipboard_get_text;
    t.midi = &WINMM_MIDI_BACKEND;
    t.window = &WIN32_WINDOW_BACKEND;
    return t;
}

} // namespace

constinit const PlatformBackend WIN32_BACKEND = win32_table();
