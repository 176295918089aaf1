// Playback with a driven clock: tick arithmetic, tempo, dispatch order, long messages,
// transport operations, external clock, baton, metronome and MIDI clock output.
#include "tests/engine/engine_fixture.h"

#include "sequencer/engine/engine_hooks.h"

#include <cmath>

namespace {

Bytes note_on(uint32_t delta, uint8_t key, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), key, 100});
}

class Playback : public EngineFixture {
protected:
    // The clock times (relative to the start) at which each message went out.
    std::vector<std::pair<uint32_t, Bytes>> timed(uint32_t start_ms) const {
        std::vector<std::pair<uint32_t, Bytes>> out;
        for (const HeadlessMidiMessage& m : sent_raw()) {
            if (m.bytes[0] < 0xF8) {
                out.push_back({m.tick_ms - start_ms, m.bytes});
            }
        }
        return out;
    }
};

TEST_F(Playback, HalfASecondAt120BpmIsTick480AndEventsGoOutStrictlyAfterTheirTick) {
    load_song({concat({tempo_event(0, 500000), note_on(480, 60), end_of_track(480)})});
    transport_start();
    run_ms(500);
    EXPECT_EQ(g_song_clock.song_tick, 480);
    EXPECT_TRUE(sent().empty());
    run_ms(1); // 480.96 ticks: still not after 480
    EXPECT_TRUE(sent().empty());
    run_ms(1);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}}));
}

TEST_F(Playback, CursorsFollowATrackRebuiltWhileMusicRuns) {
    // Track 2 is rebuilt a quarter of a second in, with a name in front (as the track-name
    // dialog does): the notes still to come go out once each, at their times.
    Bytes notes = concat(
        {note_on(0, 60), note_on(240, 61), note_on(240, 62), note_on(240, 63), end_of_track(240)});
    load_song({concat({tempo_event(0, 500000), end_of_track(1920)}), notes});
    transport_start();
    run_ms(260);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}, {0x90, 61, 100}}));
    clear_sent();
    install(0, 1, concat({meta_text(0, 0x03, "Renamed"), notes}));
    play_cursors_follow_edit();
    run_ms(600);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 62, 100}, {0x90, 63, 100}}));
}

TEST_F(Playback, FileTempoPlaysExactlyAndShowsInWholeBeatsPerMinute) {
    struct Case {
        uint32_t usec;
        int shown_bpm;
        int32_t played_usec;
    };
    // 120, 120.5 and 87.3 BPM as they are; beyond 600 BPM (and 0) at 600.
    for (Case c : {Case{500000, 120, 500000}, Case{497925, 120, 497925}, Case{687285, 87, 687285},
                   Case{90000, 600, 100000}, Case{0, 600, 100000}}) {
        load_song({concat({tempo_event(0, 500000), tempo_event(10, c.usec), end_of_track(1920)})});
        transport_start();
        run_ms(30);
        EXPECT_EQ(g_song_clock.tempo_bpm, c.shown_bpm) << c.usec;
        EXPECT_EQ(g_song_clock.tempo_usec, c.played_usec) << c.usec;
        EXPECT_EQ(g_engine_display.tempo_bpm.load(), c.shown_bpm) << c.usec;
        transport_stop(true);
    }
    // A tempo set by hand is a whole BPM, stepped from the whole BPM shown.
    load_song({concat({tempo_event(0, 497925), end_of_track(1920)})});
    transport_start();
    run_ms(2);
    tempo_step(1);
    EXPECT_EQ(g_song_clock.tempo_bpm, 121);
    EXPECT_EQ(g_song_clock.tempo_usec, 60000000 / 121);
    tempo_step(-2);
    EXPECT_EQ(g_song_clock.tempo_usec, 60000000 / 119);
    transport_stop(true);
}

TEST_F(Playback, TempoChangeCountsFromItsTickWithoutAJump) {
    // 120 BPM for one beat, then 60 BPM: tick 480 at 500 ms, tick 960 at 1500 ms.
    load_song({concat(
        {tempo_event(0, 500000), tempo_event(480, 1000000), note_on(480, 62), end_of_track(480)})});
    transport_start();
    int32_t last = 0;
    uint32_t note_ms = 0;
    for (int ms = 1; ms <= 1600 && note_ms == 0; ms++) {
        run_ms(1);
        EXPECT_GE(g_song_clock.song_tick, last);
        EXPECT_LE(g_song_clock.song_tick - last, 2) << "jump at " << ms;
        last = g_song_clock.song_tick;
        if (!sent().empty()) {
            note_ms = static_cast<uint32_t>(ms);
        }
    }
    EXPECT_EQ(g_song_clock.tempo_bpm, 60);
    // Sent once the position passes 960: one tick at 60 BPM is about 2 ms.
    EXPECT_GE(note_ms, 1501u);
    EXPECT_LE(note_ms, 1504u);
}

