// The program, bank and bank LSB grids: 128 values in 16 rows of 8, the current channel's
// value inverse, clicks that send bank select and program change, and following changes that
// the MIDI sender reports.
#include "sequencer/engine/channel_state.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/panels.h"
#include "songcore/midi_bytes.h"

namespace {

constexpr int GRID_VALUES = VALUE_GRID.entries;

// The grid shown now, or -1.
int shown_grid() {
    if (g_menu.shown_page != PAGE_CHANNEL_SOUND || g_menu.last_command_key != command_key()) {
        return -1;
    }
    switch (selected_command()) {
    case MenuCommand::program_change:
        return GRID_PROGRAM;
    case MenuCommand::bank_change:
        return GRID_BANK;
    case MenuCommand::bank_change_lsb:
        return GRID_BANK_LSB;
    default:
        return -1;
    }
}

// The channel memory a grid shows and edits.
uint8_t& channel_value(int kind, int channel_index) {
    switch (kind) {
    case GRID_BANK:
        return g_channel_state.controller_values[channel_index][CC_BANK_SELECT_MSB];
    case GRID_BANK_LSB:
        return g_channel_state.controller_values[channel_index][CC_BANK_SELECT_LSB];
    default:
        return g_channel_state.channel_program[channel_index];
    }
}

void cell_draw(int kind, int value, bool inverse) {
    int col = list_label_column(VALUE_GRID, value);
    int row = list_text_row(VALUE_GRID, value);
    int shown = kind == GRID_PROGRAM ? value + 1 : value;
    if (inverse) {
        zero_number_inverse_at(col, row, VALUE_GRID.label_cells, shown);
    } else {
        zero_number_at(col, row, VALUE_GRID.label_cells, shown);
    }
}

void tone_name_draw() {
    int channel_index = current_channel_index();
    text_at(VALUE_GRID.label_column, LIST_FIRST_ROW - 1,
            tone_name(g_channel_state.channel_program[channel_index] +
                      g_channel_state.drum_channel[channel_index]));
}

} // namespace

void grid_panel_draw(GridKind kind) {
    tone_name_draw();
    for (int v = 0; v < GRID_VALUES; v++) {
        cell_draw(kind, v, false);
    }
    int value = channel_value(kind, current_channel_index()) & 0x7F;
    cell_draw(kind, value, true);
    g_list_panels.grid_value = value;
}

void grid_panel_click(GridKind kind, int x, int y) {
    int value = grid_cell_at(VALUE_GRID, x, y);
    if (value < 0) {
        return;
    }
    int channel_index = current_channel_index();
    uint8_t lsb = kind == GRID_BANK_LSB
                      ? value
                      : g_channel_state.controller_values[channel_index][CC_BANK_SELECT_LSB];
    uint8_t msb = kind == GRID_BANK
                      ? value
                      : g_channel_state.controller_values[channel_index][CC_BANK_SELECT_MSB];
    uint8_t program = kind == GRID_PROGRAM ? value : g_channel_state.channel_program[channel_index];
    uint8_t status = static_cast<uint8_t>(channel_index);
    uint8_t bank_lsb[3] = {static_cast<uint8_t>(STATUS_CONTROL_CHANGE | status), CC_BANK_SELECT_LSB,
                           lsb};
    uint8_t bank_msb[3] = {static_cast<uint8_t>(STATUS_CONTROL_CHANGE | status), CC_BANK_SELECT_MSB,
                           msb};
    uint8_t change[2] = {static_cast<uint8_t>(STATUS_PROGRAM_CHANGE | status), program};
    midi_send(bank_lsb, 3);
    midi_send(bank_msb, 3);
    midi_send(change, 2);
    // The sender reports the change and the grid follows; a sender that kept quiet (a muted
    // path) still leaves the grid showing what the channel now holds.
    grid_follow(kind, channel_value(kind, channel_index));
    audition_if_alt();
}

void grid_follow(int kind, int value) {
    if (kind != shown_grid() || value < 0 || value >= GRID_VALUES) {
        return;
    }
    channel_value(kind, current_channel_index()) = static_cast<uint8_t>(value);
    int old = g_list_panels.grid_value;
    if (old != value) {
        if (old >= 0 && old < GRID_VALUES) {
            cell_draw(kind, old, false);
        }
        cell_draw(kind, value, true);
        g_list_panels.grid_value = value;
    }
    tone_name_draw();
}

void program_changed(int channel_index) {
    int kind = shown_grid();
    if (kind < 0 || (channel_index >= 0 && channel_index != current_channel_index())) {
        return;
    }
    grid_follow(kind, channel_value(kind, current_channel_index()));
}
