// Real-time playback figures: plays a dense song to a virtual port on the real clock and
// prints each event's lateness, the CPU time per second of playback and the machine's timer
// floor, with the sleep option on and off. Prints figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/midi.h"
#include "platform/platform.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sched.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int TRACKS = 16;
constexpr uint16_t TIME_BASE = 480;
constexpr int32_t SIXTEENTH = TIME_BASE / 4;
constexpr int32_t BAR = TIME_BASE * 4;
constexpr uint32_t TIMER_MS = 20; // the window timer's period
constexpr int FLOOR_STEPS = 3000; // 1 ms sleeps: three seconds

struct TimedEvent {
    int32_t tick;
    Bytes bytes;
};

struct TempoPoint {
    int32_t tick;
    int bpm; // whole quarter notes per minute, as the engine holds a tempo
};

// The song as bytes, and what each channel should send, in order.
struct BenchSong {
    Bytes smf;
    std::vector<TimedEvent> expected[TRACKS];
    std::vector<TempoPoint> tempo_map;
    int32_t end_tick;
    size_t channel_events;
};

struct Figures {
    size_t events = 0;
    size_t unmatched = 0;
    double p50 = 0, p99 = 0, max = 0, min = 0;
    double p99_first_second = 0; // before any drift has built up
    double drift_ms_per_s = 0;   // change of the per-second median lateness over the song
    int32_t stop_elapsed_ms = 0; // the engine's elapsed time when track 1's end stopped it
    double cpu_percent = 0;      // of one core, per second of playback
};

struct FloorFigures {
    double p50 = 0, p99 = 0, max = 0;
    double cpu_percent = 0; // what the sleeping loop itself costs, of one core
    bool realtime = false;  // the thread ran under SCHED_FIFO
};

Bytes track_bytes(std::vector<TimedEvent> events, int32_t end_tick) {
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    Bytes out;
    int32_t at = 0;
    for (const TimedEvent& e : events) {
        Bytes delta = vlq_bytes(static_cast<uint32_t>(e.tick - at));
        out.insert(out.end(), delta.begin(), delta.end());
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        at = e.tick;
    }
    Bytes end = end_of_track(static_cast<uint32_t>(end_tick - at));
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

Bytes tempo_bytes(uint32_t usec) {
    return {0xFF,
            0x51,
            0x03,
            static_cast<uint8_t>(usec >> 16),
            static_cast<uint8_t>(usec >> 8),
            static_cast<uint8_t>(usec)};
}

// 16 tracks, one channel each, of 16th notes with two controllers between them. Half way a
// tempo event 1000 us shorter follows (249,000 us, 240.96 BPM, at 240), which the engine holds
// in whole BPM like the first.
BenchSong bench_song(int seconds, int bpm) {
    BenchSong song;
    int bars = (seconds * bpm + 239) / 240; // a 4/4 bar lasts 240 / bpm seconds
    song.end_tick = bars * BAR;
    int32_t change = (bars / 2) * BAR;
    uint32_t usec = static_cast<uint32_t>(60000000 / bpm);
    song.tempo_map = {{0, static_cast<int>(60000000 / usec)},
                      {change, static_cast<int>(60000000 / (usec - 1000))}};
    song.channel_events = 0;
    std::vector<Bytes> tracks;
    for (int t = 0; t < TRACKS; t++) {
        std::vector<TimedEvent> events;
        if (t == 0) {
            events.push_back({0, tempo_bytes(usec)});
            events.push_back({0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}});
            events.push_back({change, tempo_bytes(usec - 1000)});
        }
        uint8_t ch = static_cast<uint8_t>(t);
        for (int32_t k = 0; k * SIXTEENTH < song.end_tick; k++) {
            int32_t tick = k * SIXTEENTH;
            uint8_t note = static_cast<uint8_t>(36 + t * 3 + k % 12);
            const TimedEvent channel_events[] = {
                {tick, {static_cast<uint8_t>(0x90 | ch), note, 100}},
                {tick + 30,
                 {static_cast<uint8_t>(0xB0 | ch), 1, static_cast<uint8_t>(k * 5 & 127)}},
                {tick + 60, {static_cast<uint8_t>(0x80 | ch), note, 0}},
                {tick + 90,
                 {static_cast<uint8_t>(0xB0 | ch), 11, static_cast<uint8_t>(64 + k % 64)}},
            };
            for (const TimedEvent& e : channel_events) {
                events.push_back(e);
                song.expected[t].push_back(e);
            }
        }
        song.channel_events += song.expected[t].size();
        tracks.push_back(track_bytes(events, song.end_tick));
    }
    song.smf = smf_file(1, TIME_BASE, tracks);
    return song;
}

