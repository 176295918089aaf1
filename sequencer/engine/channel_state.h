// The output path's picture of every channel (sounding notes per port, sustain, programs,
// controllers, GS parameters, drum channels) and the note, program and chord maps.
#pragma once
#include "sequencer/engine/midi_devices.h"

#include <cstdint>

constexpr int CHORD_TABLE_SIZE = 96;
constexpr int NRPN_PARAMETERS = 8;
constexpr int MICRO_ALL_CHANNELS = 17;
constexpr int MICRO_OFF = 18;
constexpr uint8_t DRUM_PART = 0x80;

// What the output path sent, kept by midi_send: frames only, or the window thread while stopped.
struct ChannelState {
    int8_t sounding_notes[16 * 128][LOGICAL_PORTS] = {}; // note-ons sent without a note-off
    bool sustain_on[16][LOGICAL_PORTS] = {};
    uint8_t channel_program[16] = {};
    uint8_t controller_values[16][128] = {};
    uint8_t nrpn_select[16] = {}; // 127 none, 126 MSB 1 seen, 0..7 a parameter selected
    uint8_t nrpn_values[16][NRPN_PARAMETERS] = {};
    uint8_t drum_channel[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, DRUM_PART}; // DRUM_PART or 0
};

// Frames only, or the window thread while stopped (the shell's panels).
struct MidiMaps {
    uint8_t note_map[128] = {};
    uint8_t program_map[128] = {};
    uint8_t chord_table[CHORD_TABLE_SIZE] = {};
    int micro_channel = MICRO_ALL_CHANNELS; // 1..16 one channel, 17 all melodic channels, 18 off
    int saved_micro_channel = -1;           // restored when a capture ends; -1 while none runs
    int note_map_capture = 128;             // 128 = off
    int program_map_capture = 128;          // 128 = off
    int chord_capture = CHORD_TABLE_SIZE;   // 96 = off
    bool transpose_on = false;
    int playback_transpose = 0;
    // Re-chord.
    bool rechord_on = false;
    int rechord_track = 1; // 1-based
    uint8_t chord_tones[4] = {0, 4, 7, 10};
    int rechord_sounding = 0;
    bool rechord_pending = false;
    int rechord_chord = 0;
    bool midi_link_switch = true; // false: bytes 0xF8 and above are not sent
};

extern ChannelState g_channel_state;
extern MidiMaps g_midi_maps;
// NRPN LSB numbers of the eight GS parameters, in index order.
extern const uint8_t NRPN_LSB_NUMBERS[NRPN_PARAMETERS];

// A fresh record with the module's defaults: no note sounding.
void channel_state_reset();
// The module's defaults after a GS reset (programs, controllers, drum parts, GS parameters);
// the notes and pedals sounding are kept, as the module still has them to end.
void channel_module_defaults();
void midi_maps_reset();
// The stored value of a controller or a GS parameter (0..7) of a channel, as a panel sets it.
void controller_value_store(int channel, int controller, uint8_t value);
void nrpn_value_store(int channel, int parameter, uint8_t value);
// The micro scale's channel; while a capture runs, the one it restores at its end.
void micro_channel_choose(int channel);
void transpose_switch(bool on);
void transpose_amount_set(int semitones);
void rechord_switch(bool on);
void rechord_track_set(int track);
// Every note, or every program, maps to itself.
void note_map_identity();
void program_map_identity();
// The one output path for every message; may rewrite the bytes (mapped note or program).
void midi_send(uint8_t* bytes, uint32_t length);
void all_notes_off();
// Ends the captures started with playback and restores the micro channel.
void captures_end();
// Starts the capture the keyboard's octave selects (7: note and program maps, 8: chords).
void captures_start(int play_octave, int first_key);