TEST_F(Playback, SpeedFactorScalesTheTicksPlayedSinceTheStart) {
    load_song({concat({tempo_event(0, 500000), end_of_track(7680)})});
    speed_factor_set(2);
    transport_start();
    run_ms(500);
    EXPECT_EQ(g_song_clock.song_tick, 960);
    transport_stop(false);
    // From measure 3 (tick 3840) the factor applies to the ticks since that measure only.
    measure_move(2);
    transport_start();
    run_ms(500);
    EXPECT_EQ(g_song_clock.song_tick, 3840 + 960);
}

TEST_F(Playback, DueEventsGoOutTrackByTrackAndAllOfATracksEventsFirst) {
    load_song({concat({note_on(10, 60), note_on(0, 61), end_of_track(960)}),
               concat({note_on(10, 70), note_on(0, 71), end_of_track(0)})});
    transport_start();
    run_ms(50);
    EXPECT_EQ(sent(), (std::vector<Bytes>{
                          {0x90, 60, 100}, {0x90, 61, 100}, {0x90, 70, 100}, {0x90, 71, 100}}));
}

TEST_F(Playback, ExclusiveMessageHoldsEverythingUntilTheDriverIsDone) {
    Bytes gs_reset = {0xF0, 10, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    load_song({end_of_track(960), concat({Bytes{0x00}, gs_reset, note_on(0, 40), end_of_track(0)}),
               concat({note_on(0, 50), end_of_track(0)})});
    g_headless_midi.long_busy_polls = 3;
    transport_start();
    while (sent().empty() && g_song_clock.song_tick < 10) {
        run_ms(1);
    }
    std::vector<Bytes> got = sent();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].size(), 11u);
    EXPECT_EQ(got[0][0], 0xF0);
    run_frames(3); // still in flight
    EXPECT_EQ(sent().size(), 1u);
    run_frames(1);
    EXPECT_EQ(sent(), (std::vector<Bytes>{got[0], {0x90, 40, 100}, {0x90, 50, 100}}));
}

TEST_F(Playback, TrackOneEndStopsFullyButAnotherTracksEndDoesNot) {
    load_song(
        {concat({note_on(0, 60), end_of_track(960)}), concat({note_on(0, 62), end_of_track(10)})});
    transport_start();
    run_ms(100);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    run_ms(1000);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    std::vector<Bytes> got = sent(true);
    // The notes still sounding end (twice each), then MIDI stop.
    std::vector<Bytes> tail(got.end() - 5, got.end());
    EXPECT_EQ(tail, (std::vector<Bytes>{
                        {0x90, 60, 0}, {0x90, 60, 0}, {0x90, 62, 0}, {0x90, 62, 0}, {0xFC}}));
    EXPECT_EQ(g_song_clock.song_tick, 0);
    EXPECT_EQ(g_song_clock.current_measure, 0);
}

TEST_F(Playback, StopThenPlayContinuesAndTopStartsAgain) {
    load_song({concat({note_on(0, 60), note_on(480, 61), note_on(480, 62), end_of_track(480)})});
    transport_start();
    run_ms(600);
    transport_stop(false);
    EXPECT_TRUE(g_transport.paused);
    advance_clock(5000); // a long pause does not count
    clear_sent();
    transport_start();
    run_ms(500);
    std::vector<Bytes> got = sent(true);
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0], (Bytes{0xFB}));
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 62, 100}}));
    transport_stop(false);
    to_top();
    clear_sent();
    transport_start();
    run_ms(2);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}}));
    EXPECT_EQ(sent(true)[0], (Bytes{0xF8})); // no continue: a fresh start
}

TEST_F(Playback, ExternalMidiClockAdvancesOneClockPerStep) {
    g_settings.slots[SLOT_CLOCK_SOURCE] = CLOCK_MIDI;
    load_song({concat({note_on(0, 60), note_on(480, 61), end_of_track(960)})});
    transport_start();
    EXPECT_EQ(g_song_clock.song_tick, -20);
    feed({0xF8});
    feed({0xF8}); // two clocks between two steps count once
    run_frames(1);
    EXPECT_EQ(g_song_clock.song_tick, 0);
    for (int i = 0; i < 24; i++) {
        feed({0xF8});
        run_frames(1);
    }
    EXPECT_EQ(g_song_clock.song_tick, 480);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}}));
    feed({0xF8});
    run_frames(1);
    EXPECT_EQ(sent().back(), (Bytes{0x90, 61, 100}));
}

