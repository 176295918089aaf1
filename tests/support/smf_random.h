// Seeded generator of well-formed Standard MIDI Files for round-trip and property tests:
// notes with running status, controllers, exclusive messages with two-byte lengths, meta
// events, Shift-JIS names, tempo and signature changes. Track 1 always ends last, so a
// loaded file needs no lengthening.
#pragma once

#include "tests/support/smf_builder.h"

#include <cstdint>

struct RandomSmfOptions {
    uint16_t format = 1;
    int tracks = 4;
    uint16_t division = 480;
    int events_per_track = 60;
    uint32_t header_length = 6;
    int trailing_chunks = 0; // chunks after the announced ones
};

Bytes random_smf(uint32_t seed, const RandomSmfOptions& options);
// Only the track chunks' event bytes, for building chunks directly.
Bytes random_track_events(uint32_t seed, int events, uint32_t end_tick_at_least);
