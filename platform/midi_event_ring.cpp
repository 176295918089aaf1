// The MIDI event ring: each record is a 16-bit length and the message bytes.
#include "platform/midi_event_ring.h"

namespace {

constexpr uint32_t RING_MASK = MIDI_EVENT_RING_BYTES - 1;
constexpr uint32_t LENGTH_BYTES = 2;

void copy_in(MidiEventRing& ring, uint32_t at, const uint8_t* from, uint32_t count) {
    for (uint32_t i = 0; i < count; i++) {
        ring.bytes[(at + i) & RING_MASK] = from[i];
    }
}

void copy_out(const MidiEventRing& ring, uint32_t at, uint8_t* to, uint32_t count) {
    for (uint32_t i = 0; i < count; i++) {
        to[i] = ring.bytes[(at + i) & RING_MASK];
    }
}

} // namespace

void midi_event_ring_reset(MidiEventRing& ring) {
    ring.written.store(0);
    ring.read.store(0);
    ring.dropped.store(0);
    ring.producer_busy.clear();
}

bool midi_event_ring_put(MidiEventRing& ring, const uint8_t* bytes, uint32_t length) {
    if (length == 0 || length > MIDI_EVENT_MAX_BYTES) {
        ring.dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    while (ring.producer_busy.test_and_set(std::memory_order_acquire)) {
    }
    uint32_t written = ring.written.load(std::memory_order_relaxed);
    uint32_t read = ring.read.load(std::memory_order_acquire);
    bool fits = MIDI_EVENT_RING_BYTES - (written - read) >= LENGTH_BYTES + length;
    if (fits) {
        uint8_t size[LENGTH_BYTES] = {static_cast<uint8_t>(length & 0xFF),
                                      static_cast<uint8_t>(length >> 8)};
        copy_in(ring, written, size, LENGTH_BYTES);
        copy_in(ring, written + LENGTH_BYTES, bytes, length);
        ring.written.store(written + LENGTH_BYTES + length, std::memory_order_release);
    } else {
        ring.dropped.fetch_add(1, std::memory_order_relaxed);
    }
    ring.producer_busy.clear(std::memory_order_release);
    return fits;
}

uint32_t midi_event_ring_take(MidiEventRing& ring, uint8_t* out) {
    uint32_t read = ring.read.load(std::memory_order_relaxed);
    uint32_t written = ring.written.load(std::memory_order_acquire);
    if (written == read) {
        return 0;
    }
    uint8_t size[LENGTH_BYTES];
    copy_out(ring, read, size, LENGTH_BYTES);
    uint32_t length = size[0] | static_cast<uint32_t>(size[1]) << 8;
    copy_out(ring, read + LENGTH_BYTES, out, length);
    ring.read.store(read + LENGTH_BYTES + length, std::memory_order_release);
    return length;
}
