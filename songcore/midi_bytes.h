// Names of the MIDI status bytes, controller numbers and meta event types every layer uses.
#pragma once

#include <cstdint>

// Channel messages: the high nibble of the status byte, the channel in the low nibble.
constexpr uint8_t STATUS_NOTE_OFF = 0x80;
constexpr uint8_t STATUS_NOTE_ON = 0x90;
constexpr uint8_t STATUS_KEY_PRESSURE = 0xA0;
constexpr uint8_t STATUS_CONTROL_CHANGE = 0xB0;
constexpr uint8_t STATUS_PROGRAM_CHANGE = 0xC0;
constexpr uint8_t STATUS_CHANNEL_PRESSURE = 0xD0;
constexpr uint8_t STATUS_PITCH_BEND = 0xE0;

// System messages. The exclusive status is also the first one that belongs to no channel, and
// the clock the first real-time byte.
constexpr uint8_t STATUS_EXCLUSIVE = 0xF0;
constexpr uint8_t STATUS_EXCLUSIVE_END = 0xF7; // in a file also the escape of a raw packet
constexpr uint8_t STATUS_CLOCK = 0xF8;
constexpr uint8_t STATUS_START = 0xFA;
constexpr uint8_t STATUS_CONTINUE = 0xFB;
constexpr uint8_t STATUS_STOP = 0xFC;
constexpr uint8_t STATUS_ACTIVE_SENSING = 0xFE;
constexpr uint8_t STATUS_META = 0xFF; // in a file only

// Controller numbers.
constexpr uint8_t CC_BANK_SELECT_MSB = 0;
constexpr uint8_t CC_MODULATION = 1;
constexpr uint8_t CC_DATA_ENTRY_MSB = 6;
constexpr uint8_t CC_VOLUME = 7;
constexpr uint8_t CC_PAN = 10;
constexpr uint8_t CC_EXPRESSION = 11;
constexpr uint8_t CC_BANK_SELECT_LSB = 32;
constexpr uint8_t CC_DATA_ENTRY_LSB = 38;
constexpr uint8_t CC_SUSTAIN = 64;
constexpr uint8_t CC_REVERB = 91;
constexpr uint8_t CC_CHORUS = 93;
constexpr uint8_t CC_NRPN_LSB = 98;
constexpr uint8_t CC_NRPN_MSB = 99;
constexpr uint8_t CC_RPN_LSB = 100;
constexpr uint8_t CC_RPN_MSB = 101;
constexpr uint8_t CC_ALL_SOUND_OFF = 120;
constexpr uint8_t CC_RESET_CONTROLLERS = 121;
constexpr uint8_t CC_ALL_NOTES_OFF = 123;

// Meta event types (the byte after FF).
constexpr uint8_t META_TEXT = 1;
constexpr uint8_t META_COPYRIGHT = 2;
constexpr uint8_t META_TRACK_NAME = 3;
constexpr uint8_t META_LYRIC = 5;
constexpr uint8_t META_CUE_POINT = 7;
constexpr uint8_t META_PORT_PREFIX = 0x21;
constexpr uint8_t META_END_OF_TRACK = 0x2F;
constexpr uint8_t META_TEMPO = 0x51;
constexpr uint8_t META_TIME_SIGNATURE = 0x58;
constexpr uint8_t META_KEY_SIGNATURE = 0x59;
constexpr uint8_t META_SEQUENCER_SPECIFIC = 0x7F;
