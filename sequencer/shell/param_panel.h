// Parameter and command panels: numeric fields with up and down buttons, value-box
// shortcuts and the two-press ENTER box that runs a row's command.
#pragma once
#include <cstdint>

struct ParamPanel;

// Which panel is shown and how far its ENTER box has been pressed. Touched only by frames.
struct ParamPanelState {
    int shown_key = -1;    // command key of the panel drawn; -1 none
    int confirm_count = 0; // ENTER presses since the last field change
};

extern ParamPanelState g_param_panel;
void param_panel_reset();

// Draws the panel of a menu row (page * 13 + row) and resets the confirmation; false, with
// nothing drawn, when the row has no parameter or command panel.
bool param_panel_show(int command_key);
// A click in the right panel while that row's panel is shown.
void param_panel_click(int x, int y, int command_key);
// The shown panel's layout word: upper count * 8 + lower count, + 64 with an ENTER box.
int panel_layout();

// Captions, frames and values of a panel; the confirmation starts again.
void draw_panel(int command_key);
// Shows field 1..8 of the shown panel (its value as the field's kind shows it), speaks it
// when speech is armed, resets the confirmation and blanks the prompt line.
void draw_field(int field, int32_t value, int kind);
// One up or down step of a value within min..max; with alt_mode a larger step follows for
// notes (12 in all), numbers (10), tracks and channels (5) when it stays in range.
int32_t step_field(bool up, int32_t value, int32_t max, int32_t min, int kind);
// The ENTER box: the first press asks, the second runs the row's command.
void confirm_press();
// The shown panel's values drawn again from where they live (a channel's controllers may
// have changed outside the panel).
void param_panel_values_redraw();
