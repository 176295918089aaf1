// The sequencer's settings: the 256 numeric slots kept in the settings file, with the slots
// the engine reads by name, and the reading and writing of the file and of the tone
// initialisation song.
// Implemented in: init_file.cpp, settings_file.cpp.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

constexpr int SETTINGS_SLOTS = 256;
constexpr uint32_t SETTINGS_FILE_SIZE = 4096;
constexpr const char* SETTINGS_FILE_NAME = "ZB47.DAT";
constexpr const char* INIT_FILE_NAME = "ZB47INIT.MID";

enum SettingsSlot {
    // Fields of the menu pages that have no fixed place, in slots 0..52 and from 143 on.
    SLOT_PC_KEY = 0,
    SLOT_KEY_ASSIGN = 1,
    SLOT_EVENT_FILTER_FIRST = 2, // the event filter's eight switches, 2..9
    SLOT_MIX_A = 10,
    SLOT_MIX_B = 11,
    SLOT_MIX_OUT = 12,
    SLOT_MIX_DELETE = 13,
    SLOT_QUANTIZE_TRACK = 14,
    SLOT_QUANTIZE_START = 15,
    SLOT_QUANTIZE_LENGTH = 16,
    SLOT_QUANTIZE_NOTE = 17,
    SLOT_QUANTIZE_GATE = 18,
    SLOT_CREATE_MEASURE = 19,
    SLOT_CREATE_NUMERATOR = 20,
    SLOT_CREATE_DENOMINATOR = 21,
    SLOT_CREATE_TEMPO = 22,
    SLOT_CREATE_COUNT = 23,
    SLOT_COPY_SRC_TRACK = 24,
    SLOT_COPY_START = 25,
    SLOT_COPY_LENGTH = 26,
    SLOT_COPY_DST_TRACK = 27,
    SLOT_COPY_DST_START = 28,
    SLOT_COPY_TIMES = 29,
    SLOT_DELETE_START = 30,
    SLOT_DELETE_LENGTH = 31,
    SLOT_INSERT_START = 32,
    SLOT_INSERT_LENGTH = 33,
    SLOT_INSERT_AT = 34,
    SLOT_ERASE_TRACK = 35,
    SLOT_ERASE_START = 36,
    SLOT_ERASE_LENGTH = 37,
    SLOT_TRANSPOSE_TRACK = 38,
    SLOT_TRANSPOSE_START = 39,
    SLOT_TRANSPOSE_LENGTH = 40,
    SLOT_TRANSPOSE_PITCH = 41,
    SLOT_TRANSPOSE_VELOCITY = 42,
    SLOT_TRANSPOSE_NOTE_FROM = 43,
    SLOT_TRANSPOSE_NOTE_TO = 44,
    SLOT_COMBINE_TIME = 45,
    SLOT_COMBINE_PITCH = 46,
    SLOT_COMBINE_VELOCITY = 47,
    SLOT_COMBINE_OUT = 48,
    SLOT_CLEAR_TRACK = 49,
    SLOT_FILTER_IN_TRACK = 50,
    SLOT_FILTER_OUT_TRACK = 51,
    SLOT_POLY_TRACK = 52,
    SLOT_STEP_GATE_PERCENT = 53,
    SLOT_STEP_NOTE_VALUE = 54,
    SLOT_STEP_LENGTH = 55,
    SLOT_INPUT_OUT_CHANNEL = 56, // shown 1-based on the MIDI input page
    SLOT_THRU_ON = 57,
    SLOT_TRACING_TRACK = 60,
    SLOT_GUIDE_MODE = 61,
    SLOT_IN_DEVICE = 62,
    SLOT_RECHORD_ON = 63,
    SLOT_RECHORD_TRACK = 64,
    SLOT_BACKUP_ALLOWED = 65,
    SLOT_SLEEP = 66,
    SLOT_FILTER_NOTE = 74,
    SLOT_FILTER_KEY_PRESSURE = 75,
    SLOT_FILTER_CONTROL = 76,
    SLOT_FILTER_PROGRAM = 77,
    SLOT_FILTER_CHANNEL_PRESSURE = 78,
    SLOT_FILTER_PITCH_BEND = 79,
    SLOT_MIDI_LINK = 90,
    SLOT_REMOTE_MEASURE_FIRST = 95, // measures of remote commands 10..15
    SLOT_EXCHANGE_SOURCE = 101,
    SLOT_EXCHANGE_TARGET = 102,
    SLOT_CHANGE_CHANNEL = 106,
    SLOT_MICRO_CHANNEL = 108,
    SLOT_NOTE_MAP_FIRST_KEY = 109,
    SLOT_METRONOME_ON = 118,
    SLOT_METRONOME_CHANNEL = 119,
    SLOT_METRONOME_ACCENT_NOTE = 120,
    SLOT_METRONOME_ACCENT_VELOCITY = 121,
    SLOT_METRONOME_NOTE = 122,
    SLOT_METRONOME_VELOCITY = 123,
    SLOT_CLOCK_SOURCE = 127,
    SLOT_WRITE_TRACK = 128,
    SLOT_CURRENT_OUT_PORT = 129,
    SLOT_OUT_CHANNEL = 130,
    SLOT_POSITION_DISPLAY = 134,
    SLOT_TRANSPOSE_ON = 135,
    SLOT_PLAYBACK_TRANSPOSE = 136,
    // Engine settings without a fixed place, kept in the spare slots.
    SLOT_VELOCITY_OFFSET = 140,
    SLOT_FIXED_VELOCITY = 141,
    SLOT_FIXED_VELOCITY_ON = 142,
    SLOT_MONO_TRACK = 143,
    SLOT_POLY_VOICES = 144,
    SLOT_TIME_TRACK = 145,
    SLOT_EVENT_TRACK = 146,
    SLOT_TIME_OUT_TRACK = 147,
    SLOT_MOVE_SRC_SONG = 148,
    SLOT_MOVE_SRC_TRACK = 149,
    SLOT_MOVE_SRC_CHANNEL = 150,
    SLOT_MOVE_DELETE = 151,
    SLOT_MOVE_DST_SONG = 152,
    SLOT_MOVE_DST_TRACK = 153,
    SLOT_MOVE_DST_CHANNEL = 154,
    SLOT_MOVE_DELAY = 155,
    SLOT_SOUND_MEASURE = 156,
    SLOT_SOUND_BEAT = 157,
    SLOT_SOUND_CLOCK = 158,
    SLOT_ACCOMP_TRACK = 159,
    SLOT_ACCOMP_PATTERN_SONG = 160,
    SLOT_ACCOMP_PATTERN_TRACK = 161,
    SLOT_ACCOMP_CHORD_SONG = 162,
    SLOT_ACCOMP_CHORD_TRACK = 163,
};

