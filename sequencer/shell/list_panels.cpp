// List, grid and information panels (filled in by the panels work).
#include "sequencer/shell/panels.h"

#include "sequencer/shell/draw.h"

void clear_panel() {
    clear_rect(299, 59, 627, 356);
}

bool list_panel_show(int) {
    return false;
}

bool list_panel_click(int, int, int) {
    return false;
}

void grid_follow(int, int) {}
