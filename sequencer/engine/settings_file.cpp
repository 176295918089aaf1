// The settings file: a fixed 4096-byte image of the maps, the numeric slots, the menu
// cursors, the channel state and the track ports, checked by a one-byte sum.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"

#include "platform/file_read_all.h"
#include "platform/file_write_all.h"
#include "platform/platform.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"

#include <cstdio>
#include <cstring>
#include <vector>

Settings g_settings;

namespace {

// Offsets in the file.
constexpr uint32_t AT_CHORD_TABLE = 0;
constexpr uint32_t AT_NOTE_MAP = 96;
constexpr uint32_t AT_PROGRAM_MAP = 224;
constexpr uint32_t AT_SLOTS = 352;
constexpr uint32_t AT_MENU_CURSOR = 864;
constexpr uint32_t AT_CHANNEL_PROGRAM = 870;
constexpr uint32_t AT_BANK_MSB = 886;
constexpr uint32_t AT_REVERB = 902;
constexpr uint32_t AT_CHORUS = 918;
constexpr uint32_t AT_DRUM_CHANNEL = 934;
constexpr uint32_t AT_PAN = 950;
constexpr uint32_t AT_VOLUME = 966;
constexpr uint32_t AT_EXPRESSION = 982;
constexpr uint32_t AT_NRPN = 998;
constexpr uint32_t AT_TRACK_PORT = 1126;
constexpr uint32_t AT_CHECKSUM = 4095;

struct SlotDefault {
    int slot;
    int32_t value;
};

const SlotDefault SLOT_DEFAULTS[] = {
    {SLOT_PC_KEY, 1},
    {SLOT_KEY_ASSIGN, 1},
    {SLOT_EVENT_FILTER_FIRST, 1},
    {SLOT_EVENT_FILTER_FIRST + 1, 1},
    {SLOT_EVENT_FILTER_FIRST + 2, 1},
    {SLOT_EVENT_FILTER_FIRST + 3, 1},
    {SLOT_EVENT_FILTER_FIRST + 4, 1},
    {SLOT_EVENT_FILTER_FIRST + 5, 1},
    {SLOT_EVENT_FILTER_FIRST + 6, 1},
    {SLOT_EVENT_FILTER_FIRST + 7, 1},
    {SLOT_MIX_A, 1},
    {SLOT_MIX_B, 1},
    {SLOT_MIX_OUT, 1},
    {SLOT_QUANTIZE_TRACK, 1},
    {SLOT_QUANTIZE_START, 1},
    {SLOT_QUANTIZE_LENGTH, 1},
    {SLOT_QUANTIZE_NOTE, 4},
    {SLOT_QUANTIZE_GATE, 90},
    {SLOT_CREATE_MEASURE, 1},
    {SLOT_CREATE_NUMERATOR, 4},
    {SLOT_CREATE_DENOMINATOR, 4},
    {SLOT_CREATE_TEMPO, 120},
    {SLOT_COPY_SRC_TRACK, 1},
    {SLOT_COPY_START, 1},
    {SLOT_COPY_LENGTH, 1},
    {SLOT_COPY_DST_TRACK, 1},
    {SLOT_COPY_DST_START, 1},
    {SLOT_COPY_TIMES, 1},
    {SLOT_DELETE_START, 1},
    {SLOT_DELETE_LENGTH, 1},
    {SLOT_INSERT_START, 1},
    {SLOT_INSERT_LENGTH, 1},
    {SLOT_INSERT_AT, 1},
    {SLOT_ERASE_TRACK, 1},
    {SLOT_ERASE_START, 1},
    {SLOT_ERASE_LENGTH, 1},
    {SLOT_TRANSPOSE_TRACK, 1},
    {SLOT_TRANSPOSE_START, 1},
    {SLOT_TRANSPOSE_LENGTH, 1},
    {SLOT_TRANSPOSE_NOTE_FROM, 60},
    {SLOT_TRANSPOSE_NOTE_TO, 60},
    {SLOT_COMBINE_TIME, 1},
    {SLOT_COMBINE_PITCH, 1},
    {SLOT_COMBINE_VELOCITY, 1},
    {SLOT_COMBINE_OUT, 1},
    {SLOT_CLEAR_TRACK, 1},
    {SLOT_FILTER_IN_TRACK, 1},
    {SLOT_FILTER_OUT_TRACK, 1},
    {SLOT_POLY_TRACK, 1},
    {SLOT_MONO_TRACK, 1},
    {SLOT_POLY_VOICES, 1},
    {SLOT_TIME_TRACK, 1},
    {SLOT_EVENT_TRACK, 1},
    {SLOT_TIME_OUT_TRACK, 1},
    {SLOT_MOVE_SRC_SONG, 1},
    {SLOT_MOVE_SRC_TRACK, 1},
    {SLOT_MOVE_SRC_CHANNEL, 17},
    {SLOT_MOVE_DST_SONG, 1},
    {SLOT_MOVE_DST_TRACK, 1},
    {SLOT_MOVE_DST_CHANNEL, 17},
    {SLOT_SOUND_MEASURE, 1},
    {SLOT_SOUND_BEAT, 1},
    {SLOT_ACCOMP_TRACK, 1},
    {SLOT_ACCOMP_PATTERN_SONG, 1},
    {SLOT_ACCOMP_PATTERN_TRACK, 1},
    {SLOT_ACCOMP_CHORD_SONG, 1},
    {SLOT_ACCOMP_CHORD_TRACK, 1},
    {SLOT_STEP_GATE_PERCENT, 90},
    {SLOT_STEP_NOTE_VALUE, 4},
    {SLOT_STEP_LENGTH, 480},
    {SLOT_INPUT_OUT_CHANNEL, 1},
    {SLOT_THRU_ON, 1},
    {SLOT_TRACING_TRACK, 1},
    {SLOT_RECHORD_TRACK, 1},
    {SLOT_SLEEP, 7},
    {SLOT_FILTER_NOTE, 1},
    {SLOT_FILTER_CONTROL, 1},
    {SLOT_FILTER_PROGRAM, 1},
    {SLOT_FILTER_PITCH_BEND, 1},
    {SLOT_MIDI_LINK, 1},
    {SLOT_REMOTE_MEASURE_FIRST, 10},
    {SLOT_REMOTE_MEASURE_FIRST + 1, 20},
    {SLOT_REMOTE_MEASURE_FIRST + 2, 30},
    {SLOT_REMOTE_MEASURE_FIRST + 3, 40},
    {SLOT_REMOTE_MEASURE_FIRST + 4, 50},
    {SLOT_REMOTE_MEASURE_FIRST + 5, 60},
    {SLOT_EXCHANGE_SOURCE, 70},
    {SLOT_EXCHANGE_TARGET, 80},
    {SLOT_CHANGE_CHANNEL, 1},
    {SLOT_MICRO_CHANNEL, 17},
    {SLOT_METRONOME_CHANNEL, 10},
    {SLOT_METRONOME_ACCENT_NOTE, 34},
    {SLOT_METRONOME_ACCENT_VELOCITY, 100},
    {SLOT_METRONOME_NOTE, 33},
    {SLOT_METRONOME_VELOCITY, 100},
    {SLOT_WRITE_TRACK, 1},
    {SLOT_POSITION_DISPLAY, 1},
    {SLOT_FIXED_VELOCITY, 100},
};

uint8_t checksum(const uint8_t* image) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < AT_CHECKSUM; i++) {
        sum += image[i];
    }
    return static_cast<uint8_t>(sum);
}

