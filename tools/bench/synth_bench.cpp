// The built-in synthesizer's figures: how many times faster than real time the offline render
// of the demo song and of a dense 16-channel song goes, and the engine's lateness while it
// plays to a virtual port and to the synthesizer's port, side by side in one run.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/platform.h"
#include "platform/synth.h"
#include "platform/synth_backend.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/song_render.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/dense_song.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int DENSE_BPM = 150;
constexpr int DENSE_STEPS_PER_BEAT = 4; // 16th notes on every channel

double seconds_since(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

void render_speed(const char* name, const std::string& song, const std::string& wav) {
    RenderRequest request;
    request.song_path = song.c_str();
    request.wav_path = wav.c_str();
    // The first start decodes the sound font; the figure is for the render itself.
    RenderResult prepared = song_render_prepare(request);
    if (prepared != RenderResult::rendered) {
        printf("synth_bench render song=%s error=\"%s\"\n", name, render_result_text(prepared));
        song_render_finish();
        return;
    }
    auto begin = std::chrono::steady_clock::now();
    RenderResult result = song_render_run(request);
    double wall = seconds_since(begin);
    double music = static_cast<double>(g_song_render.samples.size() / 2) / SYNTH_SAMPLE_RATE;
    printf("synth_bench render song=%s music_s=%.1f wall_s=%.3f times_real_time=%.1f result=%s\n",
           name, music, wall, music / wall, render_result_text(result));
    song_render_finish();
}

// Every message as it reaches the platform, with its time: a MIDI table in front of the one in
// use, so the virtual port and the synthesizer's port are timed alike.
struct SendLog {
    const PlatformMidiBackend* inner = nullptr;
    std::mutex lock;
    std::vector<std::pair<std::chrono::steady_clock::time_point, uint8_t>> note_ons;
    double longest_send_us = 0;
};

SendLog g_send_log;

void logged_short(int device, const uint8_t* bytes, int length) {
    auto before = std::chrono::steady_clock::now();
    g_send_log.inner->out_short(device, bytes, length);
    double took = seconds_since(before) * 1e6;
    std::lock_guard<std::mutex> guard(g_send_log.lock);
    g_send_log.longest_send_us = std::max(g_send_log.longest_send_us, took);
    if (length == 3 && (bytes[0] & 0xF0) == 0x90 && bytes[2] != 0) {
        g_send_log.note_ons.emplace_back(before, bytes[0]);
    }
}

PlatformMidiBackend g_logged_table;

struct Lateness {
    double mean_ms = 0;
    double p99_ms = 0;
    double max_ms = 0;
    size_t notes = 0;
};

// The dense song's note-ons come every step on every channel: step k of any channel is due
// k * step_ms after the start.
Lateness lateness_of(std::chrono::steady_clock::time_point start) {
    double step_ms = 60000.0 / DENSE_BPM / DENSE_STEPS_PER_BEAT;
    std::vector<std::pair<std::chrono::steady_clock::time_point, uint8_t>> ons;
    {
        std::lock_guard<std::mutex> guard(g_send_log.lock);
        ons = g_send_log.note_ons;
    }
    int step_of_channel[16] = {};
    std::vector<double> late;
    for (const auto& [at, status] : ons) {
        int channel = status & 0x0F;
        double due = step_of_channel[channel]++ * step_ms;
        double sent = std::chrono::duration<double, std::milli>(at - start).count();
        late.push_back(sent - due);
    }
    Lateness l;
    l.notes = late.size();
    if (late.empty()) {
        return l;
    }
    std::sort(late.begin(), late.end());
    double sum = 0;
    for (double v : late) {
        sum += v;
    }
    l.mean_ms = sum / static_cast<double>(late.size());
    l.p99_ms = late[late.size() * 99 / 100];
    l.max_ms = late.back();
    return l;
}

// Plays the loaded song in real time through the playback thread to `port`.
Lateness play_to(int port) {
    g_midi_devices.port_map[0] = static_cast<uint8_t>(port);
    {
        std::lock_guard<std::mutex> guard(g_send_log.lock);
        g_send_log.note_ons.clear();
        g_send_log.longest_send_us = 0;
    }
    position_reset();
    auto start = std::chrono::steady_clock::now();
    transport_start();
    while (transport_mode() != MODE_STOPPED) {
        engine_timer_tick();
        platform_sleep_ms(20);
    }
    playback_thread_join();
    return lateness_of(start);
}

void lateness_side_by_side(const std::string& dense_path, int beats) {
    platform_select("headless");
    headless_reset();
    headless_midi_reset();
    g_headless.clock_driven = false;
    g_headless_midi.out_names = {"virtual port"};
    SynthOptions options;
    SynthStart started = platform_synth_start(options);
    bool offline_stand_in = false;
    if (started == SynthStart::no_audio_output) {
        // No audio device: the offline synthesizer with a thread rendering one period per
        // period's time stands in for the audio thread.
        platform_synth_stop();
        options.mode = SynthMode::offline;
        started = platform_synth_start(options);
        offline_stand_in = started == SynthStart::offline;
    }
    if (started != SynthStart::sounding && !offline_stand_in) {
        printf("synth_bench lateness error=\"%s\"\n", platform_synth_message());
        return;
    }
    g_send_log.inner = platform_midi_table();
    g_logged_table = *g_send_log.inner;
    g_logged_table.out_short = logged_short;
    platform_midi_table_set(&g_logged_table);

    song_files_reset();
    song_store_init(SEQUENCER_STORE);
    engine_reset();
    settings_apply();
    engine_devices_open();
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", dense_path.c_str());
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        printf("synth_bench lateness error=\"dense song not loaded\"\n");
        return;
    }
    int synth_port = -1;
    for (int port = 0; port < g_midi_devices.out_port_count; port++) {
        if (strcmp(g_midi_devices.out_names[port], SYNTH_PORT_NAME) == 0) {
            synth_port = port;
        }
    }
    std::atomic<bool> rendering{offline_stand_in};
    std::thread audio([&rendering] {
        std::vector<int16_t> period(static_cast<size_t>(SYNTH_DEFAULT_AUDIO_PERIOD) * 2);
        auto next = std::chrono::steady_clock::now();
        while (rendering.load()) {
            platform_synth_render(period.data(), SYNTH_DEFAULT_AUDIO_PERIOD);
            next += std::chrono::microseconds(1000000LL * SYNTH_DEFAULT_AUDIO_PERIOD /
                                              SYNTH_SAMPLE_RATE);
            std::this_thread::sleep_until(next);
        }
    });
    const char* audio_kind = offline_stand_in ? "offline_with_render_thread" : "audio_driver";
    Lateness virtual_port = play_to(0);
    double virtual_send_us = g_send_log.longest_send_us;
    Lateness synth = play_to(synth_port);
    double synth_send_us = g_send_log.longest_send_us;
    rendering.store(false);
    audio.join();
    printf("synth_bench lateness song=dense16 beats=%d bpm=%d notes=%zu\n", beats, DENSE_BPM,
           virtual_port.notes);
    printf("synth_bench lateness port=virtual mean_ms=%.3f p99_ms=%.3f max_ms=%.3f "
           "longest_send_us=%.1f\n",
           virtual_port.mean_ms, virtual_port.p99_ms, virtual_port.max_ms, virtual_send_us);
    printf("synth_bench lateness port=synth(%s) mean_ms=%.3f p99_ms=%.3f max_ms=%.3f "
           "longest_send_us=%.1f dropped=%u audio_latency_ms=%.1f\n",
           audio_kind, synth.mean_ms, synth.p99_ms, synth.max_ms, synth_send_us,
           platform_synth_dropped(), platform_synth_latency_ms());
    engine_devices_close();
    platform_synth_stop();
}

} // namespace

int main(int argc, char** argv) {
    int beats = argc > 1 ? atoi(argv[1]) : 40; // 16 s at 150 BPM
    if (beats < 1) {
        fprintf(stderr, "usage: synth_bench [beats of the dense song]\n");
        return 2;
    }
    TempDir dir;
    std::string dense = dir.file("dense16.mid");
    write_file_bytes(dense, dense_song(static_cast<uint32_t>(beats), 60000000 / DENSE_BPM,
                                       DENSE_STEPS_PER_BEAT));
    platform_select("headless");
    headless_reset();
    g_headless.program_directory = dir.path; // no settings file: the defaults
    std::string demo = "resources/demo.mid"; // make bench runs from the top folder
    render_speed("demo", demo, dir.file("demo.wav"));
    render_speed("dense16", dense, dir.file("dense16.wav"));
    lateness_side_by_side(dense, beats);
    return 0;
}