// Frames only, or the window thread while stopped (reading and writing the file, the panels).
struct Settings {
    int32_t slots[SETTINGS_SLOTS] = {};
    uint8_t menu_cursor[6] = {}; // menu pages 1..6; the last is the record style
    // The file as last read, so bytes this program does not use are written back unchanged.
    uint8_t image[SETTINGS_FILE_SIZE] = {};
};

extern Settings g_settings;
// Built-in defaults in every slot and an all-zero image.
void settings_reset();
// The value of a slot as a flag.
inline bool setting_on(int slot) {
    return g_settings.slots[slot] != 0;
}
// Frames write a slot through this while the window timer's refresher may read it with
// setting_on_shared(): both sides are atomic, relaxed, as a switch seen a tick late is harmless.
inline void setting_set(int slot, int32_t value) {
    std::atomic_ref<int32_t>(g_settings.slots[slot]).store(value, std::memory_order_relaxed);
}
inline bool setting_on_shared(int slot) {
    return std::atomic_ref<int32_t>(g_settings.slots[slot]).load(std::memory_order_relaxed) != 0;
}
// The saved cursor row of menu page 1..6.
inline void settings_menu_cursor_set(int page, uint8_t row) {
    g_settings.menu_cursor[page - 1] = row;
}
// 0 read, 1 missing, short or damaged (defaults kept).
int settings_read();
// The same for an image already in memory: anything but 4096 bytes with a matching sum is
// refused without changing a setting.
int settings_parse(const uint8_t* image, size_t size);
// 1 written, 0 when the file could not be written.
int settings_write();
// Fills g_settings.image with the settings as the file holds them.
void settings_image_build();
// Copies the slots into the records that hold those settings while the program runs, and back.
void settings_apply();
void settings_collect();
// Rebuilds the metronome's four messages from its slots.
void metronome_messages_build();
// 0 when the dialog was cancelled, else 1.
int init_file_write();
// The tone initialisation song as bytes; returns the length written into out (at most
// out_size; the full song never exceeds 22 + 16 * (27 + 8 * 16) + 4 bytes).
uint32_t init_file_image(uint8_t* out, uint32_t out_size);
