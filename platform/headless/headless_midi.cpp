// The headless backend's virtual MIDI ports.
#include "platform/headless/headless_midi.h"

#include "platform/midi_backend.h"
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cstring>

HeadlessMidiState g_headless_midi;

void headless_midi_reset() {
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    g_headless_midi.out_names.clear();
    g_headless_midi.mapper = false;
    g_headless_midi.out_open_fails.clear();
    g_headless_midi.in_names.clear();
    g_headless_midi.in_open_result = 0;
    g_headless_midi.long_busy_polls = 0;
    g_headless_midi.sent.clear();
    g_headless_midi.closed.clear();
    g_headless_midi.in_open_device = -2;
    g_headless_midi.in_callbacks = {};
    g_headless_midi.long_busy_left = 0;
}

void headless_midi_feed_short(uint32_t packed) {
    if (g_headless_midi.in_open_device != -2 && g_headless_midi.in_callbacks.short_message) {
        g_headless_midi.in_callbacks.short_message(packed);
    }
}

void headless_midi_feed_long(const uint8_t* bytes, uint32_t length) {
    if (g_headless_midi.in_open_device != -2 && g_headless_midi.in_callbacks.long_message) {
        g_headless_midi.in_callbacks.long_message(bytes, length);
    }
}

std::vector<HeadlessMidiMessage> headless_midi_sent() {
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    return g_headless_midi.sent;
}

std::vector<HeadlessMidiMessage> headless_midi_sent_since(size_t first) {
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    if (first >= g_headless_midi.sent.size()) {
        return {};
    }
    return {g_headless_midi.sent.begin() + static_cast<std::ptrdiff_t>(first),
            g_headless_midi.sent.end()};
}

void headless_midi_clear_sent() {
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    g_headless_midi.sent.clear();
}

namespace {

bool copy_name(const std::vector<std::string>& names, int device, char* out, size_t out_size) {
    if (device < 0 || device >= static_cast<int>(names.size()) || out_size == 0) {
        return false;
    }
    size_t n = std::min(names[device].size(), out_size - 1);
    memcpy(out, names[device].data(), n);
    out[n] = '\0';
    return true;
}

void record(int device, const uint8_t* bytes, uint32_t length) {
    uint64_t now = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count());
    uint32_t tick = platform_tick_ms();
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    g_headless_midi.sent.push_back(
        {device, std::vector<uint8_t>(bytes, bytes + length), tick, now});
}

int out_count() {
    return static_cast<int>(g_headless_midi.out_names.size());
}

bool out_name(int device, char* out, size_t out_size) {
    if (device == MIDI_MAPPER_DEVICE) {
        return copy_name({"MIDI Mapper"}, 0, out, out_size);
    }
    return copy_name(g_headless_midi.out_names, device, out, out_size);
}

bool mapper_available() {
    return g_headless_midi.mapper;
}

bool out_open(int device) {
    const std::vector<int>& fails = g_headless_midi.out_open_fails;
    return std::find(fails.begin(), fails.end(), device) == fails.end();
}

void out_short(int device, const uint8_t* bytes, int length) {
    record(device, bytes, static_cast<uint32_t>(length));
}

bool out_long(int device, const uint8_t* bytes, uint32_t length) {
    record(device, bytes, length);
    g_headless_midi.long_busy_left = g_headless_midi.long_busy_polls;
    return true;
}

bool out_long_done(int) {
    if (g_headless_midi.long_busy_left > 0) {
        g_headless_midi.long_busy_left--;
        return false;
    }
    return true;
}

void out_close(int device) {
    std::lock_guard<std::mutex> guard(g_headless_midi.lock);
    g_headless_midi.closed.push_back(device);
}

int in_count() {
    return static_cast<int>(g_headless_midi.in_names.size());
}

bool in_name(int device, char* out, size_t out_size) {
    return copy_name(g_headless_midi.in_names, device, out, out_size);
}

int in_open(int device, const MidiInCallbacks& callbacks) {
    if (g_headless_midi.in_open_result != 0) {
        return g_headless_midi.in_open_result;
    }
    g_headless_midi.in_open_device = device;
    g_headless_midi.in_callbacks = callbacks;
    return 0;
}

void in_close() {
    g_headless_midi.in_open_device = -2;
    g_headless_midi.in_callbacks = {};
}

} // namespace

const PlatformMidiBackend HEADLESS_MIDI = {
    .out_count = out_count,
    .out_name = out_name,
    .mapper_available = mapper_available,
    .out_open = out_open,
    .out_short = out_short,
    .out_long = out_long,
    .out_long_done = out_long_done,
    .out_close = out_close,
    .in_count = in_count,
    .in_name = in_name,
    .in_open = in_open,
    .in_close = in_close,
};
