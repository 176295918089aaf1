// Where each named menu command sits: its page and row.
#include "sequencer/shell/menu_commands.h"

// clang-format off
const MenuCommandRow MENU_COMMAND_ROWS[MENU_COMMANDS] = {
    {MenuCommand::exit,                    PAGE_SYSTEM, 0},
    {MenuCommand::continue_about,          PAGE_SYSTEM, 2},
    {MenuCommand::sound_module_initialize, PAGE_SYSTEM, 4},
    {MenuCommand::active_sensing,          PAGE_SYSTEM, 5},
    {MenuCommand::micro_scale_normal,      PAGE_SYSTEM, 7},
    {MenuCommand::program_map_normal,      PAGE_SYSTEM, 8},
    {MenuCommand::version_info,            PAGE_SYSTEM, 10},
    {MenuCommand::web_page,                PAGE_SYSTEM, 11},
    {MenuCommand::help,                    PAGE_SYSTEM, 12},

    {MenuCommand::song_bank_select,        PAGE_FILE, 0},
    {MenuCommand::song_title,              PAGE_FILE, 2},
    {MenuCommand::song_to_ringtone,        PAGE_FILE, 4},
    {MenuCommand::init_file_write,         PAGE_FILE, 6},
    {MenuCommand::over_write,              PAGE_FILE, 8},
    {MenuCommand::file_write,              PAGE_FILE, 10},
    {MenuCommand::file_read,               PAGE_FILE, 12},

    {MenuCommand::midi_thru,               PAGE_MIDI_SETUP, 0},
    {MenuCommand::midi_in_filter,          PAGE_MIDI_SETUP, 1},
    {MenuCommand::out_channel,             PAGE_MIDI_SETUP, 2},
    {MenuCommand::midi_in_port,            PAGE_MIDI_SETUP, 3},
    {MenuCommand::midi_out_port,           PAGE_MIDI_SETUP, 4},
    {MenuCommand::multi_port,              PAGE_MIDI_SETUP, 5},
    {MenuCommand::options,                 PAGE_MIDI_SETUP, 7},
    {MenuCommand::metronome,               PAGE_MIDI_SETUP, 9},
    {MenuCommand::information,             PAGE_MIDI_SETUP, 11},
    {MenuCommand::micro_scale,             PAGE_MIDI_SETUP, 12},

    {MenuCommand::mute_track,              PAGE_CHANNEL_SOUND, 0},
    {MenuCommand::mute_channel,            PAGE_CHANNEL_SOUND, 1},
    {MenuCommand::out_channel_for_sounds,  PAGE_CHANNEL_SOUND, 2},
    {MenuCommand::program_change,          PAGE_CHANNEL_SOUND, 4},
    {MenuCommand::bank_change,             PAGE_CHANNEL_SOUND, 5},
    {MenuCommand::bank_change_lsb,         PAGE_CHANNEL_SOUND, 6},
    {MenuCommand::channel_effects,         PAGE_CHANNEL_SOUND, 7},
    {MenuCommand::gs_parameters,           PAGE_CHANNEL_SOUND, 8},
    {MenuCommand::speed,                   PAGE_CHANNEL_SOUND, 10},
    {MenuCommand::karaoke,                 PAGE_CHANNEL_SOUND, 11},
    {MenuCommand::direct_measure,          PAGE_CHANNEL_SOUND, 12},

    {MenuCommand::mix,                     PAGE_SONG_EDIT, 0},
    {MenuCommand::quantize,                PAGE_SONG_EDIT, 1},
    {MenuCommand::create,                  PAGE_SONG_EDIT, 2},
    {MenuCommand::copy,                    PAGE_SONG_EDIT, 3},
    {MenuCommand::delete_measures,         PAGE_SONG_EDIT, 4},
    {MenuCommand::insert,                  PAGE_SONG_EDIT, 5},
    {MenuCommand::erase,                   PAGE_SONG_EDIT, 6},
    {MenuCommand::transpose,               PAGE_SONG_EDIT, 7},
    {MenuCommand::combine_track,           PAGE_SONG_EDIT, 8},
    {MenuCommand::clear_track,             PAGE_SONG_EDIT, 9},
    {MenuCommand::move_track,              PAGE_SONG_EDIT, 10},
    {MenuCommand::auto_accompaniment,      PAGE_SONG_EDIT, 12},

    {MenuCommand::event_filter,            PAGE_EVENT_EDIT, 0},
    {MenuCommand::event_edit_mode,         PAGE_EVENT_EDIT, 2},
    {MenuCommand::change_track,            PAGE_EVENT_EDIT, 3},
    {MenuCommand::filter_copy,             PAGE_EVENT_EDIT, 5},
    {MenuCommand::poly_to_mono,            PAGE_EVENT_EDIT, 6},
    {MenuCommand::event_time_change,       PAGE_EVENT_EDIT, 7},
    {MenuCommand::insert_program_change,   PAGE_EVENT_EDIT, 9},
    {MenuCommand::exclusive_edit,          PAGE_EVENT_EDIT, 12},

    {MenuCommand::real_time_recording,     PAGE_RECORDING, 0},
    {MenuCommand::step_recording,          PAGE_RECORDING, 1},
};
// clang-format on

int menu_command_key(MenuCommand command) {
    const MenuCommandRow& r = MENU_COMMAND_ROWS[static_cast<int>(command)];
    return command_of(r.page, r.row);
}

int menu_command_page(MenuCommand command) {
    return MENU_COMMAND_ROWS[static_cast<int>(command)].page;
}

int menu_command_row(MenuCommand command) {
    return MENU_COMMAND_ROWS[static_cast<int>(command)].row;
}

MenuCommand menu_command_at(int command_key) {
    for (const MenuCommandRow& r : MENU_COMMAND_ROWS) {
        if (command_of(r.page, r.row) == command_key) {
            return r.command;
        }
    }
    return MenuCommand::none;
}

MenuCommand selected_command() {
    return menu_command_at(command_key());
}

bool shown_with(MenuCommand command) {
    return g_menu.shown_page != NO_PAGE_SHOWN && selected_command() == command;
}

bool step_recording_chosen() {
    return g_menu.menu_cursor[PAGE_RECORDING] == menu_command_row(MenuCommand::step_recording);
}
