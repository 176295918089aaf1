// Builds Standard MIDI File bytes for tests, event by event.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes vlq_bytes(uint32_t value);
// "MTrk", the length and the events as given.
Bytes track_chunk(const Bytes& events);
// "MThd" with a header of `header_length` bytes (6 or more; extra bytes are zero).
Bytes header_chunk(uint16_t format, uint16_t tracks, uint16_t division, uint32_t header_length = 6);
Bytes smf_file(uint16_t format, uint16_t division, const std::vector<Bytes>& track_events);
Bytes concat(std::initializer_list<Bytes> parts);

// Event helpers: delta time then the event bytes.
Bytes ev(uint32_t delta, std::initializer_list<uint8_t> bytes);
Bytes meta(uint32_t delta, uint8_t type, const Bytes& data);
Bytes meta_text(uint32_t delta, uint8_t type, const std::string& text);
Bytes end_of_track(uint32_t delta = 0);
Bytes tempo_event(uint32_t delta, uint32_t usec_per_quarter);
Bytes time_signature(uint32_t delta, uint8_t numerator, uint8_t denominator_power);
