// The MIDI event ring: each record is a 16-bit length, a 64-bit due frame and the message bytes.
#include "platform/midi_event_ring.h"

namespace {

constexpr uint32_t RING_MASK = MIDI_EVENT_RING_BYTES - 1;
constexpr uint32_t LENGTH_BYTES = 2;
constexpr uint32_t DUE_BYTES = 8;
constexpr uint32_t HEAD_BYTES = LENGTH_BYTES + DUE_BYTES;

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

bool midi_event_ring_put(MidiEventRing& ring, const uint8_t* bytes, uint32_t length, int64_t due) {
    if (length == 0 || length > MIDI_EVENT_MAX_BYTES) {
        ring.dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    while (ring.producer_busy.test_and_set(std::memory_order_acquire)) {
    }
    uint32_t written = ring.written.load(std::memory_order_relaxed);
    uint32_t read = ring.read.load(std::memory_order_acquire);
    bool fits = MIDI_EVENT_RING_BYTES - (written - read) >= HEAD_BYTES + length;
    if (fits) {
        uint8_t head[HEAD_BYTES] = {static_cast<uint8_t>(length & 0xFF),
                                    static_cast<uint8_t>(length >> 8)};
        for (uint32_t i = 0; i < DUE_BYTES; i++) {
            head[LENGTH_BYTES + i] = static_cast<uint8_t>(static_cast<uint64_t>(due) >> (8 * i));
        }
        copy_in(ring, written, head, HEAD_BYTES);
        copy_in(ring, written + HEAD_BYTES, bytes, length);
        ring.written.store(written + HEAD_BYTES + length, std::memory_order_release);
    } else {
        ring.dropped.fetch_add(1, std::memory_order_relaxed);
    }
    ring.producer_busy.clear(std::memory_order_release);
    return fits;
}

uint32_t midi_event_ring_take(MidiEventRing& ring, uint8_t* out, int64_t* due) {
    uint32_t read = ring.read.load(std::memory_order_relaxed);
    uint32_t written = ring.written.load(std::memory_order_acquire);
    if (written == read) {
        return 0;
    }
    uint8_t head[HEAD_BYTES];
    copy_out(ring, read, head, HEAD_BYTES);
    uint32_t length = head[0] | static_cast<uint32_t>(head[1]) << 8;
    if (due != nullptr) {
        uint64_t value = 0;
        for (uint32_t i = 0; i < DUE_BYTES; i++) {
            value |= static_cast<uint64_t>(head[LENGTH_BYTES + i]) << (8 * i);
        }
        *due = static_cast<int64_t>(value);
    }
    copy_out(ring, read + HEAD_BYTES, out, length);
    ring.read.store(read + HEAD_BYTES + length, std::memory_order_release);
    return length;
}
