// The list, grid and information panels of the right part of the picture (song banks,
// channels, tracks, devices, speed, program and bank grids, information, about text) and
// their clicks.
// Implemented in: bank_panel.cpp, grid_panel.cpp, list_panels.cpp.
#pragma once
#include "sequencer/shell/screen_layout.h"

// Frames own this record (panels are drawn and clicked inside the frame routine; the MIDI
// sender's grid follow-up runs there too).
struct ListPanels {
    int bank_shown = -1; // bank whose title the bank panel draws inverse; -1 none
    int grid_value = -1; // value drawn inverse in the shown grid; -1 none
};

extern ListPanels g_list_panels;
void list_panels_reset();

// The right panel area (299, 59) to (626, 355) in the base colour.
void clear_panel();
// Clears the panel and draws the list, grid, information or about panel of a menu row
// (page * 13 + row); false, with nothing drawn, when the row has none of these.
bool list_panel_show(int command_key);
// Where the entries of a menu row's list or grid panel sit; null when the row has none.
const ListLayout* list_panel_layout(int command_key);
// A click in the right panel while that row's panel is shown; false when the row has no
// such panel.
bool list_panel_click(int command_key, int x, int y);
// A controller of a channel changed outside the panel (the slider): a channel list shown
// draws its value again.
void list_panels_controller_changed(int channel_index, int controller);
// The program (kind 0), bank (1) or bank LSB (2) of the current channel became `value`
// while its grid may be shown: the cells and the tone name follow.
void grid_follow(int kind, int value);
// The MIDI sender's report that a channel's program or bank changed (-1: every channel).
void program_changed(int channel_index);
// After a bank switch: the bank panel's rows and counts, the bank and title fields, and the
// playback position and step lengths of the new song.
void bank_selected_show();
