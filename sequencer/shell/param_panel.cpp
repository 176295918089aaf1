// Parameter and command panels (filled in by the panels work).
#include "sequencer/shell/param_panel.h"

bool param_panel_show(int) {
    return false;
}

void param_panel_click(int, int, int) {}

int panel_layout() {
    return 0;
}
