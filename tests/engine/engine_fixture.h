// Common start for engine tests: an empty sequencer store, the engine at its defaults, one
// virtual output port and one virtual input, and a clock the test drives.
#pragma once
#include "platform/headless/headless_midi.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "tests/support/song_fixture.h"

#include <vector>

class EngineFixture : public SongFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    void reset_all() override { engine_reset_all(); }
    // Opens the devices anew with `outputs` virtual output ports (plus the mapper when asked).
    void reopen_devices(int outputs, bool mapper = false);
    // Loads a format-1 song of the given track events (time base 480) and locates at its start.
    void load_song(const std::vector<Bytes>& tracks, uint16_t division = 480);
    // Moves the driven clock on by `ms`, one frame per millisecond.
    void run_ms(uint32_t ms);
    // Runs frames without moving the clock.
    void run_frames(int frames);
    void advance_clock(uint32_t ms) { g_headless.clock_ms += ms; }
    // Every message sent since the last clear, in order; real-time bytes are left out unless
    // asked for.
    std::vector<Bytes> sent(bool with_realtime = false) const;
    std::vector<HeadlessMidiMessage> sent_raw() const { return headless_midi_sent(); }
    void clear_sent() { headless_midi_clear_sent(); }
    // Feeds bytes as the input device would: whole short messages, or one long message.
    void feed(std::initializer_list<uint8_t> message);
    void feed_long(const Bytes& bytes);
};