// Nanoseconds from the song's start to `tick` by the tempo map.
double ideal_ns(const std::vector<TempoPoint>& map, int32_t tick) {
    double ns = 0;
    for (size_t i = 0; i < map.size() && map[i].tick < tick; i++) {
        int32_t until = i + 1 < map.size() && map[i + 1].tick < tick ? map[i + 1].tick : tick;
        ns += static_cast<double>(until - map[i].tick) * 60e9 / (map[i].bpm * double(TIME_BASE));
    }
    return ns;
}

uint64_t now_ns(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

void sleep_until(uint64_t ns) {
    timespec t{static_cast<time_t>(ns / 1000000000u), static_cast<long>(ns % 1000000000u)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

double percentile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) {
        return 0;
    }
    return sorted[static_cast<size_t>(q * static_cast<double>(sorted.size() - 1) + 0.5)];
}

// Lateness of plain 1 ms absolute sleeps, on a thread started the way the playback thread is.
void floor_thread(void* arg) {
    auto* out = static_cast<FloorFigures*>(arg);
    out->realtime = sched_getscheduler(0) == SCHED_FIFO;
    std::vector<double> late;
    late.reserve(FLOOR_STEPS);
    uint64_t target = now_ns(CLOCK_MONOTONIC);
    uint64_t start = target;
    uint64_t cpu_start = now_ns(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < FLOOR_STEPS; i++) {
        target += 1000000;
        sleep_until(target);
        late.push_back(static_cast<double>(now_ns(CLOCK_MONOTONIC) - target) / 1e6);
    }
    uint64_t cpu = now_ns(CLOCK_THREAD_CPUTIME_ID) - cpu_start;
    out->cpu_percent =
        100.0 * static_cast<double>(cpu) / static_cast<double>(now_ns(CLOCK_MONOTONIC) - start);
    std::sort(late.begin(), late.end());
    out->p50 = percentile(late, 0.5);
    out->p99 = percentile(late, 0.99);
    out->max = late.back();
}

FloorFigures timer_floor() {
    FloorFigures f;
    PlatformThread* thread = platform_thread_start(floor_thread, &f, true);
    if (!thread) {
        floor_thread(&f);
    } else {
        platform_thread_join(thread);
    }
    return f;
}

// Matches every channel message sent to the song's events, channel by channel in order.
Figures lateness(const BenchSong& song, const std::vector<HeadlessMidiMessage>& sent) {
    Figures f;
    size_t next[TRACKS] = {};
    std::vector<std::pair<double, double>> points; // ideal seconds, lateness ms
    bool started = false;
    uint64_t start_ns = 0;
    for (const HeadlessMidiMessage& m : sent) {
        if (m.bytes.empty() || m.bytes[0] < 0x80 || m.bytes[0] >= 0xF0) {
            continue; // MIDI clock, stop and the like are not song events
        }
        int ch = m.bytes[0] & 0x0F;
        const std::vector<TimedEvent>& list = song.expected[ch];
        if (next[ch] >= list.size() || list[next[ch]].bytes != m.bytes) {
            f.unmatched++;
            continue;
        }
        const TimedEvent& e = list[next[ch]++];
        if (!started) {
            if (e.tick != 0) {
                f.unmatched++;
                continue;
            }
            started = true;
            start_ns = m.steady_ns;
        }
        double ideal = ideal_ns(song.tempo_map, e.tick);
        double late_ms = (static_cast<double>(m.steady_ns - start_ns) - ideal) / 1e6;
        points.push_back({ideal / 1e9, late_ms});
    }
    f.events = points.size();
    if (points.empty()) {
        return f;
    }
    // Medians of whole seconds, so that a few stalls do not pass for drift.
    std::vector<std::vector<double>> seconds;
    std::vector<double> late;
    for (auto [x, y] : points) {
        size_t second = static_cast<size_t>(x);
        if (second >= seconds.size()) {
            seconds.resize(second + 1);
        }
        seconds[second].push_back(y);
        late.push_back(y);
    }
    if (seconds.size() > 1) {
        for (std::vector<double>& s : seconds) {
            std::sort(s.begin(), s.end());
        }
        double first = percentile(seconds.front(), 0.5);
        double last = percentile(seconds.back(), 0.5);
        f.drift_ms_per_s = (last - first) / static_cast<double>(seconds.size() - 1);
        f.p99_first_second = percentile(seconds.front(), 0.99);
    }
    std::sort(late.begin(), late.end());
    f.p50 = percentile(late, 0.5);
    f.p99 = percentile(late, 0.99);
    f.max = late.back();
    f.min = late.front();
    return f;
}

bool load_song(const BenchSong& song) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("zb47_engine_bench." + std::to_string(getpid()) + ".mid"))
                           .string();
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = fwrite(song.smf.data(), 1, song.smf.size(), file) == song.smf.size();
    written = fclose(file) == 0 && written;
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path.c_str());
    file_name_from_path();
    bool loaded = written && song_load() == SongLoadResult::loaded;
    std::filesystem::remove(path);
    return loaded;
}

