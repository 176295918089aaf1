// Auto accompaniment timing: a 200-measure 4/4 song at time base 480 with an XF chord on every
// beat and a pattern of five parts (block chord, upper voice, bass, a low part and drums),
// fitted into a new track. Prints figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sequencer/edit/accompaniment.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int MEASURES = 200;
constexpr uint32_t BEAT = 480;
constexpr int BEATS = MEASURES * 4;

struct BenchSong {
    bool ready = false;
    SongStore store;
    std::vector<uint8_t> arena;
};

BenchSong g_bench;

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void track_install(int track_index, const Bytes& events) {
    uint32_t pos = track_chunk_begin();
    arena_append(events.data(), static_cast<uint32_t>(events.size()));
    track_chunk_finish(pos);
    track_replace(pos, g_song.current_bank, track_index);
}

// C, F, G7, Am7 over and over, one chord a beat.
Bytes chord_track() {
    const uint8_t roots[] = {0x31, 0x34, 0x35, 0x36};
    const uint8_t types[] = {0, 0, 19, 10};
    Bytes out;
    for (int beat = 0; beat < BEATS; beat++) {
        append(out, ev(beat == 0 ? 0 : BEAT, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, roots[beat % 4],
                                              types[beat % 4], 0x7F, 0x00}));
    }
    append(out, end_of_track(BEAT));
    return out;
}

// Every beat: C E G Bb on channel 5, G on channel 1, C on channel 7, E on channel 3 and a
// kick on channel 10, each lasting 400 ticks.
Bytes pattern_track() {
    const uint8_t parts[][2] = {{0x94, 60}, {0x94, 64}, {0x94, 67}, {0x94, 70},
                                {0x90, 67}, {0x96, 48}, {0x92, 64}, {0x99, 36}};
    Bytes out;
    for (int beat = 0; beat < BEATS; beat++) {
        for (size_t i = 0; i < std::size(parts); i++) {
            uint32_t delta = i == 0 && beat > 0 ? BEAT - 400 : 0;
            append(out, ev(delta, {parts[i][0], parts[i][1], 100}));
        }
        for (size_t i = 0; i < std::size(parts); i++) {
            append(out, ev(i == 0 ? 400 : 0,
                           {static_cast<uint8_t>(parts[i][0] & 0x8F), parts[i][1], 0}));
        }
    }
    append(out, end_of_track(BEAT - 400));
    return out;
}

bool bench_song_build() {
    platform_select("headless");
    headless_reset();
    song_store_init(SEQUENCER_STORE);
    edit_reset();
    time_base_set(480);
    track_install(0, concat({tempo_event(0, 500000), time_signature(0, 4, 2),
                             end_of_track(MEASURES * 4 * BEAT)}));
    track_install(1, chord_track());
    track_install(2, pattern_track());
    g_song.track_count = 3;
    measure_table_rebuild();
    if (g_song.memory_over) {
        return false;
    }
    g_bench.store = g_song;
    g_bench.arena.assign(g_song.arena, g_song.arena + g_song.arena_end);
    g_bench.ready = true;
    printf("song: %d measures, %zu pattern bytes, %d chords\n", g_song.measure_table.last_measure,
           pattern_track().size(), BEATS);
    return true;
}

void BM_AutoAccompany_200Measures_ChordEveryBeat(benchmark::State& state) {
    if (!g_bench.ready && !bench_song_build()) {
        state.SkipWithError("song not built");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        g_song = g_bench.store;
        memcpy(g_song.arena, g_bench.arena.data(), g_bench.arena.size());
        state.ResumeTiming();
        if (auto_accompany(4, 1, 3, 1, 2) != EditResult::done) {
            state.SkipWithError("command failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_AutoAccompany_200Measures_ChordEveryBeat)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
