// Turning the loaded SMF (song slot 0) into one prepared event list for the ringtone
// writers: all tracks mixed, sustain resolved, tempo folded into the time line, long notes
// split, voices moved to slots of their own, plus what the writers must know about the song.
#pragma once

#include <cstdint>

constexpr int PREP_CHANNELS = 16;
constexpr int PREP_SLOTS = 16;
constexpr int SLOT_FREE = 16; // slot_channel of a free slot
constexpr int DRUM_CHANNEL = 9;
constexpr int TITLE_MAX = 128;
constexpr int VOICE_LIST_MAX = 16;
// The scratch slot of the converter's store: track 0 the mixed source, track 1 the prepared
// list, track 2 the extra notes of long-note splitting.
constexpr int PREP_SLOT = 1;

enum class PrepTarget { mfi, pmd, mmf };

// What preparing the song came to: ready for the writer, or why the conversion stops. The
// preparation says nothing itself; the converter's shell tells the user.
enum class PrepResult {
    ready,
    note_out_of_range, // a note beyond the lowest or highest the formats can write
    too_many_voices,   // more voices at once than automatic separation has slots
    no_drum_slot,      // separation could not keep the drum channel's slot for it
    out_of_memory,     // the prepared list did not fit the store: nothing is said
};

// State of one preparation; reset at the start of each conversion. Single-threaded.
struct Preparation {
    PrepTarget target{};
    int16_t key_count[PREP_CHANNELS][128] = {}; // note-ons minus note-offs seen so far
    int8_t voices_now[PREP_CHANNELS] = {};
    int8_t voices_max[PREP_CHANNELS] = {};
    bool pedal_down[PREP_CHANNELS] = {};
    bool held[PREP_CHANNELS][128] = {}; // MMF: note-off swallowed by the pedal
    int32_t first_note_time = -1;       // -1 while none
    bool has_cue_point = false;
    int32_t cue_time = 0;
    bool base_tempo_fixed = false;
    int base_bpm = 0;
    int current_bpm = 0;
    int64_t fold_remainder = 0;
    bool tempo_seen = false; // MMF: the first tempo event was kept as a tempo
    bool needs_extended_notes = false;
    bool copyright_seen = false;
    int output_tracks = 4; // 1..4
    bool separation = false;
    int slot_channel[PREP_SLOTS] = {}; // SLOT_FREE when free
    int slot_key[PREP_SLOTS] = {};     // -1 when none
    int version = 2;                   // MFi version 1, 2 or 3
    int32_t division = 0;              // ticks per quarter note of the source
    int32_t start_time = 0;            // start point on the prepared time line
    char title[TITLE_MAX + 1] = " ";   // a single space when the song has none
    int title_length = 1;
    int voice_list[VOICE_LIST_MAX] = {}; // MMF: program, or 128 + key for drums
    int voice_count = 0;
    bool version1_possible = false; // MFi/PMD: the song fits version 1, which may be offered
    PrepResult stopped = PrepResult::ready; // why the analysis or separation stopped
};

extern Preparation g_prep;

void prep_reset(PrepTarget target);

// Prepares the song in slot 0 for an MFi/PMD (version 3 when version3) or MMF writer, in
// two steps so that the question of version 1 (asked only when `version1_possible` is set
// after the first) can come between them: the analysis, long notes and output track count,
// then the version chosen and automatic separation. MMF ignores the choice.
PrepResult prepare_song_analyse(PrepTarget target, bool version3);
PrepResult prepare_song_finish(bool version1);

// Data position of the prepared list (it moves whenever the store compacts).
uint32_t prepared_list_pos();
// MFi/PMD note number of a key on a channel (melodic: key + toneshift - 45).
int prep_note_number(int channel, int key);
// MIDI channel owning slot/channel s (without separation the channel itself).
int prep_slot_owner(int s);
