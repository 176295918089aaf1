// The modal loop: one view (a dialog drawn inside the picture) takes the window's input until
// it is done, while the picture around it and the song playing go on.
//
// Threads. modal_run runs on whichever thread opened the view (the frame's). On the window
// thread (the transport stopped) it pumps the window's events itself through the handlers
// given to modal_attach (or, with none, straight into the view). On any other thread (a
// frame on the playback thread) it must not pump: the window thread's handlers hand input to
// the modal_post_* calls, a locked ring that modal_run drains, and between events modal_run
// calls ModalHooks::keep_playing about every millisecond. The view's callbacks always run on
// the modal_run thread.
// Implemented in: modal.cpp, modal_input.cpp.
#pragma once
#include "platform/window.h"
#include "sequencer/shell/canvas.h"

#include <cstdint>

struct ModalView {
    int x, y, width, height; // picture pixels the view covers
    void* context;
    // Paints the view into modal_canvas() (not the picture: the loop shows the result).
    void (*draw)(void* context);
    // Shift and Ctrl come as keys too; modal_shift_down / modal_ctrl_down tell their state.
    void (*key)(void* context, int virtual_key, bool down);
    void (*text)(void* context, const char* utf8);
    void (*composition)(void* context, const char* utf8, int caret);
    void (*mouse_move)(void* context, int x, int y); // picture pixels
    void (*mouse_button)(void* context, MouseButton button, bool down, int x, int y);
    bool (*finished)(void* context);
    void (*cancel)(void* context); // the input ended or the window is closing
    bool wants_text;               // typed text and input-method composition are on
};

// Filled by the program at start, before any view runs; called on the modal_run thread.
// Null members are done without.
struct ModalHooks {
    void (*opened)() = nullptr;       // a view opened: the press that led there must not act
    void (*keep_playing)() = nullptr; // the song's step, while a view waits for input
};
extern ModalHooks g_modal_hooks;

// Every callback may be null. Returns once finished() is true, or after cancel() when the
// input ends (the window closes, or a headless run has no input left).
void modal_run(ModalView& view);
// True while a view runs (any thread may ask).
bool modal_active();
// The window thread's own handlers: called on the window thread, which pumps through them
// while a view opened there runs. They are to hand input to modal_post_* while
// modal_active().
void modal_attach(const WindowHandlers* handlers);
// The full picture-sized block the innermost view paints into.
Canvas modal_canvas();
// The held state of Shift and Ctrl as the view's keys left it.
bool modal_shift_down();
bool modal_ctrl_down();

// Input for the running view, from any thread.
void modal_post_key(int virtual_key, bool down);
void modal_post_text(const char* utf8);
void modal_post_composition(const char* utf8, int caret);
void modal_post_mouse_move(int x, int y);
void modal_post_mouse_button(MouseButton button, bool down);
void modal_post_close();

// Back to the start state (no view, no hooks, nothing attached).
void modal_reset();
