// Real-time playback figures: plays a dense song of its own, or a Standard MIDI File named on
// the command line, to virtual ports on the real clock and prints each event's lateness, the
// CPU time per second of playback and the machine's timer floor, with the sleep option on and
// off, as a table and as one key=value line per run. Prints figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/midi.h"
#include "platform/platform.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
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
    uint32_t usec; // microseconds per quarter, exactly as the song has it
};

// The song to play and what it should send: every channel message with its tick, and the
// tempo map the ideal times come from.
struct BenchSong {
    std::string name; // "built-in" or the file's name
    Bytes smf;        // the built-in song's bytes; empty for a file
    std::vector<TimedEvent> expected;
    std::vector<TempoPoint> tempo_map;
    int32_t time_base;
    int32_t end_tick;   // track 1's end, which stops playback
    double limit_s = 0; // a file is played for at most this long (0: to its end)
};

struct Figures {
    size_t events = 0;   // messages matched to the song's events
    size_t expected = 0; // the song's channel events in the stretch played
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
// tempo event 1000 us shorter follows (249,000 us, 240.96 BPM, at 240), which the engine plays
// exactly, like the first.
BenchSong bench_song(int seconds, int bpm) {
    BenchSong song;
    song.name = "built-in";
    song.time_base = TIME_BASE;
    int bars = (seconds * bpm + 239) / 240; // a 4/4 bar lasts 240 / bpm seconds
    song.end_tick = bars * BAR;
    int32_t change = (bars / 2) * BAR;
    uint32_t usec = static_cast<uint32_t>(60000000 / bpm);
    song.tempo_map = {{0, usec}, {change, usec - 1000}};
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
                song.expected.push_back(e);
            }
        }
        tracks.push_back(track_bytes(events, song.end_tick));
    }
    song.smf = smf_file(1, TIME_BASE, tracks);
    return song;
}

// What the song in the current bank should send, read from its tracks as the engine walks
// them: every channel message (with its status byte) and every tempo event of any track.
void expected_from_store(BenchSong& song) {
    song.time_base = g_song.time_base;
    song.end_tick = track_end_tick(g_song.current_bank, 0);
    std::vector<TempoPoint> tempos;
    for (int t = 0; t < g_song.track_count; t++) {
        TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[t]);
        TrackEvent ev;
        while (event_parse(walk, ev)) {
            if (ev.status >= 0x80 && ev.status < 0xF0) {
                Bytes bytes = {ev.status};
                for (int i = 1; i < channel_message_length(ev.status); i++) {
                    bytes.push_back(event_data(ev, static_cast<uint32_t>(i - 1)));
                }
                song.expected.push_back({ev.tick, bytes});
            } else if (ev.status == 0xFF && ev.meta_type == META_TEMPO && ev.data_length >= 3) {
                const uint8_t* d = g_song.arena + ev.data_pos;
                uint32_t usec = static_cast<uint32_t>(d[0] << 16 | d[1] << 8 | d[2]);
                // As the engine plays them: 0 and beyond 600 BPM at 600 BPM.
                tempos.push_back({ev.tick, usec < 100000 ? 100000 : usec});
            }
        }
    }
    // The engine sends track by track, so at one tick the later track's tempo wins.
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoPoint& a, const TempoPoint& b) { return a.tick < b.tick; });
    song.tempo_map = {{0, 500000}};
    for (const TempoPoint& p : tempos) {
        if (p.tick == song.tempo_map.back().tick) {
            song.tempo_map.back().usec = p.usec;
        } else {
            song.tempo_map.push_back(p);
        }
    }
    std::stable_sort(song.expected.begin(), song.expected.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
}

