// Parameter and command panels: numeric fields with up and down buttons, value-box
// shortcuts and the two-press ENTER box that runs a row's command.
#pragma once

// Draws the panel of a menu row (page * 13 + row) and resets the confirmation; false, with
// nothing drawn, when the row has no parameter or command panel.
bool param_panel_show(int command_key);
// A click in the right panel while that row's panel is shown.
void param_panel_click(int x, int y, int command_key);
// The shown panel's layout word: upper count * 8 + lower count, + 64 with an ENTER box.
int panel_layout();
