// The status line of the sequencer screen. The shell registers the drawing hook; until then
// (and in tests) texts only reach the platform backend, which the headless one records.
#pragma once

using StatusHook = void (*)(const char* text);

// Set on the window thread at start, before other threads run; afterwards only read.
struct StatusLine {
    StatusHook draw_hook = nullptr; // set by the shell; may be null
};

extern StatusLine g_status_line;

void status_line_reset();
// Shows a Shift-JIS text on the status line.
void show_status(const char* text);
