// ENTER of the command panels: which command each row runs, and the fields a row adjusts
// afterwards.
#include "sequencer/shell/panel_commands.h"

#include "sequencer/edit/edit.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/ui_input.h"

namespace {

struct CommandRow {
    int page, row;
    EditCommand command;
};

const CommandRow COMMAND_ROWS[] = {
    {4, 0, EditCommand::mix},
    {4, 1, EditCommand::quantize},
    {4, 2, EditCommand::create},
    {4, 3, EditCommand::copy},
    {4, 4, EditCommand::delete_measures},
    {4, 5, EditCommand::insert},
    {4, 6, EditCommand::erase},
    {4, 7, EditCommand::transpose},
    {4, 8, EditCommand::combine},
    {4, 9, EditCommand::clear_track},
    {4, 10, EditCommand::move_track},
    {5, 5, EditCommand::filter},
    {5, 6, EditCommand::poly_to_mono},
    {5, 7, EditCommand::event_time_change},
};

void lower_to_track_count(int& field) {
    if (field > g_song.track_count) {
        field = g_song.track_count;
    }
}

// What a row changes in its own fields once its command has run, whatever it achieved.
void fields_after(EditCommand command) {
    EditParams& p = g_edit.params;
    switch (command) {
    case EditCommand::mix:
        lower_to_track_count(p.mix_a);
        lower_to_track_count(p.mix_b);
        lower_to_track_count(p.mix_out);
        break;
    case EditCommand::clear_track:
        lower_to_track_count(p.clear_track);
        break;
    case EditCommand::delete_measures:
        p.delete_start = 1;
        p.delete_length = 1;
        // The song may now end before the measure shown: the position moves into it.
        measure_move(g_song_clock.current_measure);
        break;
    default:
        break;
    }
}

} // namespace

void panel_command_run(int command_key) {
    EditParams& p = g_edit.params;
    // Shift or the right button at the second ENTER press chooses the variants.
    p.alt_mode = g_ui.alt_mode != 0;
    p.play_octave = g_transport.play_octave;
    if (command_key == command_of(5, 9)) {
        sound_settings_insert(); // the ENTER box has set the hourglass around the run
        return;
    }
    for (const CommandRow& r : COMMAND_ROWS) {
        if (command_of(r.page, r.row) == command_key) {
            edit_command_run(r.command);
            fields_after(r.command);
            return;
        }
    }
    // Page 4 M (auto accompaniment) and rows without a command: nothing.
}
