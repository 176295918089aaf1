// The headless window: no screen, the picture stays in memory. Tests drive the handlers
// themselves; `zb47 --headless --script FILE` runs a script of keys, clicks, waits, answers
// and screenshots against a driven clock and logs what the program sent and showed.
// Implemented in: headless_script.cpp, headless_window.cpp.
#pragma once
#include "platform/window.h"

#include <cstdio>
#include <string>

// Window thread only (tests stand in for it); a wake from another thread goes through an
// atomic of the backend instead.
struct HeadlessWindowState {
    bool open = false;
    bool destroyed = false;
    std::string caption; // Shift-JIS, as handed in
    bool drop_accepted = false;
    int cursor_shape = 0;
    int warp_x = -1, warp_y = -1;
    int warps = 0;
    WindowOptions options{};
    // The script run.
    FILE* log = nullptr;
    int script_errors = 0;
};

extern HeadlessWindowState g_headless_window;
void headless_window_reset();

// Runs a script against the handlers (driven clock); returns the number of script lines that
// could not be carried out. Used by the run loop when a script was given.
int headless_script_run(const char* script_path, const WindowHandlers& handlers);
// True once for each platform_window_wake since the last call.
bool headless_window_take_wake();
