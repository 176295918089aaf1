// Long songs on the driven clock: a tempo map of hundreds of fractional tempos played for
// minutes, and a song longer than the measure table played from its last measure.
#include "tests/engine/engine_fixture.h"

#include "sequencer/engine/engine_hooks.h"

namespace {

constexpr int64_t TIME_BASE = 480;

struct TempoChange {
    int32_t tick;
    uint32_t usec;
};

// Time from the start to `tick` by the tempo map, in units of 1/(1000 * TIME_BASE) ms
// (microseconds times the time base), so that it is an exact integer.
int64_t map_units(const std::vector<TempoChange>& map, int32_t tick) {
    int64_t units = 0;
    for (size_t i = 0; i < map.size() && map[i].tick < tick; i++) {
        int32_t until = i + 1 < map.size() && map[i + 1].tick < tick ? map[i + 1].tick : tick;
        units += static_cast<int64_t>(until - map[i].tick) * map[i].usec;
    }
    return units;
}

// The engine sends an event in the first frame whose song_tick is strictly past the event's
// tick, and song_tick is the whole part of the position by the tempo map. With one frame per
// millisecond from 1 ms after the start of a run from `from_tick`, an event at tick T goes
// out at the first whole millisecond (at least 1) at which the tempo map has moved on from
// `from_tick` to T + 1. Played at the exact tempo with every remainder carried, that
// millisecond is met exactly; whole BPM, or any rounding that builds up, moves it.
uint32_t send_ms(const std::vector<TempoChange>& map, int32_t reached_tick, int32_t from_tick = 0) {
    int64_t per_ms = 1000 * TIME_BASE;
    int64_t units = map_units(map, reached_tick) - map_units(map, from_tick);
    int64_t ms = (units + per_ms - 1) / per_ms;
    return static_cast<uint32_t>(ms < 1 ? 1 : ms);
}

class LongSong : public EngineFixture {
protected:
    // Plays from the current position until the song stops itself (or `limit_ms` passes) and
    // returns the clock at the start.
    uint32_t play_to_end(uint32_t limit_ms) {
        uint32_t start = g_headless.clock_ms;
        transport_start();
        while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < limit_ms) {
            run_ms(1);
        }
        return start;
    }
};

