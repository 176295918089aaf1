// Walking a track's events. Every walk is bound to its chunk: nothing at or beyond the end
// of the chunk's data is read, and damage ends the walk as if the end of track stood there.
#pragma once

#include "songcore/midi_bytes.h"

#include <cstdint>

struct TrackWalk {
    uint32_t pos; // the next event's delta time
    uint32_t end; // end of the chunk's data
    int32_t tick; // tick of the last event read
    uint8_t running_status;
    bool ended;
};

struct TrackEvent {
    int32_t tick;
    uint32_t delta;
    uint32_t pos;      // first byte after the delta: the status byte, or data under running status
    uint32_t length;   // bytes from pos to the next event's delta
    uint8_t status;    // effective status byte (running status resolved)
    uint8_t meta_type; // 0 unless a meta event
    uint32_t data_pos; // meta and exclusive data, or a channel message's data bytes
    uint32_t data_length;
    bool running;       // stored without its status byte
    bool end_of_track;  // the FF 2F event, or where a damaged walk stopped
    bool synthetic_end; // the end came from damage or the chunk's end, not from FF 2F
};

// Message length including the status byte of a channel status 0x80-0xEF.
int channel_message_length(uint8_t status);

// Starts a walk at a track's first event (the chunk length stands 4 bytes before it).
TrackWalk track_walk_begin(uint32_t track_pos);

// Reads the next event into ev and moves past it. Returns false at the end of track (ev then
// holds the end with its tick); every later call returns the same end again.
bool event_parse(TrackWalk& walk, TrackEvent& ev);

// Kind of note event: +1 note-on with velocity > 0, -1 note-off (0x80, or 0x90 velocity 0).
int note_kind(const TrackEvent& ev);
// Data byte i (0-based, after the status) of a channel message.
uint8_t event_data(const TrackEvent& ev, uint32_t i);
