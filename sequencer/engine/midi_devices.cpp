// Output and input devices: opening, the port map, short and long messages.
#include "sequencer/engine/midi_devices.h"

#include "platform/midi.h"
#include "songcore/song_store.h"

#include <cstdlib>
#include <cstring>

MidiDevices g_midi_devices;

void midi_devices_reset() {
    free(g_midi_devices.sysex_out_buffer);
    free(g_midi_devices.in_long_buffer);
    g_midi_devices = MidiDevices{};
    // An array member cannot take a computed initialiser: the identity port map is filled here.
    for (int i = 0; i < LOGICAL_PORTS; i++) {
        g_midi_devices.port_map[i] = static_cast<uint8_t>(i);
    }
}

void midi_out_open_all() {
    MidiDevices& d = g_midi_devices;
    if (!d.sysex_out_buffer) {
        d.sysex_out_buffer = static_cast<uint8_t*>(calloc(SYSEX_BUFFER_SIZE, 1));
    }
    int device_count = platform_midi_out_count();
    if (device_count > MAX_OUT_PORTS - 1) {
        device_count = MAX_OUT_PORTS - 1;
    }
    d.out_port_count = 0;
    if (device_count < 1) {
        return;
    }
    int next = 0;
    if (platform_midi_mapper_available() && platform_midi_out_open(MIDI_MAPPER_DEVICE)) {
        d.out_device[0] = MIDI_MAPPER_DEVICE;
        platform_midi_out_name(MIDI_MAPPER_DEVICE, d.out_names[0], DEVICE_NAME_SIZE);
        next = 1;
    }
    for (int device = 0; device < device_count; device++) {
        if (platform_midi_out_open(device)) {
            d.out_device[next] = device;
            if (!platform_midi_out_name(device, d.out_names[next], DEVICE_NAME_SIZE)) {
                d.out_names[next][0] = '\0';
            }
            next++;
        }
    }
    d.out_port_count = next;
}

void midi_out_check_settings() {
    MidiDevices& d = g_midi_devices;
    if (d.current_out_port + 1 > d.out_port_count || d.current_out_port < 0) {
        d.current_out_port = 0;
        memset(g_song.track_port, 0, sizeof g_song.track_port);
    }
}

void midi_out_close_all() {
    MidiDevices& d = g_midi_devices;
    free(d.sysex_out_buffer);
    d.sysex_out_buffer = nullptr;
    for (int port = 0; port < d.out_port_count; port++) {
        platform_midi_out_close(d.out_device[port]);
    }
    d.out_port_count = 0;
}

int midi_out_send(int port, const uint8_t* bytes, uint32_t length) {
    MidiDevices& d = g_midi_devices;
    if (port < 0 || port >= d.out_port_count) {
        return 1;
    }
    if (length >= 1 && length <= 3) {
        platform_midi_out_short(d.out_device[port], bytes, static_cast<int>(length));
    } else if (length >= 4) {
        midi_out_long(port, bytes, length);
    }
    return 0;
}

void midi_out_long(int port, const uint8_t* bytes, uint32_t length) {
    MidiDevices& d = g_midi_devices;
    if (length > SYSEX_BUFFER_SIZE || !d.sysex_out_buffer || port < 0 || port >= d.out_port_count) {
        return;
    }
    memcpy(d.sysex_out_buffer, bytes, length);
    d.sysex_out_busy = true;
    d.sysex_out_port = port;
    if (!platform_midi_out_long(d.out_device[port], d.sysex_out_buffer, length)) {
        d.sysex_out_busy = false; // refused: nothing is in flight to wait for
    }
}

bool midi_out_long_busy() {
    MidiDevices& d = g_midi_devices;
    if (d.sysex_out_busy && platform_midi_out_long_done(d.out_device[d.sysex_out_port])) {
        d.sysex_out_busy = false;
    }
    return d.sysex_out_busy;
}

void midi_in_open() {
    MidiDevices& d = g_midi_devices;
    int count = platform_midi_in_count();
    if (count > MAX_IN_DEVICES) {
        count = MAX_IN_DEVICES;
    }
    d.in_dev_count = 0;
    d.in_status = 1;
    if (count < 1) {
        return;
    }
    for (int device = 0; device < count; device++) {
        if (platform_midi_in_name(device, d.in_names[d.in_dev_count], DEVICE_NAME_SIZE)) {
            d.in_dev_count++;
        }
    }
    if (!d.in_long_buffer) {
        d.in_long_buffer = static_cast<uint8_t*>(calloc(SYSEX_BUFFER_SIZE, 1));
    }
    if (d.in_device >= d.in_dev_count || d.in_device < 0) {
        d.in_device = 0;
    }
    MidiInCallbacks callbacks{on_midi_in_data, on_midi_in_longdata};
    d.in_status = platform_midi_in_open(d.in_device, callbacks);
}

void midi_in_close() {
    MidiDevices& d = g_midi_devices;
    platform_midi_in_close();
    free(d.in_long_buffer);
    d.in_long_buffer = nullptr;
    d.in_status = 1;
}

void midi_in_device_choose(int device) {
    g_midi_devices.in_device = device;
    midi_in_close();
    midi_in_open();
}

void out_port_map_step(int port) {
    MidiDevices& d = g_midi_devices;
    d.port_map[port] = static_cast<uint8_t>((d.port_map[port] + 1) % d.out_port_count);
}

void out_port_choose(int port) {
    g_midi_devices.current_out_port = port;
}
