// Which menu rows show a list, grid or information panel, and the routing of their clicks.
#include "sequencer/shell/panels.h"

#include "sequencer/engine/settings.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"

ListPanels g_list_panels;

namespace {

enum class Panel {
    none,
    about,
    banks,
    channels,
    channel_mutes,
    in_devices,
    out_ports,
    track_ports,
    track_mutes,
    track_select,
    info,
    program_grid,
    bank_grid,
    bank_lsb_grid,
    speed,
};

Panel panel_of(int key) {
    switch (menu_command_at(key)) {
    case MenuCommand::continue_about:
        return Panel::about;
    case MenuCommand::song_bank_select:
        return Panel::banks;
    case MenuCommand::out_channel:
    case MenuCommand::out_channel_for_sounds:
        return Panel::channels;
    case MenuCommand::midi_in_port:
        return Panel::in_devices;
    case MenuCommand::midi_out_port:
        return Panel::out_ports;
    case MenuCommand::multi_port:
        return Panel::track_ports;
    case MenuCommand::information:
        return Panel::info;
    case MenuCommand::mute_track:
        return Panel::track_mutes;
    case MenuCommand::mute_channel:
        return Panel::channel_mutes;
    case MenuCommand::program_change:
        return Panel::program_grid;
    case MenuCommand::bank_change:
        return Panel::bank_grid;
    case MenuCommand::bank_change_lsb:
        return Panel::bank_lsb_grid;
    case MenuCommand::speed:
        return Panel::speed;
    case MenuCommand::change_track:
    case MenuCommand::real_time_recording:
        return Panel::track_select;
    default:
        return Panel::none;
    }
}

} // namespace

void list_panels_reset() {
    g_list_panels = ListPanels{};
}

void clear_panel() {
    clear_rect(299, 59, 627, 356);
}

int current_channel_index() {
    return g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
}

void audition_if_alt() {
    if (g_ui.alt_mode == 0) {
        return;
    }
    // Before any note was played, middle C.
    int note = g_ui.last_note >= 0 ? g_ui.last_note & 0x7F : 60;
    send_and_record(STATUS_NOTE_ON, static_cast<uint8_t>(note),
                    static_cast<uint8_t>(g_ui.play_velocity), 3);
    g_ui.auditioned_note = note;
    g_shell.button_pressed = 4; // the release sends the note-off
}

bool list_panel_show(int command_key) {
    Panel panel = panel_of(command_key);
    // Whatever was drawn inverse belongs to the panel being replaced.
    g_list_panels.bank_shown = -1;
    g_list_panels.grid_value = -1;
    if (panel == Panel::none) {
        return false;
    }
    clear_panel();
    switch (panel) {
    case Panel::about:
        about_panel_draw();
        break;
    case Panel::banks:
        bank_panel_draw();
        break;
    case Panel::channels:
        channel_panel_draw(ChannelList::select);
        break;
    case Panel::channel_mutes:
        channel_panel_draw(ChannelList::mute);
        break;
    case Panel::in_devices:
        in_device_panel_draw();
        break;
    case Panel::out_ports:
        out_port_panel_draw();
        break;
    case Panel::track_ports:
        track_panel_draw(TrackList::ports);
        break;
    case Panel::track_mutes:
        track_panel_draw(TrackList::mutes);
        break;
    case Panel::track_select:
        track_panel_draw(TrackList::select);
        break;
    case Panel::info:
        info_panel_draw();
        break;
    case Panel::program_grid:
        grid_panel_draw(GRID_PROGRAM);
        break;
    case Panel::bank_grid:
        grid_panel_draw(GRID_BANK);
        break;
    case Panel::bank_lsb_grid:
        grid_panel_draw(GRID_BANK_LSB);
        break;
    case Panel::speed:
        speed_panel_draw();
        break;
    case Panel::none:
        break;
    }
    return true;
}

const ListLayout* list_panel_layout(int command_key) {
    switch (panel_of(command_key)) {
    case Panel::banks:
        return &BANK_LIST;
    case Panel::channels:
    case Panel::channel_mutes:
        return &CHANNEL_LIST;
    case Panel::in_devices:
    case Panel::out_ports:
        return &DEVICE_LIST;
    case Panel::track_ports:
    case Panel::track_mutes:
    case Panel::track_select:
        return &TRACK_LIST;
    case Panel::program_grid:
    case Panel::bank_grid:
    case Panel::bank_lsb_grid:
        return &VALUE_GRID;
    case Panel::speed:
        return &SPEED_LIST;
    case Panel::none:
    case Panel::about:
    case Panel::info:
        break;
    }
    return nullptr;
}

void list_panels_controller_changed(int channel_index, int controller) {
    int key = command_key();
    Panel panel = panel_of(key);
    if (key == g_menu.last_command_key &&
        (panel == Panel::channels || panel == Panel::channel_mutes)) {
        channel_panel_value_draw(channel_index, controller);
    }
}

bool list_panel_click(int command_key, int x, int y) {
    switch (panel_of(command_key)) {
    case Panel::none:
        return false;
    case Panel::about:
    case Panel::info:
        break; // nothing to click
    case Panel::banks:
        bank_panel_click(y);
        break;
    case Panel::channels:
        channel_panel_click(ChannelList::select, y);
        break;
    case Panel::channel_mutes:
        channel_panel_click(ChannelList::mute, y);
        break;
    case Panel::in_devices:
        in_device_panel_click(y);
        break;
    case Panel::out_ports:
        out_port_panel_click(x, y);
        break;
    case Panel::track_ports:
        track_panel_click(TrackList::ports, x, y);
        break;
    case Panel::track_mutes:
        track_panel_click(TrackList::mutes, x, y);
        break;
    case Panel::track_select:
        track_panel_click(TrackList::select, x, y);
        break;
    case Panel::program_grid:
        grid_panel_click(GRID_PROGRAM, x, y);
        break;
    case Panel::bank_grid:
        grid_panel_click(GRID_BANK, x, y);
        break;
    case Panel::bank_lsb_grid:
        grid_panel_click(GRID_BANK_LSB, x, y);
        break;
    case Panel::speed:
        speed_panel_click(y);
        break;
    }
    return true;
}