// Nanoseconds from the song's start to `tick` by the tempo map, exactly.
double ideal_ns(const BenchSong& song, int32_t tick) {
    const std::vector<TempoPoint>& map = song.tempo_map;
    int64_t units = 0; // microseconds times the time base
    for (size_t i = 0; i < map.size() && map[i].tick < tick; i++) {
        int32_t until = i + 1 < map.size() && map[i + 1].tick < tick ? map[i + 1].tick : tick;
        units += static_cast<int64_t>(until - map[i].tick) * map[i].usec;
    }
    return static_cast<double>(units) * 1000.0 / song.time_base;
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

// Whether an event falls inside the played stretch: up to track 1's end, which stops
// playback, and within the time limit.
bool played(const BenchSong& song, const TimedEvent& e) {
    return e.tick <= song.end_tick &&
           (song.limit_s <= 0 || ideal_ns(song, e.tick) < song.limit_s * 1e9);
}

// A channel message (at most 3 bytes) as one number.
uint32_t message_key(const Bytes& bytes) {
    uint32_t key = static_cast<uint32_t>(bytes.size()) << 24;
    for (size_t i = 0; i < bytes.size() && i < 3; i++) {
        key |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    }
    return key;
}

// Matches every channel message sent to the earliest not yet matched event of the song with
// the same bytes. The first match is the reference: its lateness counts as 0.
Figures lateness(const BenchSong& song, const std::vector<HeadlessMidiMessage>& sent) {
    Figures f;
    std::map<uint32_t, std::deque<const TimedEvent*>> waiting;
    for (const TimedEvent& e : song.expected) {
        waiting[message_key(e.bytes)].push_back(&e);
        f.expected += played(song, e) ? 1 : 0;
    }
    std::vector<std::pair<double, double>> points; // ideal seconds, lateness ms
    bool started = false;
    double start_ns = 0;
    for (const HeadlessMidiMessage& m : sent) {
        if (m.bytes.empty() || m.bytes[0] < 0x80 || m.bytes[0] >= 0xF0) {
            continue; // MIDI clock, stop, exclusive messages and the like are not matched
        }
        auto found = waiting.find(message_key(m.bytes));
        if (found == waiting.end() || found->second.empty()) {
            f.unmatched++;
            continue;
        }
        const TimedEvent& e = *found->second.front();
        found->second.pop_front();
        double ideal = ideal_ns(song, e.tick);
        if (!started) {
            started = true;
            start_ns = static_cast<double>(m.steady_ns) - ideal;
        }
        double late_ms = (static_cast<double>(m.steady_ns) - start_ns - ideal) / 1e6;
        points.push_back({ideal / 1e9, late_ms});
    }
    f.events = points.size();
    if (points.empty()) {
        return f;
    }
    // Medians of whole seconds, so that a few stalls do not pass for drift; a file may leave
    // seconds without events, so the first and the last second with events are compared.
    std::vector<std::vector<double>> seconds;
    std::vector<double> late;
    for (auto [x, y] : points) {
        size_t second = static_cast<size_t>(x < 0 ? 0 : x);
        if (second >= seconds.size()) {
            seconds.resize(second + 1);
        }
        seconds[second].push_back(y);
        late.push_back(y);
    }
    size_t first = 0;
    while (seconds[first].empty()) {
        first++;
    }
    size_t last = seconds.size() - 1; // the last point's second is never empty
    for (std::vector<double>& second : seconds) {
        std::sort(second.begin(), second.end());
    }
    f.p99_first_second = percentile(seconds[first], 0.99);
    if (last > first) {
        f.drift_ms_per_s = (percentile(seconds[last], 0.5) - percentile(seconds[first], 0.5)) /
                           static_cast<double>(last - first);
    }
    std::sort(late.begin(), late.end());
    f.p50 = percentile(late, 0.5);
    f.p99 = percentile(late, 0.99);
    f.max = late.back();
    f.min = late.front();
    return f;
}

bool load_path(const std::string& path) {
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path.c_str());
    file_name_from_path();
    return song_load() == SongLoadResult::loaded;
}

bool load_built_in(const BenchSong& song) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("zb47_engine_bench." + std::to_string(getpid()) + ".mid"))
                           .string();
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = fwrite(song.smf.data(), 1, song.smf.size(), file) == song.smf.size();
    written = fclose(file) == 0 && written;
    bool loaded = written && load_path(path);
    std::filesystem::remove(path);
    return loaded;
}

// What the engine showed during a run, through its display hooks.
struct ShownByEngine {
    int32_t stop_elapsed_ms; // the elapsed time shown when playback stopped
    // Messages sent before the stop: the note-offs a stop sends for sounding notes come after.
    size_t sent_before_stop;
};

