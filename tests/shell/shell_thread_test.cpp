// The window thread's timer and the playback thread's frames side by side, as in a real run
// (run under ThreadSanitizer by `make tsan`).
#include "tests/shell/shell_fixture.h"

#include "platform/midi.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"

namespace {

class ShellThreads : public ShellFixture {
protected:
    // Starts a song of a 240 beats-a-minute conductor track and one track of events on real
    // time: the playback thread runs the frames, this thread plays the window.
    void start_playing(const Bytes& events) {
        std::vector<Bytes> tracks = {concat({tempo_event(0, 250000), end_of_track(7680)}),
                                     concat({events, end_of_track()})};
        write_file_bytes(dir.file("song.mid"), smf_file(1, 480, tracks));
        g_headless.clock_driven = false;
        g_shell.frames_follow_clock = false;
        start(dir.file("song.mid"));
        ASSERT_EQ(transport_mode(), MODE_PLAYING);
    }
};

TEST_F(ShellThreads, TimerRefreshesWhileThePlaybackThreadRunsFrames) {
    Bytes notes;
    for (int i = 0; i < 64; i++) {
        notes = concat({notes, ev(i == 0 ? 0 : 60, {0x90, 60, 100}), ev(60, {0x80, 60, 0})});
    }
    start_playing(notes);
    // Input and timer ticks on this thread while the music runs on the other.
    for (int tick = 0; tick < 40 && transport_mode() == MODE_PLAYING; tick++) {
        SHELL_WINDOW_HANDLERS.timer();
        SHELL_WINDOW_HANDLERS.mouse_move(100 + tick, 200);
        SHELL_WINDOW_HANDLERS.key(88, tick % 2 == 0);
        platform_sleep_ms(20);
    }
    EXPECT_TRUE(g_transport.thread_running.load() || transport_mode() == MODE_STOPPED);
    SHELL_WINDOW_HANDLERS.key(32, true); // Space while playing: seen by the next frame
    for (int tick = 0; tick < 50 && transport_mode() != MODE_STOPPED; tick++) {
        SHELL_WINDOW_HANDLERS.timer();
        platform_sleep_ms(20);
    }
    SHELL_WINDOW_HANDLERS.key(32, false);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    playback_thread_join();
    EXPECT_GT(sent().size(), 4u);
    EXPECT_GT(g_engine_display.measure.load() * 1000 + g_engine_display.beat.load(), 1001);
}

TEST_F(ShellThreads, ControllerSliderTakesItsValueWhileTheSongSendsThatController) {
    // Volume (controller 7) on channel 1 every 30 ticks, at 240 beats a minute.
    Bytes events;
    for (int i = 0; i < 256; i++) {
        events = concat({events, ev(i == 0 ? 0 : 30, {0xB0, 7, static_cast<uint8_t>(i % 128)})});
    }
    start_playing(events);
    g_settings.slots[SLOT_EXCHANGE_TARGET] = 7;
    g_settings.slots[SLOT_OUT_CHANNEL] = 0;
    auto ticks = [](int count) {
        for (int i = 0; i < count; i++) {
            SHELL_WINDOW_HANDLERS.timer();
            platform_sleep_ms(20);
        }
    };
    SHELL_WINDOW_HANDLERS.mouse_move(536, 440); // the slider panel's mode cell
    int controller_shown = 0;
    // Tempo -> pitch bend -> controller, a few times over, as the frames see the clicks.
    for (int click = 0; click < 6 && transport_mode() == MODE_PLAYING; click++) {
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, true);
        ticks(3);
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, false);
        ticks(3);
        if (g_ui.lower_panel_mode.load() == LOWER_CONTROLLER) {
            controller_shown++;
        }
    }
    EXPECT_GE(controller_shown, 1);
    g_transport.transport_mode.store(MODE_STOPPED);
    playback_thread_join();
    // Stopped: into controller mode once more; the slider takes the volume last sent.
    auto click_stopped = [&ticks]() {
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, true);
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, false);
        ticks(1); // its frame sees the release
    };
    for (int i = 0; i < 3 && g_ui.lower_panel_mode.load() != LOWER_PITCH_BEND; i++) {
        click_stopped();
    }
    g_channel_state.controller_values[0][7] = 77;
    click_stopped();
    ticks(1);
    EXPECT_EQ(g_ui.lower_panel_mode.load(), LOWER_CONTROLLER);
    EXPECT_EQ(g_ui.slider_value.load(), 77);
    EXPECT_EQ(g_headless_window.warp_x, 496 + 77);
}

} // namespace
