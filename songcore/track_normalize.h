// The working form every edit reads tracks in (explicit status bytes, no note-off without a
// note-on), the per-note counters that keep notes paired while a track is rewritten, the
// search for a note-on's note-off, and the event-kind switches of edits and the event list.
#pragma once

#include "songcore/event_parse.h"

#include <cstdint>

constexpr int NOTE_COUNTERS = 2048; // 16 channels x 128 notes

// Counters of one rewrite: index channel * 128 + note, value = notes of that key still
// sounding. Touched only inside the frame routine, which never runs twice at once.
struct TrackRewrite {
    int8_t note_counters[NOTE_COUNTERS] = {};
};

extern TrackRewrite g_track_rewrite;

// Clears the counters; every rewrite starts with it.
void track_rewrite_reset();

// The eight event-kind switches, in the order the event list shows them.
enum EventFilterSwitch {
    FILTER_NOTE,             // note on/off 0x80, 0x90
    FILTER_KEY_PRESSURE,     // 0xA0
    FILTER_CONTROL_CHANGE,   // 0xB0
    FILTER_PROGRAM_CHANGE,   // 0xC0
    FILTER_CHANNEL_PRESSURE, // 0xD0
    FILTER_PITCH_BEND,       // 0xE0
    FILTER_EXCLUSIVE,        // 0xF0..0xFE
    FILTER_META,             // 0xFF
    FILTER_SWITCHES
};

// Which kinds of event edits and the event list let through. Lives for the whole run and is
// all ON at every start. Touched only inside the frame routine.
struct EventFilter {
    uint8_t pass[FILTER_SWITCHES] = {1, 1, 1, 1, 1, 1, 1, 1}; // 1 = shown or passed, 0 = left out
};

extern EventFilter g_event_filter;

// Every switch ON.
void event_filter_reset();

// Appends a parsed event after `delta` ticks. An event stored under running status gets its
// status byte, so the copy stands on its own whatever is written before it.
void event_append_explicit(uint32_t delta, const TrackEvent& ev);

// Whether a track copy keeps an event; `after` stands just behind it.
using EventKeep = bool (*)(const TrackWalk& after, const TrackEvent& ev, void* context);
struct TrackEventsCopy {
    TrackEvent end;       // the walk's last event: the end of track
    int32_t written_tick; // tick of the last event written
};
// Appends the events of the track at `src_pos` that `keep` accepts, each with its status
// byte. A left-out event's delta goes to the next kept one, so every kept event keeps its tick.
TrackEventsCopy track_events_copy(uint32_t src_pos, EventKeep keep, void* context);
// The keep of the working form: what note_pair_track keeps while counting.
bool paired_event_keep(const TrackWalk& after, const TrackEvent& ev, void* context);

// Brings a track into the working form: every event with its status byte, note-offs without
// a sounding note dropped (their delta kept), notes still sounding at the end closed. Does
// nothing when the track's track_normalized flag is set. Not a change of the song: the
// modified mask is left as it was. Returns 0, or 1 when memory ran out (track unchanged,
// flag left clear).
int track_normalize(int slot, int track0);

enum class NotePairMode {
    counting, // material being kept
    closing,  // inside an erased range: only note-offs of sounding notes survive
};

// Pairs the event against the note counters and tells whether a rewrite keeps it.
// Counting: a note-off whose note is not sounding is dropped (counter unchanged), and so is
// a note-on beyond 127 sounding notes of its key; every other event is kept and its note
// counted. Closing: only a note-off of a sounding note is
// kept (and uncounted); everything else is dropped.
bool note_pair_track(const TrackEvent& ev, NotePairMode mode);

// Appends a note-off (0x90 + channel, note, 0) for every counted note, in counter order,
// until every counter is 0: the first after `delta` ticks, the rest at delta 0. True when
// any note-off was written.
bool sounding_notes_close(uint32_t delta);

struct NoteOffMatch {
    bool found;
    int32_t gate;        // ticks from the note-on to its note-off; 0 when none
    TrackEvent note_off; // when found: the partner, with the positions of its bytes
};

// For a note-on `note_on` whose walk `after_on` stands just behind it, finds its note-off:
// later note-ons of the same channel and key are counted and matched by the next note-offs;
// the first note-off met with no such note-on open is the partner. Not found (gate 0) for
// other events and when the end of track comes first. The caller's walk is not moved.
NoteOffMatch note_off_find(const TrackWalk& after_on, const TrackEvent& note_on);

// False when the event's kind has its switch OFF. A note event is judged by the note switch
// whatever its velocity.
bool event_filter_pass(const TrackEvent& ev);