ShownByEngine g_shown;

void elapsed_shown(const char* text) {
    unsigned h = 0, m = 0, sec = 0, ms = 0;
    if (sscanf(text, "%u:%u:%u.%u", &h, &m, &sec, &ms) == 4) {
        g_shown.stop_elapsed_ms = static_cast<int32_t>(((h * 60 + m) * 60 + sec) * 1000 + ms);
    }
    std::lock_guard<std::mutex> hold(g_headless_midi.lock);
    g_shown.sent_before_stop = g_headless_midi.sent.size();
}

// A time limit ends a run with a full stop from inside the frame, as the stop key would.
double g_limit_ms = 0;

void limit_step() {
    if (g_limit_ms > 0 && transport_mode() == MODE_PLAYING &&
        g_song_clock.elapsed_ms >= g_limit_ms) {
        transport_stop(true);
    }
}

// One playback from the start to track 1's end (or the time limit), the window timer ticking
// every 20 ms.
Figures play(const BenchSong& song, bool sleep_on) {
    headless_midi_clear_sent();
    position_reset();
    g_settings.slots[SLOT_SLEEP] = sleep_on ? 7 : 6;
    g_limit_ms = song.limit_s * 1000.0;
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
    std::vector<HeadlessMidiMessage> sent = headless_midi_sent();
    sent.resize(std::min(sent.size(), g_shown.sent_before_stop));
    Figures f = lateness(song, sent);
    f.stop_elapsed_ms = g_shown.stop_elapsed_ms;
    f.cpu_percent = 100.0 * static_cast<double>(cpu) / static_cast<double>(wall);
    return f;
}

bool is_number(const char* text) {
    char* end = nullptr;
    strtod(text, &end);
    return end != text && *end == '\0';
}

