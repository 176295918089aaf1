// The list, grid and information panels of the right part of the picture (song banks,
// channels, tracks, devices, speed, program and bank grids, information, about text) and
// their clicks.
#pragma once

// The right panel area (299, 59) to (626, 355) in the base colour.
void clear_panel();
// Clears the panel and draws the list, grid, information or about panel of a menu row
// (page * 13 + row); false, with nothing drawn, when the row has none of these.
bool list_panel_show(int command_key);
// A click in the right panel while that row's list or grid panel is shown; false when the
// row has no such panel.
bool list_panel_click(int command_key, int x, int y);
// The program or bank of the current channel changed while its grid may be shown.
void grid_follow(int kind, int value);
