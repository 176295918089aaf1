// XF meta events (FF 7F with maker ID 43 7B): their types, chord and rehearsal-mark names,
// and reading and writing chord, section and guitar events.
#pragma once

#include "songcore/event_parse.h"

#include <cstdint>

constexpr uint8_t XF_VERSION = 0;
constexpr uint8_t XF_CHORD = 1;
constexpr uint8_t XF_REHEARSAL = 2;
constexpr uint8_t XF_GUITAR_INFO = 16;    // edited when the meta length is 12
constexpr uint8_t XF_GUITAR_VOICING = 18; // edited when the meta length is 16
constexpr uint8_t XF_NO_BASS = 0x7F;      // a bass root at or above this: no bass
constexpr int XF_TEXT_SIZE = 64;

struct XfChord {
    uint8_t root, type, bass_root, bass_type;
};

// The shared text buffer the name functions fill. Frames only.
struct XfText {
    char text[XF_TEXT_SIZE] = {};
};

extern XfText g_xf_text;

void xf_reset();

// -1 when the event is not an XF event (not FF 7F, or no 43 7B), else its XF type.
int xf_event_type(const TrackEvent& ev);
// The list text of an XF type ("other XF" for types without a name); "other" for an FF 7F
// event without the XF maker ID.
const char* xf_type_name(const TrackEvent& ev);

const char* xf_chord_name(uint8_t root, uint8_t type, uint8_t bass_root, uint8_t bass_type);
const char* xf_rehearsal_name(uint8_t mark);

// Semitone 0..11 of a root byte (accidentals count as one), -1 for a letter without a name.
int xf_root_semitone(uint8_t root);
// Root byte of a semitone (taken modulo 12), always written with sharps.
uint8_t xf_root_from_semitone(int semitone);

// Reading: false when the event is not of that kind or too short.
bool xf_chord_read(const TrackEvent& ev, XfChord& chord);
bool xf_rehearsal_read(const TrackEvent& ev, uint8_t& mark);
// The data after the XF type of a guitar event: 9 bytes for the information flag (meta
// length 12), 13 for the chord voicing (meta length 16).
int xf_guitar_read(const TrackEvent& ev, uint8_t* data, int capacity);

// Writing: append delta time and event to the arena (memory_over tells of failure).
void xf_chord_append(uint32_t delta, const XfChord& chord);
void xf_rehearsal_append(uint32_t delta, uint8_t mark);
// type XF_GUITAR_INFO with 9 data bytes or XF_GUITAR_VOICING with 13; false otherwise.
bool xf_guitar_append(uint32_t delta, uint8_t type, const uint8_t* data, int count);
