// A lock-free ring of whole MIDI messages from the thread that sends to the thread that
// plays them (the synthesizer's audio thread), so a send never waits on audio work.
// Implemented in: midi_event_ring.cpp.
#pragma once
#include <atomic>
#include <cstdint>

constexpr uint32_t MIDI_EVENT_RING_BYTES = 1u << 16; // a power of two
// Longer messages are dropped: the synthesizer understands only short system exclusive.
constexpr uint32_t MIDI_EVENT_MAX_BYTES = 1024;

// Senders put, one consumer takes. Only the frame routine sends and never twice at once, so
// `producer_busy` is never contended in practice; it keeps a stray second sender (a port
// closed from the window thread) from interleaving records. The consumer never takes it, so
// the audio thread never waits. The counters only grow.
struct MidiEventRing {
    uint8_t bytes[MIDI_EVENT_RING_BYTES] = {};
    std::atomic<uint32_t> written{0}; // bytes ever put
    std::atomic<uint32_t> read{0};    // bytes ever taken
    std::atomic<uint32_t> dropped{0}; // messages refused: ring full or message too long
    std::atomic_flag producer_busy = ATOMIC_FLAG_INIT;
};

// Only while nobody puts or takes.
void midi_event_ring_reset(MidiEventRing& ring);
// False (and counted as dropped) when the message does not fit. `due` travels with the message
// for the consumer: the sample frame it is meant to sound at (0 when that does not matter).
bool midi_event_ring_put(MidiEventRing& ring, const uint8_t* bytes, uint32_t length,
                         int64_t due = 0);
// Copies the oldest message into `out` (MIDI_EVENT_MAX_BYTES) and returns its length, with its
// due frame in `*due` when that is given; 0 when the ring is empty.
uint32_t midi_event_ring_take(MidiEventRing& ring, uint8_t* out, int64_t* due = nullptr);
