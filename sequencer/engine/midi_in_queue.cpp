// The input byte queue: appended on the thread that delivers input, drained by the frame
// routine. Only whole messages are appended; a message that does not fit is dropped.
#include "common/record_rebuild.h"
#include "platform/midi.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/transport.h"

MidiInQueue g_midi_in_queue;

void midi_in_queue_reset() {
    record_rebuild(g_midi_in_queue);
}

namespace {

uint32_t queued_bytes() {
    return g_midi_in_queue.written.load(std::memory_order_relaxed) -
           g_midi_in_queue.read.load(std::memory_order_acquire);
}

void queue_append(const uint8_t* bytes, uint32_t count) {
    MidiInQueue& q = g_midi_in_queue;
    uint32_t w = q.written.load(std::memory_order_relaxed);
    for (uint32_t i = 0; i < count; i++) {
        q.bytes[(w + i) % IN_QUEUE_SIZE] = bytes[i];
    }
    q.written.store(w + count, std::memory_order_release);
}

// Bytes of a short message worth queueing: running-status data, a channel message,
// nothing for system common messages, one byte for real time.
uint32_t short_message_length(uint8_t first) {
    uint8_t& running = g_midi_in_queue.in_running_status;
    if (first < 0x80) {
        if (running == 0) {
            return 0;
        }
        return (running >= 0xC0 && running <= 0xDF) ? 1 : 2;
    }
    if (first <= 0xEF) {
        running = first;
        return (first >= 0xC0 && first <= 0xDF) ? 2 : 3;
    }
    if (first <= 0xF7) {
        return 0;
    }
    return 1;
}

void input_arrived() {
    if (transport_mode() != MODE_STOPPED) {
        platform_wake_waiter(); // the playback loop takes it in its next frame
        return;
    }
    if (g_engine_hooks.input_arrived) {
        g_engine_hooks.input_arrived();
    } else {
        frame_routine();
    }
}

} // namespace

void on_midi_in_data(uint32_t message) {
    uint8_t bytes[3] = {static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                        static_cast<uint8_t>(message >> 16)};
    uint32_t n = short_message_length(bytes[0]);
    if (n > 0 && queued_bytes() < IN_QUEUE_SHORT_LIMIT) {
        queue_append(bytes, n);
    }
    input_arrived();
}

void on_midi_in_longdata(const uint8_t* bytes, uint32_t length) {
    if (length > 0 && length < SYSEX_BUFFER_SIZE && queued_bytes() + length <= IN_QUEUE_SIZE) {
        queue_append(bytes, length);
        if (transport_mode() != MODE_STOPPED) {
            platform_wake_waiter();
        }
    }
}

int midi_in_read_byte(uint8_t& byte) {
    MidiInQueue& q = g_midi_in_queue;
    uint32_t r = q.read.load(std::memory_order_relaxed);
    if (r == q.written.load(std::memory_order_acquire)) {
        return 1;
    }
    byte = q.bytes[r % IN_QUEUE_SIZE];
    q.read.store(r + 1, std::memory_order_release);
    return 0;
}