TEST_F(Playback, MouseBatonReversalsSetTempoAndAdvanceHalfABeat) {
    g_settings.slots[SLOT_CLOCK_SOURCE] = CLOCK_BATON;
    load_song({concat({end_of_track(9600)})});
    transport_start();
    EXPECT_EQ(g_song_clock.baton_ticks, -240);
    auto stroke = [&](int dy) {
        g_transport.mouse_y.fetch_add(dy);
        run_frames(1);
    };
    stroke(-3); // first upward movement notes the time
    advance_clock(250);
    stroke(4); // reversal: a mark
    EXPECT_EQ(g_song_clock.tempo_bpm, 120);
    EXPECT_EQ(g_song_clock.song_tick, 0);
    advance_clock(250);
    stroke(-4);
    EXPECT_EQ(g_song_clock.song_tick, 240);
    advance_clock(125);
    stroke(0); // no mark: the position runs on, but less than half a beat
    EXPECT_EQ(g_song_clock.song_tick, 240 + 120);
    advance_clock(1000);
    stroke(0);
    EXPECT_LT(g_song_clock.song_tick, 480);
}

TEST_F(Playback, MetronomeAccentsTheFirstBeatAndMidiClockGoesOutOncePerStep) {
    g_settings.slots[SLOT_METRONOME_ON] = 1;
    metronome_messages_build();
    load_song({concat({time_signature(0, 3, 2), end_of_track(4 * 1440)})});
    transport_start();
    run_ms(1600); // beats at 0, 500, 1000, 1500 ms
    std::vector<Bytes> clicks = sent();
    // The start sounds the accent; each beat first ends the click still sounding.
    std::vector<Bytes> want = {{0x99, 34, 100}, {0x89, 34, 0},   {0x99, 34, 100},
                               {0x89, 34, 0},   {0x99, 33, 100}, {0x89, 33, 0},
                               {0x99, 33, 100}, {0x89, 33, 0},   {0x99, 34, 100}};
    EXPECT_EQ(clicks, want);
    int clocks = 0;
    for (const Bytes& b : sent(true)) {
        clocks += b == Bytes{0xF8};
    }
    // One clock per 20 ticks: 1600 ms at 120 BPM is 1536 ticks, 77 clocks from tick 0.
    EXPECT_EQ(clocks, 77);
}

TEST_F(Playback, FastForwardAndRewindMoveByMeasuresAndRestartPlayback) {
    load_song({concat({note_on(0, 60), note_on(1920 * 4, 61), end_of_track(1920 * 8)})});
    transport_start();
    run_ms(100);
    fast_forward(WindPhase::press);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    for (int i = 0; i < 5; i++) {
        fast_forward(WindPhase::hold);
    }
    rewind(WindPhase::hold);
    EXPECT_EQ(g_song_clock.current_measure, 4);
    g_transport.alt_mode = true;
    rewind(WindPhase::hold); // 10 back would leave the song: only 1
    EXPECT_EQ(g_song_clock.current_measure, 3);
    g_transport.alt_mode = false;
    fast_forward(WindPhase::hold);
    clear_sent();
    fast_forward(WindPhase::release);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    EXPECT_EQ(g_song_clock.song_tick, 1920 * 4);
    run_ms(3);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 61, 100}}));
}

TEST_F(Playback, TenMinutesWith180TempoChangesEndWithinOneTickOfTheIdealEnd) {
    // 180 segments of 8 beats at tempos 61..240 BPM in a scrambled order.
    Bytes events;
    double ideal_ms = 0;
    for (int i = 0; i < 180; i++) {
        int bpm = 61 + (i * 97) % 180;
        events = concat({events, tempo_event(i == 0 ? 0 : 3840, 60000000u / bpm)});
        ideal_ms += 8 * 60000.0 / bpm;
    }
    events = concat({events, end_of_track(3840)});
    load_song({events});
    ASSERT_GT(ideal_ms, 9 * 60000.0);
    uint32_t start = g_headless.clock_ms;
    transport_start();
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < 20 * 60000) {
        run_ms(1);
    }
    double ended_ms = g_headless.clock_ms - start;
    // The stop comes on the first frame after the end tick: at most one tick (here at most
    // 2 ms at the last tempo) plus one frame after the ideal end.
    double last_tick_ms = 60000.0 / (61 + (179 * 97) % 180) / 480;
    EXPECT_GE(ended_ms, ideal_ms);
    EXPECT_LE(ended_ms - ideal_ms, last_tick_ms + 1.0);
}

} // namespace

