// Building an SMF in song slot 0 from a ringtone: one track chunk per ringtone track, notes
// with their note-offs kept pending in due order, and the final one-track format 0 file.
#pragma once

#include <cstdint>

constexpr int PENDING_OFFS = 16 * 128; // at most one pending note-off per channel and key

struct PendingOff {
    int64_t due = 0;
    uint8_t channel = 0;
    uint8_t key = 0;
};

// The SMF being built. Single-threaded, reset by smf_build_begin.
struct SmfBuild {
    uint32_t chunk_pos = 0; // data position of the track chunk being built (always the last)
    int64_t written = 0;    // time of the last event written to it
    int track_count = 0;    // track chunks installed in slot 0
    bool building = false;
    bool out_of_memory = false; // a track did not fit the store
    PendingOff pending[PENDING_OFFS] = {};
    int pending_count = 0;
};

extern SmfBuild g_smf_build;

void smf_build_begin();
// Starts a track chunk; false when slot 0 has no room for another track.
bool smf_track_begin();
// Writes an event at an absolute time (never earlier than the last one written).
void smf_event(int64_t time, const uint8_t* bytes, uint32_t count);
void smf_event3(int64_t time, uint8_t status, uint8_t d0, uint8_t d1);
void smf_event2(int64_t time, uint8_t status, uint8_t d0);
// The ringtone's title as the sequence-name event at time 0 of the track being built: up
// to the writers' longest title, never ending in half a double-byte character. Nothing for
// an empty title.
void smf_sequence_name(const uint8_t* text, uint32_t length);
// Writes every pending note-off due at or before `time`.
void smf_offs_due(int64_t time);
// A note: note-on now and its note-off `duration` later; when the same key of the channel
// still sounds, no new note-on is written and the sounding note lasts to the new end.
void smf_note(int64_t time, int channel, int key, int velocity, int duration);
// Ends the track: the pending note-offs, then the end of track; installs it in slot 0.
void smf_track_end(int64_t time);
// Mixes all tracks into the first and makes the header format 0 with one track and the
// division given, ready for smf_single_track_write(). False when a track did not fit the
// store or none was built.
bool smf_build_finish(int32_t division);