bool settings_path(char* path, size_t size) {
    char dir[SONG_PATH_SIZE];
    if (!platform_program_directory(dir, sizeof dir)) {
        return false;
    }
    int n = snprintf(path, size, "%s%c%s", dir, PLATFORM_PATH_SEPARATOR, SETTINGS_FILE_NAME);
    return n > 0 && static_cast<size_t>(n) < size;
}

// Sign and magnitude: bit 15 marks a negative value.
int32_t slot_decode(uint8_t high, uint8_t low) {
    int32_t magnitude = (high & 0x7F) << 8 | low;
    return (high & 0x80) ? -magnitude : magnitude;
}

void slot_encode(int32_t value, uint8_t* out) {
    uint32_t magnitude = static_cast<uint32_t>(value < 0 ? -static_cast<int64_t>(value) : value);
    if (magnitude > 0x7FFF) {
        magnitude = 0x7FFF;
    }
    uint32_t word = value < 0 ? 0x8000 | magnitude : magnitude;
    out[0] = static_cast<uint8_t>(word >> 8);
    out[1] = static_cast<uint8_t>(word);
}

void channel_block_fill(uint8_t* image) {
    const ChannelState& c = g_channel_state;
    for (int ch = 0; ch < 16; ch++) {
        image[AT_CHANNEL_PROGRAM + ch] = c.channel_program[ch];
        image[AT_BANK_MSB + ch] = c.controller_values[ch][CC_BANK_SELECT_MSB];
        image[AT_REVERB + ch] = c.controller_values[ch][CC_REVERB];
        image[AT_CHORUS + ch] = c.controller_values[ch][CC_CHORUS];
        image[AT_DRUM_CHANNEL + ch] = c.drum_channel[ch];
        image[AT_PAN + ch] = c.controller_values[ch][CC_PAN];
        image[AT_VOLUME + ch] = c.controller_values[ch][CC_VOLUME];
        image[AT_EXPRESSION + ch] = c.controller_values[ch][CC_EXPRESSION];
        memcpy(image + AT_NRPN + ch * NRPN_PARAMETERS, c.nrpn_values[ch], NRPN_PARAMETERS);
    }
}

