// The per-tick display jobs, run on the window thread every 20 ms.
#include "sequencer/shell/tick_refresh.h"

#include "common/key_edge.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"

TickRefresh g_tick_refresh;

namespace {

constexpr uint32_t MARK_COLOUR = 160; // dark red
constexpr uint32_t SCALE_COLOUR = 0xFF0000;

// The mark's rectangle on the on-screen key that plays the PC key's note (offset i + 1).
void key_mark_rect(int i, int& left, int& top, int& right, int& bottom) {
    static const int WHITE_OF_SEMITONE[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
    int octave = i / 12;
    int semitone = i % 12;
    int white = WHITE_OF_SEMITONE[semitone];
    if (white >= 0) {
        int k = octave * 7 + white;
        left = ON_SCREEN_KEYS.white_left + ON_SCREEN_KEYS.key_width * k + 8;
        right = left + 17;
        top = 440;
        bottom = 446;
    } else {
        // A black key sits over the boundary right of the white key below it.
        int k = octave * 7 + WHITE_OF_SEMITONE[semitone - 1];
        left = ON_SCREEN_KEYS.white_left + ON_SCREEN_KEYS.key_width * (k + 1) - 6;
        right = left + 13;
        top = 392;
        bottom = 398;
    }
}

void display_jobs() {
    EngineDisplay& d = g_engine_display;
    if (d.position_dirty.exchange(false)) {
        show_position(d.measure.load(), d.beat.load(), d.clock.load());
    }
    if (d.timesig_dirty.exchange(false)) {
        show_time_signature(d.time_sig_num.load(), d.time_sig_den.load());
    }
    if (d.tempo_dirty.exchange(false)) {
        show_tempo(d.tempo_bpm.load());
    }
}

void playing_keys_mark() {
    if (!setting_on_shared(SLOT_POSITION_DISPLAY)) {
        return;
    }
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        bool held = platform_key_down(PC_NOTE_KEY_CODES[i]);
        if (held == g_tick_refresh.key_marked[i]) {
            continue;
        }
        int left, top, right, bottom;
        key_mark_rect(i, left, top, right, bottom);
        if (held) {
            fill_rect(left, top, right, bottom, MARK_COLOUR, MARK_COLOUR, 1);
        } else {
            blit(left, top, g_shell.background_slot, left, top, right, bottom);
        }
        g_tick_refresh.key_marked[i] = held;
    }
}

void lower_panel_draw(int mode) {
    g_tick_refresh.lower_panel_shown = mode;
    if (mode == LOWER_TEMPO) {
        const ScreenRect& r = LOWER_PANEL;
        blit(r.left, r.top, g_shell.background_slot, r.left, r.top, r.right, r.bottom);
        show_port_device();
        return;
    }
    g_tick_refresh.slider_shown = -1;
    if (mode == LOWER_PITCH_BEND) {
        clear_rect(LOWER_PANEL.left, LOWER_PANEL.top, LOWER_PANEL.right, LOWER_PANEL.bottom);
        text_at(LOWER_PANEL_CAPTION.column, LOWER_PANEL_CAPTION.row, "PITCH BEND");
        draw_line(SLIDER.left, SLIDER_LINE_Y, SLIDER.right, SLIDER_LINE_Y, SCALE_COLOUR, 2);
        // Marks at the ends and at the middle (no bend).
        for (int x : {SLIDER.left, SLIDER.left + 64, SLIDER.right - 1}) {
            draw_line(x, SLIDER_LINE_Y - 2, x, SLIDER_LINE_Y + 3, SCALE_COLOUR, 1);
        }
        g_ui.slider_value.store(64);
        return;
    }
    // The frame that chose this mode set the slider to the controller's current value.
    text_at(LOWER_PANEL_CAPTION.column, LOWER_PANEL_CAPTION.row, "CONT CH ");
    zero_number_at(LOWER_PANEL_CONTROLLER.column, LOWER_PANEL_CONTROLLER.row, 3,
                   g_ui.slider_controller.load());
    platform_pointer_warp(SLIDER.left + g_ui.slider_value.load(), SLIDER_LINE_Y);
}

void slider_value_draw(int mode) {
    int value = g_ui.slider_value.load();
    if (value == g_tick_refresh.slider_shown) {
        return;
    }
    g_tick_refresh.slider_shown = value;
    number_at(LOWER_PANEL_VALUE.column, LOWER_PANEL_VALUE.row, 3,
              mode == LOWER_PITCH_BEND ? value - 64 : value);
}

void step_hold_mark() {
    if (transport_mode() != MODE_RECORDING || !step_recording_chosen()) {
        return;
    }
    key_edge_poll(VK_CONTROL, g_tick_refresh.step_hold_state);
    bool held = g_tick_refresh.step_hold_state == KEY_HELD;
    if (held != g_tick_refresh.step_hold_shown) {
        g_tick_refresh.step_hold_shown = held;
        show_step_hold_mark(held);
    }
}

} // namespace

void tick_refresh_reset() {
    g_tick_refresh = TickRefresh{};
}

void tick_refresh() {
    if (g_shell.tick_busy.exchange(true)) {
        return;
    }
    if (g_shell.app_state != STATE_START) {
        display_jobs();
        playing_keys_mark();
        frame_queue_draw_one();
        int mode = g_ui.lower_panel_mode.load();
        if (mode != g_tick_refresh.lower_panel_shown) {
            lower_panel_draw(mode);
        }
        if (mode != LOWER_TEMPO) {
            slider_value_draw(mode);
        }
        step_hold_mark();
    }
    g_shell.tick_busy.store(false);
}
