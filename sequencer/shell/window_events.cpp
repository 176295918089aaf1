// Window events: the input latch, frames run for input while stopped, the timer, dropped
// files and the close box. While a dialog is open its input goes to the dialog.
#include "sequencer/shell/window_events.h"

#include "common/status_line.h"
#include "gui/modal.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/tick_refresh.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstring>

namespace {

// Every window event first shows the cursor the frames asked for.
void cursor_apply() {
    int shape = g_shell.cursor_shape.load(std::memory_order_relaxed);
    if (shape != g_shell.cursor_shown) {
        g_shell.cursor_shown = shape;
        platform_cursor_shape(shape);
    }
}

bool stopped() {
    return transport_mode() == MODE_STOPPED;
}

bool music_runs() {
    int mode = transport_mode();
    return mode == MODE_PLAYING || mode == MODE_RECORDING;
}

void on_timer() {
    cursor_apply();
    tick_refresh();
    if (g_shell.frames_follow_clock && music_runs()) {
        return; // the driven clock runs the frames
    }
    engine_timer_tick();
}

void on_clock_step() {
    if (g_shell.frames_follow_clock && music_runs()) {
        // The frame that opened a dialog is still under way: only the song moves on.
        if (modal_active() && g_modal_hooks.keep_playing) {
            g_modal_hooks.keep_playing();
        } else {
            frame_routine();
        }
    }
}

void on_key(int virtual_key, bool down) {
    cursor_apply();
    if (modal_active()) {
        // A key let go is let go for the main window too; a new one is the dialog's alone.
        if (!down && g_shell.key_code.load() == virtual_key) {
            g_shell.key_code.store(0);
        }
        if (!down && virtual_key == VK_SHIFT) {
            g_shell.shift_down.store(0);
        }
        modal_post_key(virtual_key, down);
        return;
    }
    if (down) {
        if (virtual_key == VK_SHIFT) {
            g_shell.shift_down.store(1);
        }
        g_shell.key_code.store(virtual_key);
    } else {
        if (g_shell.key_code.load() == virtual_key) {
            g_shell.key_code.store(0);
        }
        if (virtual_key == VK_SHIFT) {
            g_shell.shift_down.store(0);
        }
    }
    if (stopped()) {
        frame_routine();
    }
}

void on_mouse_move(int x, int y) {
    cursor_apply();
    g_shell.mouse_x.store(x);
    g_shell.mouse_y.store(y);
    baton_mouse_y_set(y);
    if (modal_active()) {
        modal_post_mouse_move(x, y);
    }
}

void on_mouse_button(MouseButton button, bool down) {
    cursor_apply();
    if (modal_active()) {
        if (!down) {
            (button == MouseButton::left ? g_shell.left_down : g_shell.right_down).store(0);
        }
        modal_post_mouse_button(button, down);
        return;
    }
    if (button == MouseButton::left) {
        g_shell.left_down.store(down ? 1 : 0);
        if (down && stopped()) {
            frame_routine();
        }
    } else {
        g_shell.right_down.store(down ? 1 : 0);
    }
}

void song_load_and_locate() {
    if (song_load() == SongLoadResult::loaded) {
        position_reset();
        step_lengths_update();
    }
}

void on_drop(const char* path) {
    cursor_apply();
    if (!stopped() || modal_active()) {
        return; // drops are switched off while music runs; one may still be under way
    }
    // A path cut to fit could name another file: one that does not fit is not loaded.
    if (strlen(path) >= sizeof g_song_files.file_path) {
        show_status("file not found");
    } else {
        snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path);
        file_name_from_path();
        song_load_and_locate();
    }
    g_menu.last_command_key = NO_COMMAND;
    show_command(SHOW_REDRAW);
    g_shell.left_down.store(0);
    g_shell.cursor_shape.store(0);
}

void on_close() {
    cursor_apply();
    if (modal_active()) {
        modal_post_close(); // the dialog ends as if cancelled; the window stays
        return;
    }
    close_sequence();
}

// MIDI input arrived while stopped: a frame runs for it on the window thread.
void on_wake() {
    if (stopped()) {
        frame_routine();
    }
}

// Typed text matters only to a dialog's text field.
void on_text(const char* utf8) {
    if (modal_active()) {
        modal_post_text(utf8);
    }
}

void on_composition(const char* utf8, int caret) {
    if (modal_active()) {
        modal_post_composition(utf8, caret);
    }
}

} // namespace

const WindowHandlers SHELL_WINDOW_HANDLERS = {
    on_timer, on_key,  on_mouse_move, on_mouse_button, on_drop,
    on_close, on_wake, on_clock_step, on_text,         on_composition,
};
