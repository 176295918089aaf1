// ENTER of the command panels: which command each row runs, and the fields a row adjusts
// afterwards.
#include "sequencer/shell/panel_commands.h"

#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "sequencer/edit/accompaniment.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/ui_input.h"

namespace {

struct CommandRow {
    MenuCommand menu_command;
    EditCommand command;
};

const CommandRow COMMAND_ROWS[] = {
    {MenuCommand::mix, EditCommand::mix},
    {MenuCommand::quantize, EditCommand::quantize},
    {MenuCommand::create, EditCommand::create},
    {MenuCommand::copy, EditCommand::copy},
    {MenuCommand::delete_measures, EditCommand::delete_measures},
    {MenuCommand::insert, EditCommand::insert},
    {MenuCommand::erase, EditCommand::erase},
    {MenuCommand::transpose, EditCommand::transpose},
    {MenuCommand::combine_track, EditCommand::combine},
    {MenuCommand::clear_track, EditCommand::clear_track},
    {MenuCommand::move_track, EditCommand::move_track},
    {MenuCommand::filter_copy, EditCommand::filter},
    {MenuCommand::poly_to_mono, EditCommand::poly_to_mono},
    {MenuCommand::event_time_change, EditCommand::event_time_change},
    {MenuCommand::auto_accompaniment, EditCommand::auto_accompaniment},
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

bool panel_command_ready(int command_key) {
    MenuCommand menu_command = menu_command_at(command_key);
    if (menu_command == MenuCommand::auto_accompaniment) {
        const EditParams& p = g_edit.params;
        return accompaniment_check(p.accomp_track, p.accomp_pattern_song, p.accomp_pattern_track,
                                   p.accomp_chord_song, p.accomp_chord_track) == EditResult::done;
    }
    if (menu_command == MenuCommand::insert_program_change) {
        return true;
    }
    for (const CommandRow& r : COMMAND_ROWS) {
        if (r.menu_command == menu_command) {
            return true;
        }
    }
    return false;
}

void panel_command_run(int command_key) {
    EditParams& p = g_edit.params;
    // Shift or the right button at the second ENTER press chooses the variants, and Ctrl
    // lowers the accompaniment's upper parts from one step further down.
    p.alt_mode = g_ui.alt_mode != 0;
    p.ctrl_held = platform_key_down(VK_CONTROL);
    p.play_octave = g_transport.play_octave;
    MenuCommand menu_command = menu_command_at(command_key);
    if (menu_command == MenuCommand::insert_program_change) {
        sound_settings_insert(); // the ENTER box has set the hourglass around the run
        return;
    }
    for (const CommandRow& r : COMMAND_ROWS) {
        if (r.menu_command == menu_command) {
            edit_command_run(r.command);
            fields_after(r.command);
            return;
        }
    }
    // Rows without a command: nothing.
}
