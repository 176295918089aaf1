// Auto accompaniment: a pattern written in C fitted, note by note, to the chords of a chord
// track; and the interval table by XF chord type that chords are read with.
// Implemented in: accompaniment.cpp, accompaniment_chords.cpp.
#pragma once

#include "sequencer/edit/edit.h"
#include "sequencer/edit/xf_events.h"

#include <cstdint>

constexpr int XF_CHORD_TYPES = 35;
// Semitones above the root of the three further notes of each XF chord type; a type whose
// first interval is 0 adds no notes.
extern const uint8_t CHORD_INTERVALS[XF_CHORD_TYPES][3];

constexpr int CHORD_NOTES_MAX = 5; // notes collected from the chord track at one tick

// Notes collected from the events at one tick of the chord track, in the order met.
struct ChordNotes {
    int count = 0;
    int notes[CHORD_NOTES_MAX] = {};
};

// The chord in force while the pattern is walked; lives for one run of the command. Before
// the first chord it is C7.
struct ChordInForce {
    int chord_bass = 0;            // a note number
    int chord_root = 0;            // pitch class 0..11
    int intervals[3] = {4, 7, 10}; // I1, I2, I3 above the root, 0..11
    bool has_i3 = true;            // I3 is absent when the chord had no fifth note
};

// Adds a note; those beyond CHORD_NOTES_MAX are not kept.
void chord_notes_add(ChordNotes& notes, int note);
// The notes an XF chord event stands for: the bass (when there is one) an octave above
// note 0, the root from middle C up, and the root plus the type's intervals.
void chord_notes_from_xf(ChordNotes& notes, const XfChord& chord);
// Makes the collected notes the chord in force when there are more than two; otherwise the
// chord stays and false is returned.
bool chord_analyse(const ChordNotes& collected, ChordInForce& chord);

// An interval as the smaller movement: -6..8.
int fold_interval(int x);
// The note a pattern note (written in C) becomes under the chord. channel_number is 1..16;
// channels 10..16 are returned unchanged. two_below: the Ctrl key was held.
int accompaniment_note(int note, int channel_number, const ChordInForce& chord, bool two_below);

// Whether the command would run: done, or invalid for a field out of range, or no_data
// with the reason on the status line when the pattern has no note or the chord track holds
// neither a note nor an XF chord (an empty track, or one beyond its song's track count).
// Nothing changes.
EditResult accompaniment_check(int out_track_number, int pattern_song_number,
                               int pattern_track_number, int chord_song_number,
                               int chord_track_number);
// "M: Auto Accompaniment": the output track of the current song becomes the pattern with
// every note of channels 1..9 fitted to the chord in force at its tick. A pattern or chord
// track of another song is read in this song's time base. Installed all or nothing.
EditResult auto_accompany(int out_track_number, int pattern_song_number, int pattern_track_number,
                          int chord_song_number, int chord_track_number);