namespace {

// Every message sent (MIDI clock included) with its time from the start.
std::vector<std::pair<uint32_t, Bytes>> all_timed(uint32_t start_ms) {
    std::vector<std::pair<uint32_t, Bytes>> out;
    for (const HeadlessMidiMessage& m : headless_midi_sent()) {
        out.push_back({m.tick_ms - start_ms, m.bytes});
    }
    return out;
}

// A run whose frames come only when frame_wait_ms says something is due.
void run_by_waits(uint32_t start_ms, uint32_t until_ms) {
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start_ms < until_ms) {
        g_headless.clock_ms += frame_wait_ms(8);
        frame_routine();
    }
}

TEST_F(Playback, WaitingUntilTheNextDueFrameSendsEverythingAtTheSameMillisecond) {
    std::vector<Bytes> tracks = {
        concat({tempo_event(0, 500000), time_signature(0, 3, 2), ev(0, {0x90, 60, 100}),
                ev(333, {0x80, 60, 0}), tempo_event(500, 461538), ev(7, {0x90, 62, 90}),
                ev(1000, {0x80, 62, 0}), tempo_event(10, 1200000), ev(77, {0xB0, 7, 80}),
                end_of_track(2000)}),
        concat(
            {ev(5, {0x91, 40, 100}), ev(1, {0x81, 40, 0}), ev(2879, {0xC1, 5}), end_of_track(0)}),
    };
    g_settings.slots[SLOT_METRONOME_ON] = 1;
    metronome_messages_build();
    load_song(tracks);
    uint32_t start = g_headless.clock_ms;
    transport_start();
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < 20000) {
        run_ms(1);
    }
    std::vector<std::pair<uint32_t, Bytes>> every_ms = all_timed(start);
    ASSERT_GT(every_ms.size(), 150u);

    load_song(tracks);
    start = g_headless.clock_ms;
    transport_start();
    run_by_waits(start, 20000);
    EXPECT_EQ(all_timed(start), every_ms);
}

TEST_F(Playback, FrameWaitStopsAtTheNextMidiClockAndOnQueuedInput) {
    load_song({concat({ev(480, {0x90, 60, 100}), end_of_track(960)})});
    transport_start();
    run_ms(1);
    // The next MIDI clock is due at run tick 20: 20.8 ms after the start.
    EXPECT_EQ(frame_wait_ms(1000), 20u);
    EXPECT_EQ(frame_wait_ms(8), 8u);
    feed({0x90, 64, 100}); // while playing the input waits in the queue for the next frame
    EXPECT_EQ(frame_wait_ms(1000), 1u);
    transport_stop(false);
    EXPECT_EQ(frame_wait_ms(1000), 1u);
}

} // namespace

namespace {

TEST_F(Playback, SpeedChangeWhilePlayingStartsTheSongAgainAtTheNewSpeed) {
    load_song({concat({tempo_event(0, 500000), ev(0, {0x90, 60, 100}), ev(960, {0x80, 60, 0}),
                       end_of_track(7680)})});
    speed_factor_set(2);
    transport_start();
    run_ms(500);
    EXPECT_EQ(g_song_clock.song_tick, 960);
    speed_factor_set(1);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    EXPECT_EQ(g_song_clock.song_tick, 0);
    clear_sent();
    run_ms(500);
    EXPECT_EQ(g_song_clock.song_tick, 480);
    // From the start again: the first note sounds anew.
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}}));
}

TEST_F(Playback, TempoAndSignatureReachTheDisplayRecord) {
    load_song({concat({tempo_event(0, 500000), time_signature(0, 3, 3), tempo_event(480, 1000000),
                       end_of_track(1920)})});
    EXPECT_EQ(g_engine_display.time_sig_num.load(), 3);
    EXPECT_EQ(g_engine_display.time_sig_den.load(), 8);
    transport_start();
    run_ms(600);
    EXPECT_EQ(g_engine_display.tempo_bpm.load(), 60);
    EXPECT_TRUE(g_engine_display.tempo_dirty.load());
}

} // namespace
