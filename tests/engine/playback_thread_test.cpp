// The playback thread with the real clock: the window timer hands playback to the thread,
// input arrives from another thread meanwhile, and the thread ends by itself at the stop.
// Only order and content are checked here; timing is measured by the engine benchmark.
#include "tests/engine/engine_fixture.h"

#include "platform/midi.h"

#include <thread>

namespace {

class PlaybackThread : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        g_headless.clock_driven = false;
    }
    // Runs the window timer every 20 ms until the transport stops (or 5 s pass).
    void run_timer_until_stopped() {
        for (int i = 0; i < 250 && transport_mode() != MODE_STOPPED; i++) {
            engine_timer_tick();
            platform_sleep_ms(20);
        }
        playback_thread_join();
    }
};

TEST_F(PlaybackThread, TimerStartsTheThreadWhichPlaysToTheEndAndStops) {
    load_song({concat({ev(0, {0x90, 60, 100}), ev(240, {0x80, 60, 0}), ev(0, {0x90, 62, 100}),
                       ev(240, {0x80, 62, 0}), end_of_track(0)})});
    transport_start();
    engine_timer_tick();
    EXPECT_TRUE(g_transport.thread_running.load() || transport_mode() == MODE_STOPPED);
    run_timer_until_stopped();
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_FALSE(g_transport.thread_running.load());
    EXPECT_EQ(g_transport.thread, nullptr);
    std::vector<Bytes> got = sent(true);
    std::vector<Bytes> notes;
    for (const Bytes& b : got) {
        if (b[0] != 0xF8) {
            notes.push_back(b);
        }
    }
    EXPECT_EQ(notes, (std::vector<Bytes>{
                         {0x90, 60, 100}, {0x80, 60, 0}, {0x90, 62, 100}, {0x80, 62, 0}, {0xFC}}));
}

TEST_F(PlaybackThread, InputFromAnotherThreadIsPassedThruInOrderWhilePlaying) {
    load_song({end_of_track(960)}); // one second at 120 BPM
    transport_start();
    engine_timer_tick();
    constexpr int MESSAGES = 3000;
    std::thread feeder([] {
        for (int i = 0; i < MESSAGES; i++) {
            uint32_t packed =
                0xE1u | static_cast<uint32_t>(i % 128) << 8 | static_cast<uint32_t>(i / 128) << 16;
            headless_midi_feed_short(packed);
            if (i % 100 == 0) {
                platform_sleep_ms(1);
            }
        }
    });
    feeder.join();
    run_timer_until_stopped();
    std::vector<Bytes> thru;
    for (const Bytes& b : sent()) {
        if (b[0] == 0xE1) {
            thru.push_back(b);
        }
    }
    ASSERT_EQ(thru.size(), static_cast<size_t>(MESSAGES));
    for (int i = 0; i < MESSAGES; i++) {
        ASSERT_EQ(thru[i],
                  (Bytes{0xE1, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(i / 128)}))
            << i;
    }
}

TEST_F(PlaybackThread, AlsaPortsOpenOrTheProgramRunsSilently) {
    if (!platform_select_midi("alsa")) {
        GTEST_SKIP() << "built without the ALSA MIDI ports";
    }
    engine_devices_close();
    engine_devices_open();
    EXPECT_EQ(g_midi_devices.out_port_count, platform_midi_out_count());
    EXPECT_LE(g_midi_devices.out_port_count, MAX_OUT_PORTS);
    uint8_t note[3] = {0x90, 60, 0};
    midi_send(note, 3);
    engine_devices_close();
    ASSERT_TRUE(platform_select_midi("headless"));
}

} // namespace
