// The window timer's display jobs: fields the engine flagged, the PC keyboard's playing
// keys, press flashes, the lower-right slider panel and the step-record hold mark.
#pragma once
#include "sequencer/shell/ui_input.h"

// Window thread only.
struct TickRefresh {
    int lower_panel_shown = LOWER_TEMPO; // mode last drawn; -1 forces a redraw
    int slider_shown = -1;               // value last drawn; -1 forces a redraw
    bool key_marked[PC_NOTE_KEYS] = {};
    int step_hold_state = 0; // key edge of Ctrl
    bool step_hold_shown = false;
};

extern TickRefresh g_tick_refresh;
void tick_refresh_reset();
void tick_refresh();