// A file written before the panels kept their fields holds zeros where they now live; it
// would turn PC KEY and every event-filter switch off and leave the commands' fields out of
// range. Such a block (no file written since ever has it all zero) takes the defaults. A fixed
// velocity outside 1..127 would play silent notes and takes its default too.
void panel_field_slots_settle() {
    int32_t* slots = g_settings.slots;
    bool all_zero = true;
    for (int slot = 0; slot <= SLOT_POLY_TRACK; slot++) {
        all_zero = all_zero && slots[slot] == 0;
    }
    for (int slot = SLOT_MONO_TRACK; slot <= SLOT_ACCOMP_CHORD_TRACK; slot++) {
        all_zero = all_zero && slots[slot] == 0;
    }
    for (const SlotDefault& d : SLOT_DEFAULTS) {
        bool field_slot = d.slot <= SLOT_POLY_TRACK ||
                          (d.slot >= SLOT_MONO_TRACK && d.slot <= SLOT_ACCOMP_CHORD_TRACK);
        if ((all_zero && field_slot) ||
            (d.slot == SLOT_FIXED_VELOCITY && (slots[d.slot] < 1 || slots[d.slot] > 127))) {
            slots[d.slot] = d.value;
        }
    }
}

} // namespace

void settings_reset() {
    g_settings = Settings{};
    // The defaults come from a table by slot number, which member initialisers cannot index.
    for (const SlotDefault& d : SLOT_DEFAULTS) {
        g_settings.slots[d.slot] = d.value;
    }
}

