// Virtual MIDI ports of the headless backend: output ports record every message with a
// monotonic timestamp, input is fed by tests.
#pragma once
#include "platform/midi.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct HeadlessMidiMessage {
    int device;                 // MIDI_MAPPER_DEVICE for the mapper
    std::vector<uint8_t> bytes; // as sent
    uint32_t tick_ms;           // platform clock at the send (driven or real)
    uint64_t steady_ns;         // monotonic real time of the send
};

// Set up by tests before the ports open; the recorded part is written by whichever thread
// sends (window or playback) and read by tests, all under `lock`.
struct HeadlessMidiState {
    // Set up before the ports are opened.
    std::vector<std::string> out_names;
    bool mapper = false;
    std::vector<int> out_open_fails; // devices whose opening fails
    std::vector<std::string> in_names;
    int in_open_result = 0;
    // A long message stays unfinished for this many polls of its done flag.
    int long_busy_polls = 0;
    // Recorded; guarded by `lock` because the playback thread sends while tests read.
    std::mutex lock;
    std::vector<HeadlessMidiMessage> sent;
    std::vector<int> closed;
    int in_open_device = -2; // -2 when input is closed
    MidiInCallbacks in_callbacks{};
    int long_busy_left = 0;
};

extern HeadlessMidiState g_headless_midi;
// Assigns the members under the lock, as the record holds the mutex itself.
void headless_midi_reset();
// Feeds received input as the system would deliver it; nothing happens while input is closed.
void headless_midi_feed_short(uint32_t packed);
void headless_midi_feed_long(const uint8_t* bytes, uint32_t length);
// A copy of the recorded messages (taken under the lock).
std::vector<HeadlessMidiMessage> headless_midi_sent();
// A copy of the messages recorded from index `first` on: a log that follows a long run reads
// only what is new instead of copying everything each millisecond.
std::vector<HeadlessMidiMessage> headless_midi_sent_since(size_t first);
void headless_midi_clear_sent();
