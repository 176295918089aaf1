// The main window: a fixed picture-sized client area showing g_picture, its input events and
// the 20 ms timer. The shell registers handlers; the backend calls them on the window thread.
#pragma once
#include <cstdint>

enum class MouseButton { left, right };

struct WindowHandlers {
    void (*timer)();                         // every 20 ms
    void (*key)(int virtual_key, bool down); // Windows virtual-key codes; repeats come as downs
    void (*mouse_move)(int x, int y);        // picture pixels
    void (*mouse_button)(MouseButton button, bool down);
    void (*drop)(const char* path); // the first dropped file, only while drops are accepted
    void (*close)();                // the window's close box
    void (*wake)();                 // asked for by platform_window_wake, on the window thread
    // A clock a script drives moved on by 1 ms (headless only): the frames that a playback
    // thread would run follow the driven clock instead.
    void (*clock_step)();
    // Typed text (UTF-8) while text input is on, and an input method's text still being
    // composed (caret in characters). Null: the program takes no text.
    void (*text)(const char* utf8) = nullptr;
    void (*composition)(const char* utf8, int caret) = nullptr;
};

struct WindowOptions {
    int scale;          // integer zoom of the picture on screen; 0 chooses one that fits
    const char* script; // headless: the script file to run (null: none)
    const char* log;    // headless: where the run's log goes (null: standard output)
};

// Opens the window centred on the screen; false when there is no display to open it on.
bool platform_window_open(const char* caption, const WindowOptions& options);
// Runs the event loop until platform_window_destroy; the picture is shown as it changes.
void platform_window_run(const WindowHandlers& handlers);
void platform_window_destroy();
void platform_window_caption(const char* caption); // Shift-JIS
void platform_window_drop_accept(bool on);
// Runs handlers.wake on the window thread soon (safe from any thread).
void platform_window_wake();
// Moves the system mouse pointer onto a picture point.
void platform_pointer_warp(int x, int y);
// 0 arrow, 1 the program's own cursor, 2 hourglass.
void platform_cursor_shape(int shape);
// For a modal loop on the window thread: handles the pending events (waiting at most wait_ms
// for one), the 20 ms timer included, through the given handlers. False when the window is
// closing or, headless, when no more input will come (no script line left, no queued event).
bool platform_window_pump(const WindowHandlers& handlers, uint32_t wait_ms);
// Typed text and input-method composition reach the text handlers only while this is on.
void platform_text_input(bool on);
// Where the text being typed is, in picture pixels, so an input method can place its window.
void platform_text_input_area(int x, int y, int width, int height);
// Why the last platform_window_open failed, for the user ("" when it did not).
const char* platform_window_error();
