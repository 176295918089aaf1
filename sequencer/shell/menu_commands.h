// The menu's pages and the commands of its rows by name, each name mapped to the page and
// row that shows it.
#pragma once
#include "sequencer/shell/menu_state.h"

#include <cstdint>

// One name per selectable menu row, named after what the row does, in page and row order.
enum class MenuCommand : uint8_t {
    // system page
    exit,
    continue_about,
    sound_module_initialize,
    active_sensing,
    micro_scale_normal,
    program_map_normal,
    version_info,
    web_page,
    help,
    // file page
    song_bank_select,
    song_title,
    song_to_ringtone,
    init_file_write,
    over_write,
    file_write,
    file_read,
    // MIDI setup page
    midi_thru,
    midi_in_filter,
    out_channel,
    midi_in_port,
    midi_out_port,
    multi_port,
    options,
    metronome,
    information,
    micro_scale,
    // channel and sound page
    mute_track,
    mute_channel,
    out_channel_for_sounds,
    program_change,
    bank_change,
    bank_change_lsb,
    channel_effects,
    gs_parameters,
    speed,
    karaoke,
    direct_measure,
    // song edit page
    mix,
    quantize,
    create,
    copy,
    delete_measures,
    insert,
    erase,
    transpose,
    combine_track,
    clear_track,
    move_track,
    auto_accompaniment,
    // event edit page
    event_filter,
    event_edit_mode,
    change_track,
    filter_copy,
    poly_to_mono,
    event_time_change,
    insert_program_change,
    exclusive_edit,
    // recording page
    real_time_recording,
    step_recording,
    none, // a row that does nothing, or no row
};

constexpr int MENU_COMMANDS = static_cast<int>(MenuCommand::none);

struct MenuCommandRow {
    MenuCommand command;
    int page; // MenuPage
    int row;  // 0..12 for rows A..M
};

// Indexed by MenuCommand.
extern const MenuCommandRow MENU_COMMAND_ROWS[MENU_COMMANDS];

// The command key (page * 13 + row) of a named row.
int menu_command_key(MenuCommand command);
int menu_command_page(MenuCommand command);
int menu_command_row(MenuCommand command);
// The named command of a command key; MenuCommand::none for a row without one.
MenuCommand menu_command_at(int command_key);
// The command of the page's cursor row.
MenuCommand selected_command();
// A page is shown and its cursor row is the command.
bool shown_with(MenuCommand command);
// The recording page's cursor row is the record style: step recording when it stands there.
bool step_recording_chosen();