void metronome_messages_build() {
    int channel = g_settings.slots[SLOT_METRONOME_CHANNEL];
    uint8_t ch = static_cast<uint8_t>((channel < 1 || channel > 16 ? 10 : channel) - 1);
    const int notes[2] = {g_settings.slots[SLOT_METRONOME_ACCENT_NOTE],
                          g_settings.slots[SLOT_METRONOME_NOTE]};
    const int velocities[2] = {g_settings.slots[SLOT_METRONOME_ACCENT_VELOCITY],
                               g_settings.slots[SLOT_METRONOME_VELOCITY]};
    for (int i = 0; i < 2; i++) {
        uint8_t note = static_cast<uint8_t>(notes[i] & 0x7F);
        g_player.click_on[i][0] = static_cast<uint8_t>(STATUS_NOTE_ON + ch);
        g_player.click_on[i][1] = note;
        g_player.click_on[i][2] = static_cast<uint8_t>(velocities[i] & 0x7F);
        g_player.click_off[i][0] = static_cast<uint8_t>(STATUS_NOTE_OFF + ch);
        g_player.click_off[i][1] = note;
        g_player.click_off[i][2] = 0;
    }
}

int settings_read() {
    char path[SONG_PATH_SIZE + 16];
    if (!settings_path(path, sizeof path)) {
        return 1;
    }
    std::vector<uint8_t> image;
    FileReadResult read = platform_file_read_all(path, image, SETTINGS_FILE_SIZE);
    if (read == FileReadResult::cannot_open || read == FileReadResult::read_error) {
        return 1;
    }
    // Only the image's size is read: a longer file counts by its start.
    size_t n = image.size() < SETTINGS_FILE_SIZE ? image.size() : SETTINGS_FILE_SIZE;
    return settings_parse(image.data(), n);
}

int settings_parse(const uint8_t* image, size_t size) {
    if (size != SETTINGS_FILE_SIZE || checksum(image) != image[AT_CHECKSUM]) {
        return 1;
    }
    memcpy(g_settings.image, image, SETTINGS_FILE_SIZE);
    memcpy(g_midi_maps.chord_table, image + AT_CHORD_TABLE, CHORD_TABLE_SIZE);
    memcpy(g_midi_maps.note_map, image + AT_NOTE_MAP, 128);
    memcpy(g_midi_maps.program_map, image + AT_PROGRAM_MAP, 128);
    // Every map entry is sent as a data byte (the chord table's as notes): keep them 7-bit.
    for (int i = 0; i < 128; i++) {
        g_midi_maps.note_map[i] &= 0x7F;
        g_midi_maps.program_map[i] &= 0x7F;
    }
    for (int i = 0; i < CHORD_TABLE_SIZE; i++) {
        g_midi_maps.chord_table[i] &= 0x7F;
    }
    for (int slot = 0; slot < SETTINGS_SLOTS; slot++) {
        g_settings.slots[slot] =
            slot_decode(image[AT_SLOTS + slot * 2], image[AT_SLOTS + slot * 2 + 1]);
    }
    memcpy(g_settings.menu_cursor, image + AT_MENU_CURSOR, 6);
    panel_field_slots_settle();
    int32_t* slots = g_settings.slots;
    if (slots[SLOT_CURRENT_OUT_PORT] > 8 || slots[SLOT_CURRENT_OUT_PORT] < 0) {
        slots[SLOT_CURRENT_OUT_PORT] = 0;
        memset(g_settings.image + AT_TRACK_PORT, 0, MAX_TRACKS);
    }
    for (int slot : {SLOT_RECHORD_ON, SLOT_BACKUP_ALLOWED}) {
        if (slots[slot] > 1) {
            slots[slot] = 0;
        }
    }
    settings_apply();
    return 0;
}