TEST_F(LongSong, FractionalTempoMapPlaysEveryNoteAndMidiClockAtItsExactTime) {
    // 400 beats, each at a tempo of its own in tenths of a BPM between 100.0 and 139.9 (the
    // first three 120, 120.5 and 122.5 BPM): about three and a half minutes.
    std::vector<TempoChange> map;
    for (int beat = 0; beat < 400; beat++) {
        uint32_t usec = 600000000u / static_cast<uint32_t>(1000 + (beat * 37 + 200) % 400);
        if (beat < 3) {
            usec = std::vector<uint32_t>{500000, 497925, 489796}[static_cast<size_t>(beat)];
        }
        map.push_back({beat * 480, usec});
    }
    Bytes conductor;
    for (size_t i = 0; i < map.size(); i++) {
        conductor = concat({conductor, tempo_event(i == 0 ? 0 : 480, map[i].usec)});
    }
    conductor = concat({conductor, end_of_track(480)});
    // A note in the middle of every beat, on a track of its own, away from the tempo events
    // (a tempo takes effect from its tick once it is sent, one frame after that tick).
    Bytes notes;
    std::vector<int32_t> note_ticks;
    for (int beat = 0; beat < 400; beat++) {
        uint8_t key = static_cast<uint8_t>(beat % 128);
        notes =
            concat({notes, ev(beat == 0 ? 240 : 400, {0x90, key, 100}), ev(80, {0x80, key, 0})});
        note_ticks.push_back(beat * 480 + 240);
    }
    notes = concat({notes, end_of_track(0)});
    load_song({conductor, notes});
    uint32_t start = play_to_end(10 * 60000);
    ASSERT_EQ(transport_mode(), MODE_STOPPED);
    ASSERT_GT(send_ms(map, 400 * 480), 200000u);

    std::vector<uint32_t> note_ms;
    std::vector<uint32_t> clock_ms;
    for (const HeadlessMidiMessage& m : sent_raw()) {
        if (m.bytes[0] == 0x90 && m.bytes[2] != 0) {
            note_ms.push_back(m.tick_ms - start);
        } else if (m.bytes[0] == 0xF8) {
            clock_ms.push_back(m.tick_ms - start);
        }
    }
    ASSERT_EQ(note_ms.size(), note_ticks.size());
    for (size_t i = 0; i < note_ms.size(); i++) {
        EXPECT_EQ(note_ms[i], send_ms(map, note_ticks[i] + 1)) << "note " << i;
    }
    EXPECT_EQ(note_ms.back(), send_ms(map, note_ticks.back() + 1)) << "the last note";
    // MIDI clock n goes out once the position reaches 20 n ticks (time base 480 / 24).
    ASSERT_GE(clock_ms.size(), 400u * 24);
    for (size_t n = 0; n < 400 * 24; n++) {
        EXPECT_EQ(clock_ms[n], send_ms(map, static_cast<int32_t>(n * 20))) << "clock " << n;
    }

    // A playback loop that waits as long as frame_wait_ms allows sends the same at the same
    // milliseconds.
    std::vector<std::pair<uint32_t, Bytes>> every_ms;
    for (const HeadlessMidiMessage& m : sent_raw()) {
        every_ms.push_back({m.tick_ms - start, m.bytes});
    }
    load_song({conductor, notes});
    start = g_headless.clock_ms;
    transport_start();
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < 10 * 60000) {
        g_headless.clock_ms += frame_wait_ms(8);
        frame_routine();
    }
    std::vector<std::pair<uint32_t, Bytes>> by_waits;
    for (const HeadlessMidiMessage& m : sent_raw()) {
        by_waits.push_back({m.tick_ms - start, m.bytes});
    }
    EXPECT_EQ(by_waits, every_ms);
}

TEST_F(LongSong, RunFromAMeasureTakesTheExactTempoInForceThere) {
    // 122.5 BPM from the start, 87.3 BPM from inside the first measure: the third measure
    // (tick 3840) starts at 87.3 BPM.
    std::vector<TempoChange> map = {{0, 489796}, {960, 687285}};
    load_song({concat({tempo_event(0, 489796), tempo_event(960, 687285), ev(2880, {0x90, 60, 100}),
                       ev(1920, {0x90, 62, 100}), end_of_track(1920)})});
    measure_move(2);
    uint32_t start = g_headless.clock_ms;
    transport_start();
    EXPECT_EQ(g_song_clock.tempo_usec, 687285);
    EXPECT_EQ(g_song_clock.tempo_bpm, 87);
    EXPECT_EQ(g_engine_display.tempo_bpm.load(), 87);
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < 10000) {
        run_ms(1);
    }
    std::vector<uint32_t> note_ms;
    for (const HeadlessMidiMessage& m : sent_raw()) {
        if (m.bytes[0] == 0x90 && m.bytes[2] != 0) {
            note_ms.push_back(m.tick_ms - start);
        }
    }
    // The notes at the starts of the third and fourth measures, by the map from tick 3840.
    ASSERT_EQ(note_ms.size(), 2u);
    EXPECT_EQ(note_ms[0], send_ms(map, 3841, 3840));
    EXPECT_EQ(note_ms[1], send_ms(map, 5761, 3840));
}

