// The Windows desktop backend: the shared kernel, shell and socket entries, the window and
// its dialogs, and the winmm MIDI ports.
#include "platform/win32/win32_backend.h"

namespace {

constexpr PlatformBackend win32_table() {
    PlatformBackend t = WIN32_BACKEND_BASE;
    t.name = "win32";
    // Null until the window files are built in: WIN32_WINDOW_BACKEND and WINMM_MIDI_BACKEND.
    t.midi = nullptr;
    t.window = nullptr;
    return t;
}

} // namespace

constinit const PlatformBackend WIN32_BACKEND = win32_table();
