// The three screen-mode handlers the frame routine runs, the exit path and the caption.
#pragma once

// Runs the handler of app_state, then the frame's end-of-frame latches.
void screen_mode_step();
void startup_step();
void run_step();
void quit_step();
void release_pictures();
// The window's close box: false when the user chose to stay.
bool close_sequence();
void set_window_title();
// The command-line text as given (one song path, maybe in double quotes).
void command_line_set(const char* text);
