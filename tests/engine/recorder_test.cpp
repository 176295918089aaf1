// Recording: real time and step by step, exclusive messages with their length fix-up, the
// song's track count and end, and what a stop leaves behind.
#include "tests/engine/engine_fixture.h"

#include <map>
#include <random>

namespace {

class Recording : public EngineFixture {
protected:
    // A song whose track 1 holds 4/4 and ends after `measures` measures; track 2 records.
    void load_measures(int measures) {
        load_song({concat(
            {time_signature(0, 4, 2), end_of_track(static_cast<uint32_t>(1920 * measures))})});
        g_song.write_track = 1;
    }
    void play_in(std::initializer_list<uint8_t> message) {
        feed(message);
        run_frames(1);
    }
    Bytes track_events(int track) const { return track_data(0, track); }
};

TEST_F(Recording, RealTimeRecordingStartsWithTheFirstNoteAndReplacesTheTrack) {
    load_measures(4);
    record_standby();
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
    play_in({0xB0, 7, 100}); // a controller does not start the recording
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
    run_ms(300); // waiting costs nothing
    play_in({0x90, 60, 100});
    EXPECT_EQ(transport_mode(), MODE_RECORDING);
    run_ms(500);
    play_in({0x80, 60, 64});
    run_ms(500);
    play_in({0xE1, 0, 80});
    transport_stop(false);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(track_events(1), (Bytes{0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 64, 0x83, 0x60,
                                      0xE1, 0, 80, 0x00, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(g_song.track_count, 2);
    EXPECT_TRUE(g_song.song_modified_mask & 1);
}

TEST_F(Recording, ArmedRecordingStartsAtTheStartMeasure) {
    load_measures(4);
    measure_move(2);
    record_standby();
    run_ms(100);
    play_in({0x90, 60, 100});
    run_ms(10);
    play_in({0x90, 60, 0});
    transport_stop(false);
    // Delta 3840 is EE 00.
    Bytes got = track_events(1);
    ASSERT_GE(got.size(), 6u);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 5), (Bytes{0x9E, 0x00, 0x90, 60, 100}));
    EXPECT_EQ(g_song_clock.current_measure, 2); // back at the measure where it began
}

TEST_F(Recording, RecordingBeyondTheTracksAndTheEndGrowsTheSong) {
    load_song({concat({time_signature(0, 4, 2), end_of_track(1920)}), end_of_track(0)});
    ASSERT_EQ(g_song.track_count, 2);
    g_song.write_track = 4;
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(3000); // 2880 ticks: past the song's end at 1920
    play_in({0x80, 60, 0});
    transport_stop(false);
    EXPECT_EQ(g_song.track_count, 5);
    EXPECT_EQ(slot_header_track_count(0), 5);
    EXPECT_EQ(track_end_tick(0, 0), 2880);
    EXPECT_EQ(g_song.measure_table.song_end_tick, 2880);
}

TEST_F(Recording, RecordingIntoTrackOneStoppedEarlyStillEndsAtTheSongsEnd) {
    load_measures(4);
    g_song.write_track = 0;
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(100);
    play_in({0x80, 60, 0});
    transport_stop(false);
    EXPECT_EQ(track_end_tick(0, 0), 7680);
}

TEST_F(Recording, StepRecordingChordsPedalAndRests) {
    load_measures(4);
    g_transport.step_recording = true;
    record_standby();
    play_in({0x90, 60, 100}); // armed step recording waits for the play button
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
    transport_start();
    ASSERT_EQ(transport_mode(), MODE_RECORDING);
    run_ms(1000); // the clock does not move the position
    EXPECT_EQ(g_song_clock.song_tick, 0);
    for (uint8_t key : {60, 64, 67}) {
        play_in({0x90, key, 100});
    }
    for (uint8_t key : {60, 64, 67}) {
        play_in({0x80, key, 64});
    }
    EXPECT_EQ(g_song_clock.song_tick, 480);
    play_in({0x90, 62, 100});
    play_in({0x90, 65, 100});
    play_in({0xB0, 64, 127}); // pedal with keys held: one step longer
    play_in({0x80, 62, 64});
    play_in({0x80, 65, 64});
    EXPECT_EQ(g_song_clock.song_tick, 480 + 960);
    play_in({0xB0, 64, 0});
    play_in({0xB0, 64, 127}); // pedal alone: a rest of one step
    EXPECT_EQ(g_song_clock.song_tick, 480 + 960 + 480);
    g_headless.keys_down[0x11] = true; // Ctrl held: nothing recorded
    play_in({0x90, 70, 100});
    g_headless.keys_down[0x11] = false;
    transport_stop(false);
    Bytes want = {0x00, 0x90, 60, 100, 0x00, 0x90, 64, 100, 0x00, 0x90, 67, 100, 0x83, 0x30, 0x80,
                  60, 64, 0x00, 0x80, 64, 64, 0x00, 0x80, 67, 64, 0x30, 0x90, 62, 100, 0x00, 0x90,
                  65, 100, 0x86, 0x60, 0x80, 62, 64, 0x00, 0x80, 65, 64,
                  // The end: the rests of the lengthened chord (96) and of the pedal (480).
                  0x84, 0x40, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(track_events(1), want);
}

TEST_F(Recording, KeysAndPedalStillDownAtTheStopEndAtTheStopTick) {
    load_measures(4);
    record_standby();
    play_in({0x90, 60, 100}); // held to the stop
    play_in({0xB0, 64, 127}); // pedal held to the stop
    run_ms(500);
    play_in({0x91, 62, 100}); // released before the stop: ended once
    run_ms(500);
    play_in({0x81, 62, 64});
    play_in({0x91, 67, 90}); // struck twice, held to the stop
    play_in({0x91, 67, 90});
    play_in({0xB1, 64, 127}); // a pedal let go before the stop stays up
    play_in({0xB1, 64, 0});
    run_ms(500);
    transport_stop(false);
    int32_t end_tick = -1;
    std::vector<Flat> got = flatten(g_song.slots[0].track_pos[1], &end_tick);
    std::vector<Flat> want = {{0, {0x90, 60, 100}},   {0, {0xB0, 64, 127}},  {480, {0x91, 62, 100}},
                              {960, {0x81, 62, 64}},  {960, {0x91, 67, 90}}, {960, {0x91, 67, 90}},
                              {960, {0xB1, 64, 127}}, {960, {0xB1, 64, 0}},  {1440, {0x90, 60, 0}},
                              {1440, {0x91, 67, 0}},  {1440, {0x91, 67, 0}}, {1440, {0xB0, 64, 0}}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(end_tick, 1440);
    EXPECT_TRUE(notes_paired(got));
}

TEST_F(Recording, KeysReleasedBeforeTheStopGetNoSecondEnd) {
    load_measures(4);
    record_standby();
    play_in({0x90, 60, 100});
    play_in({0x90, 64, 100});
    run_ms(500);
    play_in({0x80, 60, 0});
    play_in({0x90, 64, 0}); // a note-on of velocity 0 ends the key as well
    play_in({0xB0, 64, 127});
    play_in({0xB0, 64, 0});
    run_ms(500);
    transport_stop(false);
    EXPECT_EQ(track_events(1), (Bytes{0x00, 0x90, 60,   100,  0x00, 0x90, 64,   100,  0x83, 0x60,
                                      0x80, 60,   0,    0x00, 0x90, 64,   0,    0x00, 0xB0, 64,
                                      127,  0x00, 0xB0, 64,   0,    0x83, 0x60, 0xFF, 0x2F, 0x00}));
}

TEST_F(Recording, ExclusiveMessageIsWrittenWithItsLengthFixedUp) {
    load_measures(4);
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(10);
    Bytes sysex = {0xF0};
    for (int i = 0; i < 299; i++) {
        sysex.push_back(static_cast<uint8_t>(i % 128));
    }
    sysex.push_back(0xF7);
    feed_long(sysex);
    run_frames(1);
    play_in({0x80, 60, 0});
    transport_stop(false);
    Bytes got = track_events(1);
    Bytes want = {0x00, 0x90, 60, 100, 0x09, 0xF0, 0x82, 0x2C};
    want.insert(want.end(), sysex.begin() + 1, sysex.end());
    want.insert(want.end(), {0x00, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(got, want);
}

TEST_F(Recording, FullStopLosesTheRecordingAndGivesItsSpaceBack) {
    load_measures(4);
    Bytes before = track_events(1);
    uint32_t end_before = g_song.arena_end;
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(100);
    play_in({0x80, 60, 0});
    ASSERT_GT(g_song.arena_end, end_before);
    play_in({0xFC}); // MIDI stop
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(track_events(1), before);
    EXPECT_EQ(g_song.arena_end, end_before);
}

TEST_F(Recording, FullArenaStopsTheRecordingAndKeepsTheTrack) {
    load_measures(4);
    play_in({0xC0, 1}); // stopped: nothing recorded
    Bytes before = track_events(1);
    uint32_t end_before = g_song.arena_end;
    limit_at_free(8 + 4 + 3); // the chunk header and one event fit
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(10);
    play_in({0x90, 62, 100}); // does not fit: out of memory
    EXPECT_EQ(out_of_memory_shown(), 1);
    play_in({0x90, 64, 100}); // the next event stops the recording
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(track_events(1), before);
    EXPECT_EQ(g_song.arena_end, end_before);
    EXPECT_FALSE(g_song.memory_over);
}

TEST_F(Recording, StopButtonAfterTheArenaRanFullKeepsTheTrackIntact) {
    load_measures(4);
    Bytes before = track_events(1);
    uint32_t end_before = g_song.arena_end;
    limit_at_free(8 + 4 + 3 + 2);
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(10);
    feed_long(Bytes{0xF0, 1, 2, 3, 4, 5, 6, 0xF7}); // cut at the limit
    run_frames(1);
    transport_stop(false);
    EXPECT_EQ(track_events(1), before);
    EXPECT_EQ(g_song.arena_end, end_before);
    EXPECT_EQ(last_status(), "memory over");
}

} // namespace

namespace {

TEST_F(Recording, StopWithAnExclusiveMessageStillOpenWritesItWhole) {
    load_measures(4);
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(10);
    feed_long(Bytes{0xF0, 0x41, 0x10, 0x42}); // the end never comes
    run_frames(1);
    transport_stop(false);
    // The message is closed as if F7 had come: length 4 (three data bytes and F7); the key
    // still down ends behind it.
    EXPECT_EQ(track_events(1), (Bytes{0x00, 0x90, 60, 100, 0x09, 0xF0, 0x04, 0x41, 0x10, 0x42, 0xF7,
                                      0x00, 0x90, 60, 0, 0x00, 0xFF, 0x2F, 0x00}));
    EXPECT_FALSE(g_input.in_sysex);
}

TEST_F(Recording, RunningStatusAfterAStopCausedByTheFullArenaIsTakenSafely) {
    load_measures(4);
    limit_at_free(8 + 4 + 3);
    record_standby();
    play_in({0x90, 60, 100});
    run_ms(10);
    play_in({0x90, 61, 100}); // does not fit: out of memory
    // The next note stops the recording, which drains the queue while this message is
    // handled: the running-status bytes behind it must start a message of their own.
    feed({0x90, 62, 100});
    feed({64, 100});
    run_frames(1);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(g_input.in_count, 0);
}

} // namespace

namespace {

class FullStop : public Recording {
protected:
    // Plays from the current measure until the song's end stops it fully.
    void play_to_end() {
        transport_start();
        ASSERT_EQ(transport_mode(), MODE_PLAYING);
        for (int ms = 0; ms < 60000 && transport_mode() == MODE_PLAYING; ms++) {
            run_ms(1);
        }
        ASSERT_EQ(transport_mode(), MODE_STOPPED);
    }
    // Records a note from measure `measure` (0-based) and leaves recording.
    void record_from(int measure, bool full_stop) {
        measure_move(measure);
        record_standby();
        play_in({0x90, 60, 100});
        ASSERT_EQ(transport_mode(), MODE_RECORDING);
        run_ms(100);
        play_in({0x80, 60, 0});
        if (full_stop) {
            play_in({0xFC}); // MIDI stop
        } else {
            transport_stop(false);
        }
        ASSERT_EQ(transport_mode(), MODE_STOPPED);
    }
};

TEST_F(FullStop, AfterPlaybackTheSongGoesBackToWhereThatPlaybackStarted) {
    load_measures(8);
    measure_move(3);
    play_to_end();
    EXPECT_EQ(g_song_clock.current_measure, 3);
    // A recording in between: its full stop goes to its own start...
    record_from(1, true);
    EXPECT_EQ(g_song_clock.current_measure, 1);
    // ...and the playbacks after it to theirs.
    measure_move(5);
    play_to_end();
    EXPECT_EQ(g_song_clock.current_measure, 5);
    to_top();
    play_to_end();
    EXPECT_EQ(g_song_clock.current_measure, 0);
    // A playback paused and then stopped fully goes back to where it started, not to where it
    // was paused.
    measure_move(6);
    transport_start();
    run_ms(1200);
    transport_stop(false);
    EXPECT_EQ(g_song_clock.current_measure, 6);
    run_ms(1200); // paused: the position stays
    play_in({0xFC});
    EXPECT_EQ(g_song_clock.current_measure, 6);
}

TEST_F(FullStop, AfterRecordingTheSongGoesToTheRecordingsStartButLaterPlaybacksDoNot) {
    load_measures(8);
    record_from(2, false);
    EXPECT_EQ(g_song_clock.current_measure, 2);
    measure_move(4);
    play_to_end();
    EXPECT_EQ(g_song_clock.current_measure, 4);
    record_from(3, true);
    EXPECT_EQ(g_song_clock.current_measure, 3);
    // A fast-forward while playing starts a new run where it lets go.
    to_top();
    transport_start();
    run_ms(100);
    fast_forward(WindPhase::press);
    fast_forward(WindPhase::hold);
    fast_forward(WindPhase::release);
    ASSERT_EQ(transport_mode(), MODE_PLAYING);
    for (int ms = 0; ms < 60000 && transport_mode() == MODE_PLAYING; ms++) {
        run_ms(1);
    }
    EXPECT_EQ(g_song_clock.current_measure, 1);
    // Record standby given up with a full stop stays where it was armed.
    measure_move(7);
    record_standby();
    play_in({0xFC});
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(g_song_clock.current_measure, 7);
}

} // namespace

namespace {

// Step recording at step 480 with gate 90 % (gate 432, rest 48), into track 2.
class StepEntry : public Recording {
protected:
    void SetUp() override {
        Recording::SetUp();
        load_measures(8);
        g_transport.step_recording = true;
        record_standby();
        transport_start();
    }
    void ctrl(bool down) { g_headless.keys_down[0x11] = down; }
    std::vector<Flat> stop_and_read(int32_t* end_tick = nullptr) {
        transport_stop(false);
        return flatten(g_song.slots[0].track_pos[1], end_tick);
    }
    // The track's data is exactly its events with their deltas and one end of track.
    static ::testing::AssertionResult
    track_well_formed(const Bytes& data, const std::vector<Flat>& events, int32_t end_tick) {
        Bytes rebuilt;
        int32_t tick = 0;
        auto delta = [&](int32_t at) {
            uint32_t value = static_cast<uint32_t>(at - tick);
            uint8_t groups[5];
            int n = 0;
            do {
                groups[n++] = value & 0x7F;
                value >>= 7;
            } while (value != 0);
            for (int i = n - 1; i >= 0; i--) {
                rebuilt.push_back(static_cast<uint8_t>(groups[i] | (i > 0 ? 0x80 : 0)));
            }
            tick = at;
        };
        for (const Flat& e : events) {
            if (e.tick < tick) {
                return ::testing::AssertionFailure() << "tick " << e.tick << " after " << tick;
            }
            delta(e.tick);
            rebuilt.insert(rebuilt.end(), e.bytes.begin(), e.bytes.end());
        }
        delta(end_tick);
        rebuilt.insert(rebuilt.end(), {0xFF, 0x2F, 0x00});
        if (rebuilt != data) {
            return ::testing::AssertionFailure() << "the chunk holds more than its events";
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(StepEntry, PedalPressedTwiceWhileAKeyIsHeldMakesItThreeStepsLong) {
    ASSERT_EQ(transport_mode(), MODE_RECORDING);
    play_in({0x90, 60, 100});
    play_in({0xB0, 64, 127});
    play_in({0xB0, 64, 0});
    play_in({0xB0, 64, 127});
    play_in({0x80, 60, 64});
    EXPECT_EQ(g_song_clock.song_tick, 1440); // gate 432 x 3 and rest 48 x 3
    play_in({0xB0, 64, 0});
    play_in({0x90, 62, 100}); // the multiplier is back to 1
    play_in({0x80, 62, 64});
    EXPECT_EQ(g_song_clock.song_tick, 1920);
    int32_t end = 0;
    std::vector<Flat> want = {{0, {0x90, 60, 100}},
                              {1296, {0x80, 60, 64}},
                              {1440, {0x90, 62, 100}},
                              {1872, {0x80, 62, 64}}};
    EXPECT_EQ(stop_and_read(&end), want); // the pedal itself is not written
    EXPECT_EQ(end, 1920);
}

TEST_F(StepEntry, CtrlPlaysWithoutRecordingButNeverCutsOffAWrittenNote) {
    play_in({0x90, 60, 100});
    ctrl(true);
    play_in({0x90, 72, 100}); // played with Ctrl held: not written
    play_in({0x80, 60, 64});  // written before Ctrl went down: ends after its gate
    EXPECT_EQ(g_song_clock.song_tick, 480);
    ctrl(false);
    play_in({0x80, 72, 64}); // its note-on was never written: no end, no step
    EXPECT_EQ(g_song_clock.song_tick, 480);
    play_in({0x90, 64, 100});
    play_in({0x80, 64, 64});
    std::vector<Flat> want = {
        {0, {0x90, 60, 100}}, {432, {0x80, 60, 64}}, {480, {0x90, 64, 100}}, {912, {0x80, 64, 64}}};
    std::vector<Flat> got = stop_and_read();
    EXPECT_EQ(got, want);
    EXPECT_TRUE(notes_paired(got));
}

TEST_F(StepEntry, KeysHeldAtTheStopEndAfterTheirGate) {
    play_in({0x90, 60, 100});
    play_in({0x80, 60, 64});
    play_in({0x90, 64, 100}); // a chord held down at the stop
    play_in({0x90, 67, 100});
    play_in({0xB0, 64, 127}); // and lengthened by the pedal
    int32_t end = 0;
    std::vector<Flat> got = stop_and_read(&end);
    std::vector<Flat> want = {{0, {0x90, 60, 100}},   {432, {0x80, 60, 64}}, {480, {0x90, 64, 100}},
                              {480, {0x90, 67, 100}}, {1344, {0x90, 64, 0}}, {1344, {0x90, 67, 0}}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(end, 1440);
    EXPECT_TRUE(notes_paired(got));
}

// Random keys, pedal and Ctrl in step recording, stopped with whatever is still down: the
// track is well formed, every note ends at least one gate after it began, and the position
// only moves forward.
TEST_F(StepEntry, RandomKeysAndPedalAlwaysLeaveAWellFormedTrackOfWholeNotes) {
    for (uint32_t seed = 1; seed <= 60; seed++) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        bool down[12] = {};
        bool pedal = false;
        for (int step = 0; step < 80; step++) {
            int32_t before = g_song_clock.song_tick;
            int what = static_cast<int>(random() % 10);
            int key = static_cast<int>(random() % 12);
            if (what < 6) {
                uint8_t note = static_cast<uint8_t>(60 + key);
                if (down[key]) {
                    play_in({static_cast<uint8_t>(random() % 2 ? 0x80 : 0x90), note,
                             static_cast<uint8_t>(random() % 2 ? 64 : 0)});
                } else {
                    play_in({0x90, note, 100});
                }
                down[key] = !down[key];
            } else if (what < 9) {
                pedal = !pedal;
                play_in({0xB0, 64, static_cast<uint8_t>(pedal ? 127 : 0)});
            } else {
                ctrl(!g_headless.keys_down[0x11]);
            }
            ASSERT_GE(g_song_clock.song_tick, before);
        }
        ctrl(false);
        int32_t end = 0;
        std::vector<Flat> got = stop_and_read(&end);
        EXPECT_TRUE(notes_paired(got));
        EXPECT_TRUE(track_well_formed(track_events(1), got, end));
        std::map<int, int32_t> began;
        for (const Flat& e : got) {
            ASSERT_EQ(e.bytes.size(), 3u); // notes only
            if ((e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0) {
                began[e.bytes[1]] = e.tick;
            } else {
                EXPECT_GE(e.tick - began[e.bytes[1]], 432) << "key " << +e.bytes[1];
            }
        }
        // The next round records afresh from the start.
        g_transport.step_recording = true;
        record_standby();
        transport_start();
        ASSERT_EQ(transport_mode(), MODE_RECORDING);
    }
}

} // namespace
