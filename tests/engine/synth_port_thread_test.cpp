// The built-in synthesizer's port fed by the playback thread at full rate while another
// thread, standing in for the audio thread, renders: run under ThreadSanitizer by make tsan.
#include "tests/engine/engine_fixture.h"

#include "platform/midi.h"
#include "platform/synth.h"
#include "tests/support/dense_song.h"

#include <atomic>
#include <cstring>
#include <thread>

// FluidSynth decodes a compressed sound font on OpenMP threads while it loads; libgomp's own
// synchronisation is not instrumented, so ThreadSanitizer reports races inside the library
// there. After the load only one thread calls into FluidSynth, and this program's side of
// the hand-over (the ring) stays checked.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libfluidsynth.so\n";
}

namespace {

class SynthPortThread : public EngineFixture {
protected:
    void TearDown() override {
        EngineFixture::TearDown();
        platform_synth_stop();
    }
};

TEST_F(SynthPortThread, ThePlaybackThreadSendsWhileTheAudioThreadRenders) {
    engine_devices_close();
    SynthOptions options;
    options.mode = SynthMode::offline;
    if (platform_synth_start(options) != SynthStart::offline) {
        GTEST_SKIP() << "no synthesizer or no General MIDI sound font";
    }
    engine_devices_open();
    int synth_port = -1;
    for (int port = 0; port < g_midi_devices.out_port_count; port++) {
        if (strcmp(g_midi_devices.out_names[port], SYNTH_PORT_NAME) == 0) {
            synth_port = port;
        }
    }
    ASSERT_GE(synth_port, 0);
    g_midi_devices.port_map[0] = static_cast<uint8_t>(synth_port);
    // Sixteen channels of 32nd notes at 240 BPM for two beats: about 1000 messages a second.
    ASSERT_EQ(load_bytes(dense_song(2, 250000, 8)), SongLoadResult::loaded);
    position_reset();

    std::atomic<bool> playing{true};
    std::atomic<int> loudest{0};
    std::thread audio([&playing, &loudest] {
        int16_t period[64 * 2];
        while (playing.load()) {
            platform_synth_render(period, 64);
            for (int16_t s : period) {
                loudest.store(std::max(loudest.load(), s < 0 ? -s : static_cast<int>(s)));
            }
            platform_sleep_ms(1);
        }
    });
    g_headless.clock_driven = false;
    transport_start();
    for (int i = 0; i < 250 && transport_mode() != MODE_STOPPED; i++) {
        engine_timer_tick(); // the window timer's part: starts the playback thread
        platform_sleep_ms(20);
    }
    playback_thread_join();
    playing.store(false);
    audio.join();
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(platform_synth_dropped(), 0u);
    EXPECT_GT(loudest.load(), 1000);
}

} // namespace