// A value for a key=value line: no spaces or equals signs.
std::string word(std::string text) {
    for (char& c : text) {
        c = c == ' ' || c == '\t' || c == '=' ? '_' : c;
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    // engine_bench [seconds [bpm]]: the built-in song, at least 10 s; 240 BPM unless another
    // tempo is asked for. engine_bench FILE.mid [seconds]: the file, to the end of its first
    // track or for at most that many seconds.
    bool from_file = argc > 1 && std::filesystem::is_regular_file(argv[1]);
    if (argc > 1 && !from_file && !is_number(argv[1])) {
        fprintf(stderr,
                "engine_bench: %s is not a file\n"
                "usage: engine_bench [seconds [bpm]] | engine_bench FILE.mid [seconds]\n",
                argv[1]);
        return 2;
    }
    platform_select("headless");
    headless_backend_reset();
    engine_reset_all();
    g_headless.clock_driven = false;
    // A file may name other ports with port-prefix events.
    g_headless_midi.out_names = {"bench 1", "bench 2", "bench 3", "bench 4"};
    settings_apply();
    engine_devices_open();
    g_engine_hooks.elapsed_time = elapsed_shown;
    g_engine_hooks.ui_step = limit_step;

    BenchSong song;
    bool loaded = false;
    if (from_file) {
        song.name = std::filesystem::path(argv[1]).filename().string();
        song.limit_s = argc > 2 ? atof(argv[2]) : 0;
        song.limit_s = song.limit_s < 0 ? 0 : song.limit_s;
        loaded = load_path(std::filesystem::absolute(argv[1]).string());
        if (loaded) {
            expected_from_store(song);
        }
    } else {
        int seconds = argc > 1 ? atoi(argv[1]) : 12;
        seconds = seconds < 10 ? 10 : seconds;
        int bpm = argc > 2 ? atoi(argv[2]) : 240;
        bpm = bpm < 30 ? 30 : (bpm > 600 ? 600 : bpm);
        song = bench_song(seconds, bpm);
        loaded = load_built_in(song);
    }
    if (!loaded) {
        fprintf(stderr, "engine_bench: the song could not be loaded\n");
        engine_devices_close();
        return 1;
    }
    double ideal_end_ms = ideal_ns(song, song.end_tick) / 1e6;
    if (song.limit_s > 0 && song.limit_s * 1000.0 < ideal_end_ms) {
        ideal_end_ms = song.limit_s * 1000.0;
    }
    size_t played_events = 0;
    for (const TimedEvent& e : song.expected) {
        played_events += played(song, e) ? 1 : 0;
    }
    double first_bpm = 60e6 / song.tempo_map[0].usec;
    if (from_file) {
        printf("engine_bench: %s: %d tracks, time base %d, %zu tempos (the first %.3f BPM), "
               "%.1f s played, %zu channel events in it per run\n",
               song.name.c_str(), g_song.track_count, song.time_base, song.tempo_map.size(),
               first_bpm, ideal_end_ms / 1000.0, played_events);
    } else {
        printf("engine_bench: %d tracks of 16th notes with 2 controllers each, %.3f BPM, time "
               "base %d, %.1f s, %zu channel events per run\n",
               TRACKS, first_bpm, song.time_base, ideal_end_ms / 1000.0, played_events);
    }
    double tick_ms = song.tempo_map[0].usec / 1000.0 / song.time_base;
    printf("lateness = send time - ideal time; ideal time = the event's time by the song's tempo\n"
           "  map (exact microseconds per quarter), counted from the send time of the first\n"
           "  event matched. The engine sends an event in the first frame whose song_tick >\n"
           "  tick, on a whole-millisecond clock, so about one tick (%.2f ms at the first tempo)\n"
           "  of lateness is inherent; the first event, the reference, carries it too, so\n"
           "  events on schedule spread around 0 by about one tick.\n"
           "drift = change of the median lateness per second of song; stop = the engine's\n"
           "  elapsed time when track 1's end (or the time limit) stopped it, against the\n"
           "  ideal end;\n"
           "cpu = process CPU time per second of playback, in %% of one core;\n"
           "floor = lateness of 1 ms absolute sleeps, measured just before each run on a\n"
           "  thread started like the playback thread, with that loop's own CPU time.\n"
           "The lines that start with run= give the same figures as key=value pairs.\n\n",
           tick_ms);

    struct Row {
        const char* name;
        const char* key;
        bool sleep_on;
        FloorFigures floor;
        Figures figures;
    } rows[] = {{"sleep on", "sleep_on", true, {}, {}}, {"sleep off", "sleep_off", false, {}, {}}};
    for (Row& row : rows) {
        row.floor = timer_floor();
        row.figures = play(song, row.sleep_on);
    }
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
        if (row.figures.unmatched > 0 || row.figures.events != row.figures.expected) {
            printf("%s: %zu messages did not match the song, %zu of %zu events seen\n", row.name,
                   row.figures.unmatched, row.figures.events, row.figures.expected);
        }
    }
    printf("\nreal-time scheduling (SCHED_FIFO) for the playback thread: %s\n",
           rows[0].floor.realtime ? "granted" : "refused, ran as a normal thread");
    printf("target with sleep on: p99 within 0.6 ms of the floor's p99 (%s), at most 2 %% of one "
           "core (%s)\n\n",
           rows[0].figures.p99 <= rows[0].floor.p99 + 0.6 ? "met" : "missed",
           rows[0].figures.cpu_percent <= 2.0 ? "met" : "missed");
    for (const Row& row : rows) {
        const Figures& f = row.figures;
        printf("run=%s song=%s events=%zu expected=%zu unmatched=%zu p50_ms=%.3f p99_ms=%.3f "
               "max_ms=%.3f min_ms=%.3f p99_first_s_ms=%.3f drift_ms_per_s=%.4f stop_ms=%d "
               "ideal_end_ms=%.0f cpu_pct=%.2f floor_p50_ms=%.3f floor_p99_ms=%.3f "
               "floor_max_ms=%.3f floor_cpu_pct=%.2f realtime=%d\n",
               row.key, word(song.name).c_str(), f.events, f.expected, f.unmatched, f.p50, f.p99,
               f.max, f.min, f.p99_first_second, f.drift_ms_per_s, f.stop_elapsed_ms, ideal_end_ms,
               f.cpu_percent, row.floor.p50, row.floor.p99, row.floor.max, row.floor.cpu_percent,
               row.floor.realtime ? 1 : 0);
    }
    engine_devices_close();
    return 0;
}
