// Song store timings: loading a large file, building the measure table, one replacement in
// a nearly full arena and saving a 64-track song. Prints figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"
#include "tests/support/smf_random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string temp_path(const char* name) {
    return std::string("/tmp/zb47bench.") + std::to_string(getpid()) + "." + name;
}

void write_file(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A 64-track song of about `target` bytes.
Bytes big_song(size_t target) {
    RandomSmfOptions o;
    o.tracks = 64;
    o.events_per_track = 100;
    Bytes probe = random_smf(1, o);
    o.events_per_track = static_cast<int>(100 * target / probe.size());
    return random_smf(1, o);
}

void fresh_store() {
    platform_select("headless");
    headless_backend_reset();
    songcore_reset_all(SEQUENCER_STORE);
    g_headless.default_answer = true;
}

bool load(const std::string& path) {
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path.c_str());
    file_name_from_path();
    return song_load() == SongLoadResult::loaded;
}

void BM_LoadAndAttach_3_5MB(benchmark::State& state) {
    fresh_store();
    Bytes song = big_song(3500 * 1024);
    std::string path = temp_path("load.mid");
    write_file(path, song);
    for (auto _ : state) {
        if (!load(path)) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(song.size());
    unlink(path.c_str());
}
BENCHMARK(BM_LoadAndAttach_3_5MB)->Unit(benchmark::kMillisecond);

void BM_MeasureTableBuild_999Measures(benchmark::State& state) {
    fresh_store();
    // Track 1: a signature and a tempo change in every one of 999 measures.
    Bytes events;
    for (int m = 0; m < 999; m++) {
        events = concat({events, time_signature(m == 0 ? 0 : 1440, 3, 2),
                         tempo_event(0, 400000 + static_cast<uint32_t>(m) * 100)});
    }
    Bytes file = smf_file(0, 480, {concat({events, end_of_track(1920)})});
    std::string path = temp_path("measures.mid");
    write_file(path, file);
    load(path);
    unlink(path.c_str());
    for (auto _ : state) {
        measure_table_rebuild();
        benchmark::DoNotOptimize(g_song.measure_table.last_measure);
    }
    state.counters["measures"] = g_song.measure_table.last_measure + 1;
}
BENCHMARK(BM_MeasureTableBuild_999Measures)->Unit(benchmark::kMillisecond);

// Fills bank 2 with a song that takes nearly the whole arena.
void fill_arena_nearly(const std::string& path) {
    fresh_store();
    song_bank_select(2);
    if (!load(path)) {
        abort();
    }
    song_bank_select(0);
}

void BM_TrackReplace_NearlyFullArena(benchmark::State& state) {
    std::string path = temp_path("full.mid");
    write_file(path, big_song(3900 * 1024));
    fill_arena_nearly(path);
    // Every replacement takes a track that still lies in front of the big song, so the
    // removal of its old chunk moves the whole song down: the worst case.
    int slot = 0;
    int track = 0;
    for (auto _ : state) {
        uint32_t copy = track_copy_with_end(g_song.slots[slot].track_pos[track], 1920);
        track_replace(copy, slot, track);
        if (++track == 64) {
            track = 0;
            slot = slot == 1 ? 3 : slot + 1;
            if (slot == 11) {
                state.PauseTiming();
                fill_arena_nearly(path);
                slot = 0;
                state.ResumeTiming();
            }
        }
    }
    state.counters["moved_bytes"] = static_cast<double>(g_song.arena_end);
    state.counters["free_kb"] = free_memory_kb();
    unlink(path.c_str());
}
BENCHMARK(BM_TrackReplace_NearlyFullArena)->Unit(benchmark::kMillisecond);

void BM_Save_64Tracks(benchmark::State& state) {
    fresh_store();
    std::string in = temp_path("in.mid");
    Bytes song = big_song(static_cast<size_t>(state.range(0)) * 1024);
    write_file(in, song);
    load(in);
    unlink(in.c_str());
    std::string out = temp_path("out.mid");
    SongSlot& slot = g_song.slots[0];
    snprintf(slot.song_path, sizeof slot.song_path, "%s", out.c_str());
    for (auto _ : state) {
        song_save(1);
    }
    state.counters["file_bytes"] = static_cast<double>(song.size());
    unlink(out.c_str());
}
BENCHMARK(BM_Save_64Tracks)->Arg(100)->Arg(3500)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
