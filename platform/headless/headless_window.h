// The headless window: no screen, the picture stays in memory. Tests drive the handlers
// themselves; `zb47 --headless --script FILE` runs a script of keys, clicks, waits, answers
// and screenshots against a driven clock and logs what the program sent and showed.
// Implemented in: headless_script.cpp, headless_window.cpp.
#pragma once
#include "platform/window.h"

#include <cstdio>
#include <deque>
#include <string>

// Input a test queues for a modal loop; platform_window_pump hands out one at a time.
enum class HeadlessEventKind { key, text, composition, move, button };
struct HeadlessEvent {
    HeadlessEventKind kind;
    int code = 0; // key: virtual key; composition: caret; move: x; button: 0 left, 1 right
    int y = 0;    // move
    bool down = false;
    std::string text = {}; // UTF-8
};

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
    std::deque<HeadlessEvent> queued; // filled by tests, taken by the pump
    bool text_input = false;          // platform_text_input
    int text_area_x = -1, text_area_y = -1;
    // The script run.
    FILE* log = nullptr;
    int script_errors = 0;
};

extern HeadlessWindowState g_headless_window;
void headless_window_reset();

// Runs a script against the handlers (driven clock); returns the number of script lines that
// could not be carried out. Used by the run loop when a script was given.
int headless_script_run(const char* script_path, const WindowHandlers& handlers);
// Runs the next line of the script being run; false when there is none (or no script runs).
bool headless_script_pump();
// Queued input for a modal loop (a click is a move, a press and a release).
void headless_queue_key(int virtual_key, bool down);
void headless_queue_stroke(int virtual_key); // down, then up
void headless_queue_text(const char* utf8);
void headless_queue_composition(const char* utf8, int caret);
void headless_queue_move(int x, int y);
void headless_queue_click(int x, int y);
// True once for each platform_window_wake since the last call.
bool headless_window_take_wake();
