// The device lists (MIDI input devices, output ports with the devices they use) and the
// playback speed list.
#include "common/text_sjis.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

#include <string>

namespace {

void device_row_draw(int i, int number, const char* name, bool inverse) {
    // One digit: at most 9 ports and 8 input devices.
    int row = list_text_row(DEVICE_LIST, i);
    number_at(DEVICE_LIST.label_column, row, DEVICE_LIST.label_cells, number);
    if (inverse) {
        small_text_inverse_at(DEVICE_LIST.text_column, row, name);
    } else {
        small_text_at(DEVICE_LIST.text_column, row, name);
    }
}

// The name of the device a logical port uses; none for a port mapped past the open ones.
const char* out_port_name(int port) {
    int used = g_midi_devices.port_map[port];
    return used < g_midi_devices.out_port_count ? g_midi_devices.out_names[used] : "";
}

int out_ports_listed() {
    int count = g_midi_devices.out_port_count;
    return count < DEVICE_LIST.entries ? count : DEVICE_LIST.entries;
}

void out_port_changed() {
    if (g_engine_hooks.out_port_changed) {
        g_engine_hooks.out_port_changed();
    }
}

} // namespace

void in_device_panel_draw() {
    const MidiDevices& d = g_midi_devices;
    if (d.in_dev_count < 1) {
        static const std::string none_ja = utf8_to_sjis("MIDI IN デバイスはオープンできません");
        small_text_at(DEVICE_LIST.text_column, list_text_row(DEVICE_LIST, 0),
                      g_shell.is_japanese ? none_ja.c_str() : "MIDI IN");
        return;
    }
    for (int i = 0; i < d.in_dev_count && i < MAX_IN_DEVICES; i++) {
        device_row_draw(i, i + 1, d.in_names[i], i == d.in_device);
    }
}

void in_device_panel_click(int y) {
    int i =
        list_row_at(y, g_midi_devices.in_dev_count < MAX_IN_DEVICES ? g_midi_devices.in_dev_count
                                                                    : MAX_IN_DEVICES);
    if (i < 0) {
        return;
    }
    midi_in_device_choose(i);
    in_device_panel_draw();
}

void out_port_panel_draw() {
    const MidiDevices& d = g_midi_devices;
    for (int port = 0; port < out_ports_listed(); port++) {
        device_row_draw(port, d.port_map[port] + 1, out_port_name(port),
                        port == d.current_out_port);
    }
}

void out_port_panel_click(int x, int y) {
    int port = list_row_at(y, out_ports_listed());
    if (port < 0) {
        return;
    }
    if (list_label_at(DEVICE_LIST, x, y) == port) {
        out_port_map_step(port);
    } else {
        out_port_choose(port);
        if (g_ui.alt_mode == 0) {
            for (uint8_t& p : g_song.track_port) {
                p = static_cast<uint8_t>(port);
            }
        }
    }
    out_port_panel_draw();
    out_port_changed();
}

void speed_panel_draw() {
    for (int i = 0; i < SPEED_LIST.entries; i++) {
        const char* label = number_label(i + 1);
        int row = list_text_row(SPEED_LIST, i);
        if (i + 1 == g_song_clock.speed_factor) {
            small_text_inverse_at(SPEED_LIST.label_column, row, label);
        } else {
            small_text_at(SPEED_LIST.label_column, row, label);
        }
    }
}

void speed_panel_click(int y) {
    int i = list_row_at(y, SPEED_LIST.entries);
    if (i < 0) {
        return;
    }
    speed_factor_set(i + 1);
    speed_panel_draw();
}