TEST_F(LongSong, SongBeyondTheMeasureTablePlaysFromItsLastMeasure) {
    // 990 measures of 4/4 at 120 BPM, then 110 of 3/4 at 122.5 BPM: 1,100 measures, of which
    // the table holds the first 999. A note starts each of the 3/4 measures.
    const int32_t change = 990 * 1920;
    const int32_t last_entry_tick = change + 8 * 1440; // the table's last entry, index 998
    std::vector<TempoChange> map = {{0, 500000}, {change, 489796}};
    Bytes notes;
    for (int m = 990; m < 1100; m++) {
        uint32_t delta = static_cast<uint32_t>(m == 990 ? change : 1440);
        notes = concat({notes, ev(delta, {0x90, static_cast<uint8_t>(m % 128), 100})});
    }
    load_song({concat({time_signature(0, 4, 2), tempo_event(0, 500000),
                       time_signature(static_cast<uint32_t>(change), 3, 2), tempo_event(0, 489796),
                       end_of_track(110 * 1440)}),
               concat({notes, end_of_track(0)})});
    const MeasureTable& table = g_song.measure_table;
    ASSERT_EQ(table.last_measure, 999);
    ASSERT_EQ(table.measures[MAX_MEASURES - 1].start_tick, last_entry_tick);
    ASSERT_EQ(table.measures[MAX_MEASURES - 1].numerator, 3);

    // Record standby at the last measure locates at the table's last entry.
    measure_move(1500);
    EXPECT_EQ(g_song_clock.current_measure, 999);
    record_standby();
    EXPECT_EQ(g_song_clock.start_tick, last_entry_tick);
    EXPECT_EQ(g_song_clock.song_tick, last_entry_tick);
    transport_stop(false);
    ASSERT_EQ(transport_mode(), MODE_STOPPED);

    // Fast forward to the end, ten measures a step, then one at a time.
    to_top();
    fast_forward(WindPhase::press);
    g_transport.alt_mode = true;
    for (int i = 0; i < 99; i++) {
        fast_forward(WindPhase::hold);
    }
    g_transport.alt_mode = false;
    for (int i = 0; i < 20; i++) {
        fast_forward(WindPhase::hold);
    }
    EXPECT_EQ(g_song_clock.current_measure, 999);
    fast_forward(WindPhase::release);
    EXPECT_EQ(g_song_clock.start_tick, last_entry_tick);
    EXPECT_EQ(g_song_clock.time_sig_num, 3);
    EXPECT_EQ(g_song_clock.time_sig_den, 4);
    EXPECT_EQ(g_song_clock.tempo_usec, 489796);
    EXPECT_EQ(g_engine_display.time_sig_num.load(), 3);
    EXPECT_EQ(g_engine_display.time_sig_den.load(), 4);
    EXPECT_EQ(g_engine_display.tempo_bpm.load(), 122);

    uint32_t start = g_headless.clock_ms;
    transport_start();
    EXPECT_EQ(g_song_clock.song_tick, last_entry_tick);
    while (transport_mode() == MODE_PLAYING && g_headless.clock_ms - start < 200000) {
        run_ms(1);
        if (transport_mode() == MODE_PLAYING) {
            // The measure count goes on from the measure the run really started at.
            int32_t into = g_song_clock.song_tick - last_entry_tick;
            ASSERT_EQ(g_song_clock.current_measure, 998 + into / 1440) << "tick " << into;
        }
    }
    EXPECT_EQ(transport_mode(), MODE_STOPPED); // the song's end stopped it
    std::vector<std::pair<uint8_t, uint32_t>> got;
    for (const HeadlessMidiMessage& m : sent_raw()) {
        if (m.bytes[0] == 0x90 && m.bytes[2] != 0) {
            got.push_back({m.bytes[1], m.tick_ms - start});
        }
    }
    // The notes of the 999th measure to the last, each at its time, and nothing before them.
    std::vector<std::pair<uint8_t, uint32_t>> want;
    for (int m = 998; m < 1100; m++) {
        int32_t tick = change + (m - 990) * 1440;
        want.push_back({static_cast<uint8_t>(m % 128), send_ms(map, tick + 1, last_entry_tick)});
    }
    EXPECT_EQ(got, want);
}

} // namespace