// What the engine showed during a run, through its display hooks.
struct ShownByEngine {
    int32_t stop_elapsed_ms; // the elapsed time shown when playback stopped
};

ShownByEngine g_shown;

void elapsed_shown(const char* text) {
    unsigned h = 0, m = 0, sec = 0, ms = 0;
    if (sscanf(text, "%u:%u:%u.%u", &h, &m, &sec, &ms) == 4) {
        g_shown.stop_elapsed_ms = static_cast<int32_t>(((h * 60 + m) * 60 + sec) * 1000 + ms);
    }
}

// One playback from the start to track 1's end, the window timer ticking every 20 ms.
Figures play(const BenchSong& song, bool sleep_on) {
    headless_midi_clear_sent();
    position_reset();
    g_settings.slots[SLOT_SLEEP] = sleep_on ? 7 : 6;
    uint64_t cpu_before = now_ns(CLOCK_PROCESS_CPUTIME_ID);
    uint64_t wall_before = now_ns(CLOCK_MONOTONIC);
    transport_start();
    engine_timer_tick(); // the play button's timer tick starts the playback thread
    uint64_t tick_at = wall_before;
    while (transport_mode() != MODE_STOPPED) {
        tick_at += TIMER_MS * 1000000u;
        sleep_until(tick_at);
        engine_timer_tick();
    }
    playback_thread_join();
    uint64_t wall = now_ns(CLOCK_MONOTONIC) - wall_before;
    uint64_t cpu = now_ns(CLOCK_PROCESS_CPUTIME_ID) - cpu_before;
    Figures f = lateness(song, headless_midi_sent());
    f.stop_elapsed_ms = g_shown.stop_elapsed_ms;
    f.cpu_percent = 100.0 * static_cast<double>(cpu) / static_cast<double>(wall);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    // engine_bench [seconds [bpm]]: at least 10 s; 240 BPM unless another tempo is asked for.
    int seconds = argc > 1 ? atoi(argv[1]) : 12;
    seconds = seconds < 10 ? 10 : seconds;
    int bpm = argc > 2 ? atoi(argv[2]) : 240;
    bpm = bpm < 30 ? 30 : (bpm > 600 ? 600 : bpm);
    platform_select("headless");
    headless_reset();
    headless_midi_reset();
    g_headless.clock_driven = false;
    g_headless_midi.out_names = {"bench"};
    song_files_reset();
    song_store_init(SEQUENCER_STORE);
    engine_reset();
    settings_apply();
    engine_devices_open();
    g_engine_hooks.elapsed_time = elapsed_shown;

    BenchSong song = bench_song(seconds, bpm);
    if (!load_song(song)) {
        fprintf(stderr, "engine_bench: the song could not be loaded\n");
        engine_devices_close();
        return 1;
    }
    double tick_ms = 60000.0 / (song.tempo_map[0].bpm * double(TIME_BASE));
    printf("engine_bench: %d tracks of 16th notes with 2 controllers each, %d BPM, time base "
           "%u, %.1f s, %zu channel events per run\n",
           TRACKS, song.tempo_map[0].bpm, TIME_BASE, ideal_ns(song.tempo_map, song.end_tick) / 1e9,
           song.channel_events);
    printf("lateness = send time - ideal time; ideal time = send time of the first tick-0 event\n"
           "  + the event's tick by the tempo map in whole BPM. The engine sends an event in the\n"
           "  first frame whose song_tick > tick, on a whole-millisecond clock, so about one tick\n"
           "  (%.2f ms here) of lateness is inherent; the first tick-0 event, the reference,\n"
           "  carries it too, so events on schedule spread around 0 by about one tick.\n"
           "drift = change of the median lateness per second of song; stop = the engine's\n"
           "  elapsed time when track 1's end stopped it, against the ideal end;\n"
           "cpu = process CPU time per second of playback, in %% of one core;\n"
           "floor = lateness of 1 ms absolute sleeps, measured just before each run on a\n"
           "  thread started like the playback thread, with that loop's own CPU time.\n\n",
           tick_ms);

    struct Row {
        const char* name;
        bool sleep_on;
        FloorFigures floor;
        Figures figures;
    } rows[] = {{"sleep on", true, {}, {}}, {"sleep off", false, {}, {}}};
    for (Row& row : rows) {
        row.floor = timer_floor();
        row.figures = play(song, row.sleep_on);
    }
    double ideal_end_ms = ideal_ns(song.tempo_map, song.end_tick) / 1e6;
    printf("%-10s %7s %7s %7s %7s %7s %9s %9s %13s\n", "run", "events", "p50 ms", "p99 ms",
           "max ms", "min ms", "p99 1st s", "drift", "stop/ideal ms");
    for (const Row& row : rows) {
        const Figures& f = row.figures;
        printf("%-10s %7zu %7.3f %7.3f %7.3f %7.3f %9.3f %6.3f/s %6d/%.0f\n", row.name, f.events,
               f.p50, f.p99, f.max, f.min, f.p99_first_second, f.drift_ms_per_s, f.stop_elapsed_ms,
               ideal_end_ms);
    }
    printf("\n%-10s %7s %10s %10s %10s %12s\n", "run", "cpu %", "floor p50", "floor p99",
           "floor max", "floor cpu %");
    for (const Row& row : rows) {
        printf("%-10s %7.2f %10.3f %10.3f %10.3f %12.2f\n", row.name, row.figures.cpu_percent,
               row.floor.p50, row.floor.p99, row.floor.max, row.floor.cpu_percent);
    }
    for (const Row& row : rows) {
        if (row.figures.unmatched > 0 || row.figures.events != song.channel_events) {
            printf("%s: %zu messages did not match the song, %zu of %zu events seen\n", row.name,
                   row.figures.unmatched, row.figures.events, song.channel_events);
        }
    }
    printf("\nreal-time scheduling (SCHED_FIFO) for the playback thread: %s\n",
           rows[0].floor.realtime ? "granted" : "refused, ran as a normal thread");
    printf("target with sleep on: p99 within 0.6 ms of the floor's p99 (%s), at most 2 %% of one "
           "core (%s)\n",
           rows[0].figures.p99 <= rows[0].floor.p99 + 0.6 ? "met" : "missed",
           rows[0].figures.cpu_percent <= 2.0 ? "met" : "missed");
    engine_devices_close();
    return 0;
}
