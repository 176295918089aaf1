// Editing command timings on a 64-track song of about 3 MB: Delete over every track, Copy
// within the song, Quantize of a whole track and an event block inserted into one track. Prints
// figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sequencer/edit/edit.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"
#include "tests/support/smf_random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The loaded song, kept so every iteration starts from the same store.
struct BenchSong {
    bool ready = false;
    SongStore store;
    std::vector<uint8_t> arena;
};

BenchSong g_bench;

bool bench_song_load() {
    platform_select("headless");
    headless_backend_reset();
    edit_reset_all();
    g_headless.default_answer = true;
    RandomSmfOptions o;
    o.tracks = 64;
    o.events_per_track = 100;
    size_t probe = random_smf(7, o).size();
    o.events_per_track = static_cast<int>(100 * (3 * 1024 * 1024) / probe);
    Bytes song = random_smf(7, o);
    std::string path = "/tmp/zb47editbench." + std::to_string(getpid()) + ".mid";
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    fwrite(song.data(), 1, song.size(), f);
    fclose(f);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path.c_str());
    file_name_from_path();
    bool loaded = song_load() == SongLoadResult::loaded;
    unlink(path.c_str());
    if (!loaded) {
        return false;
    }
    g_bench.store = g_song;
    g_bench.arena.assign(g_song.arena, g_song.arena + g_song.arena_end);
    g_bench.ready = true;
    printf("song: %u bytes in the arena, %d tracks, %d measures\n", g_song.arena_end,
           g_song.track_count, g_song.measure_table.last_measure + 1);
    return true;
}

void bench_song_restore() {
    g_song = g_bench.store;
    memcpy(g_song.arena, g_bench.arena.data(), g_bench.arena.size());
}

template <typename Command> void run_command(benchmark::State& state, Command command) {
    if (!g_bench.ready && !bench_song_load()) {
        state.SkipWithError("song not loaded");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        bench_song_restore();
        state.ResumeTiming();
        if (command() != EditResult::done) {
            state.SkipWithError("command failed");
            return;
        }
    }
}

void BM_DeleteMeasure_64Tracks(benchmark::State& state) {
    run_command(state, [] { return delete_measures(2, 1); });
}

void BM_CopyMeasures_x4(benchmark::State& state) {
    run_command(state, [] { return copy_measures(2, 1, 4, 3, 9, 4); });
}

void BM_QuantizeWholeTrack(benchmark::State& state) {
    run_command(state,
                [] { return quantize(2, 1, g_song.measure_table.last_measure + 1, 16, 90); });
}

// The sound-settings block inserted in the middle of track 2: one track rebuilt and the
// arena behind it moved.
void BM_EventInsertMidTrack(benchmark::State& state) {
    static const uint8_t block[] = {0xB0, 0x20, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0xC0,
                                    0x05, 0x00, 0xB0, 0x5B, 0x28, 0x00, 0xB0, 0x5D, 0x00};
    run_command(state, [] {
        g_song.write_track = 1;
        return event_insert_at(g_song.measure_table.song_end_tick / 2, block, sizeof block, 0);
    });
}

} // namespace

BENCHMARK(BM_DeleteMeasure_64Tracks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyMeasures_x4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuantizeWholeTrack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventInsertMidTrack)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