void settings_apply() {
    int32_t* slots = g_settings.slots;
    auto within = [](int32_t v, int32_t low, int32_t high, int32_t fallback) {
        return v < low || v > high ? fallback : v;
    };
    g_song.tracing_track = within(slots[SLOT_TRACING_TRACK], 1, MAX_TRACKS, 1);
    g_song.write_track = within(slots[SLOT_WRITE_TRACK], 0, MAX_TRACKS - 1, 1);
    for (int t = 0; t < MAX_TRACKS; t++) {
        g_song.track_port[t] = g_settings.image[AT_TRACK_PORT + t];
    }
    g_midi_devices.current_out_port = within(slots[SLOT_CURRENT_OUT_PORT], 0, 8, 0);
    g_midi_devices.in_device = within(slots[SLOT_IN_DEVICE], 0, MAX_IN_DEVICES, 0);
    g_midi_maps.rechord_on = slots[SLOT_RECHORD_ON] == 1;
    g_midi_maps.rechord_track = within(slots[SLOT_RECHORD_TRACK], 1, MAX_TRACKS, 1);
    g_midi_maps.midi_link_switch = slots[SLOT_MIDI_LINK] != 0;
    g_midi_maps.micro_channel = within(slots[SLOT_MICRO_CHANNEL], 1, MICRO_OFF, MICRO_ALL_CHANNELS);
    g_midi_maps.transpose_on = slots[SLOT_TRANSPOSE_ON] != 0;
    g_midi_maps.playback_transpose = within(slots[SLOT_PLAYBACK_TRANSPOSE], -127, 127, 0);
    g_transport.step_recording = g_settings.menu_cursor[5] == 1;
    // The event filter lasts one run: every start has all its switches on, whatever the file
    // holds, so no kind of event is hidden from the event list by an old choice.
    for (int i = 0; i < FILTER_SWITCHES; i++) {
        slots[SLOT_EVENT_FILTER_FIRST + i] = 1;
        g_event_filter.pass[i] = 1;
    }
    metronome_messages_build();
    step_lengths_update();
}

void settings_collect() {
    int32_t* slots = g_settings.slots;
    slots[SLOT_TRACING_TRACK] = g_song.tracing_track;
    slots[SLOT_WRITE_TRACK] = g_song.write_track;
    for (int t = 0; t < MAX_TRACKS; t++) {
        g_settings.image[AT_TRACK_PORT + t] = g_song.track_port[t];
    }
    slots[SLOT_CURRENT_OUT_PORT] = g_midi_devices.current_out_port;
    slots[SLOT_IN_DEVICE] = g_midi_devices.in_device;
    slots[SLOT_RECHORD_ON] = g_midi_maps.rechord_on ? 1 : 0;
    slots[SLOT_RECHORD_TRACK] = g_midi_maps.rechord_track;
    slots[SLOT_MIDI_LINK] = g_midi_maps.midi_link_switch ? 1 : 0;
    slots[SLOT_MICRO_CHANNEL] = g_midi_maps.saved_micro_channel >= 0
                                    ? g_midi_maps.saved_micro_channel
                                    : g_midi_maps.micro_channel;
    slots[SLOT_TRANSPOSE_ON] = g_midi_maps.transpose_on ? 1 : 0;
    slots[SLOT_PLAYBACK_TRANSPOSE] = g_midi_maps.playback_transpose;
}

void settings_image_build() {
    settings_collect();
    uint8_t* image = g_settings.image;
    memcpy(image + AT_CHORD_TABLE, g_midi_maps.chord_table, CHORD_TABLE_SIZE);
    memcpy(image + AT_NOTE_MAP, g_midi_maps.note_map, 128);
    memcpy(image + AT_PROGRAM_MAP, g_midi_maps.program_map, 128);
    for (int slot = 0; slot < SETTINGS_SLOTS; slot++) {
        slot_encode(g_settings.slots[slot], image + AT_SLOTS + slot * 2);
    }
    memcpy(image + AT_MENU_CURSOR, g_settings.menu_cursor, 6);
    channel_block_fill(image);
    // The sum covers every byte the reader checks, so the file always passes its own check.
    image[AT_CHECKSUM] = checksum(image);
}

int settings_write() {
    settings_image_build();
    const uint8_t* image = g_settings.image;
    char path[SONG_PATH_SIZE + 16];
    if (!settings_path(path, sizeof path)) {
        return 0;
    }
    // A failed write never loses the old file.
    bool written =
        platform_file_write_all(path, image, SETTINGS_FILE_SIZE) == FileWriteResult::written;
    return written ? 1 : 0;
}
