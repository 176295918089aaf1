// Converter timings: a 64-track SMF of about 1 MB converted to each ringtone format, and the
// ringtones read back. Prints figures; never a pass/fail test.
#include "common/status_line.h"
#include "converter/converter.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tests/support/smf_builder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string temp_path(const std::string& name) {
    return std::string("/tmp/melconvbench.") + std::to_string(getpid()) + "." + name;
}

void write_file(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// 64 tracks of about 16 KB: notes within every format's range on channel t mod 16 (drums on
// channel 10), with volume and pan changes, so every writer has work on every track.
Bytes big_song() {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 64; t++) {
        uint8_t channel = static_cast<uint8_t>(t % 16);
        Bytes events =
            concat({ev(0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(t)})});
        for (int i = 0; i < 2000; i++) {
            uint8_t key = static_cast<uint8_t>(48 + (i * 7 + t) % 36);
            Bytes note = {static_cast<uint8_t>(0x90 | channel), key, 100};
            Bytes off = {static_cast<uint8_t>(0x80 | channel), key, 0};
            Bytes more = concat({ev(static_cast<uint32_t>(t % 4), {note[0], note[1], note[2]}),
                                 ev(60, {off[0], off[1], off[2]})});
            events.insert(events.end(), more.begin(), more.end());
            if (i % 50 == 0) {
                Bytes cc =
                    ev(0, {static_cast<uint8_t>(0xB0 | channel), 7, static_cast<uint8_t>(i % 128)});
                events.insert(events.end(), cc.begin(), cc.end());
            }
        }
        tracks.push_back(concat({events, end_of_track(0)}));
    }
    return smf_file(1, 480, tracks);
}

// Division 48: a pad of four-note chords of 384 ticks, `chords` in a row on each of 16
// channels, so 64 long notes sound at once and every one must be re-struck.
Bytes pad_song(int chords) {
    std::vector<Bytes> tracks;
    for (int c = 0; c < 16; c++) {
        uint8_t channel = static_cast<uint8_t>(c);
        Bytes events;
        for (int i = 0; i < chords; i++) {
            for (int k = 0; k < 4; k++) {
                Bytes on = ev(0, {static_cast<uint8_t>(0x90 | channel),
                                  static_cast<uint8_t>(60 + k * 3), 100});
                events.insert(events.end(), on.begin(), on.end());
            }
            for (int k = 0; k < 4; k++) {
                Bytes off = ev(k == 0 ? 384 : 0, {static_cast<uint8_t>(0x80 | channel),
                                                  static_cast<uint8_t>(60 + k * 3), 0});
                events.insert(events.end(), off.begin(), off.end());
            }
        }
        tracks.push_back(concat({events, end_of_track(0)}));
    }
    return smf_file(1, 48, tracks);
}

void fresh_converter() {
    platform_select("headless");
    headless_backend_reset();
    melconv_reset_all();
    g_headless.default_answer = true;
    g_options.autocut = 900;
}

// Converts `input` with the given model on every iteration, each from a fresh converter.
void time_conversions(benchmark::State& state, int model, const std::string& input) {
    for (auto _ : state) {
        fresh_converter();
        g_options.model = model;
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s", input.c_str());
        bool ok = run_conversion();
        benchmark::DoNotOptimize(ok);
        if (!ok) {
            state.SkipWithError("conversion wrote nothing");
            break;
        }
    }
}

void convert_to(benchmark::State& state, int model, const char* name) {
    static const Bytes song = [] {
        Bytes big = big_song();
        fprintf(stderr, "source: %zu bytes, 64 tracks (the converter's store takes 32)\n",
                big.size());
        return big;
    }();
    std::string input = temp_path(name);
    write_file(input, song);
    time_conversions(state, model, input);
}

void BM_ConvertToMld(benchmark::State& state) {
    convert_to(state, 0, "mld.mid");
}
void BM_ConvertToMfi3(benchmark::State& state) {
    convert_to(state, 3, "mfi3.mid");
}
void BM_ConvertToPmd(benchmark::State& state) {
    convert_to(state, 1, "pmd.mid");
}
void BM_ConvertToMmf(benchmark::State& state) {
    convert_to(state, 2, "mmf.mid");
}

// Long-note splitting repeats its rounds until every long note is re-struck: the cost of a
// song with many held notes at once, by its length in chords.
void BM_LongNotesAtDivision48(benchmark::State& state) {
    std::string input = temp_path("pad" + std::to_string(state.range(0)) + ".mid");
    write_file(input, pad_song(static_cast<int>(state.range(0))));
    time_conversions(state, 0, input);
    remove(input.c_str());
}

BENCHMARK(BM_ConvertToMld)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToMfi3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToPmd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToMmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongNotesAtDivision48)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
