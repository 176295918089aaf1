// Figures of the event list on a track of 100,000 events in an almost full store: opening the
// list in the middle of the track, moving a controller and moving a note (each a rebuild of
// the whole track). Prints figures; never a pass/fail test.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/window_events.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"
#include "tools/bench/bench_shell.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int EVENTS = 100000;
constexpr int SPACING = 10; // ticks between events

// Track 2: a note-on, a controller, the note-off, over and over.
Bytes long_track() {
    Bytes events;
    events.reserve(EVENTS * 5);
    for (int i = 0; i < EVENTS; i++) {
        uint8_t key = static_cast<uint8_t>(40 + (i / 3) % 40);
        Bytes delta = vlq_bytes(SPACING);
        events.insert(events.end(), delta.begin(), delta.end());
        switch (i % 3) {
        case 0:
            events.insert(events.end(), {0x90, key, 100});
            break;
        case 1:
            events.insert(events.end(), {0xB0, 7, static_cast<uint8_t>(i % 128)});
            break;
        default:
            events.insert(events.end(), {0x80, key, 0});
            break;
        }
    }
    events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
    return events;
}

// Fills the spare slot's last track so that `free_bytes` stay below the limit.
void leave_free(uint32_t free_bytes) {
    int slot = g_song.config.slot_count - 1;
    int track0 = g_song.config.tracks_per_slot - 1;
    uint32_t have = g_song.config.arena_limit - g_song.arena_end;
    if (have <= free_bytes + 64) {
        return;
    }
    uint32_t text = have - free_bytes - 64;
    uint32_t pos = track_chunk_begin();
    arena_append_vlq(0);
    const uint8_t head[2] = {0xFF, 0x01};
    arena_append(head, 2);
    arena_append_vlq(text);
    g_song.arena_end += text; // the text's bytes: whatever the arena holds there
    track_append_end(0);
    track_chunk_finish(pos);
    track_replace(pos, slot, track0);
}

// Wall time, and the processor time of the process: the machine may be busy with others.
struct Mark {
    Clock::time_point wall = Clock::now();
    std::clock_t cpu = std::clock();
};
struct Spent {
    double wall_ms = 0, cpu_ms = 0;
    void add(const Mark& begin) {
        wall_ms += std::chrono::duration<double, std::milli>(Clock::now() - begin.wall).count();
        cpu_ms += 1000.0 * static_cast<double>(std::clock() - begin.cpu) / CLOCKS_PER_SEC;
    }
};

void print(const char* what, const Spent& spent, int rounds) {
    printf("%-38s %8.2f ms wall %8.2f ms cpu\n", what, spent.wall_ms / rounds,
           spent.cpu_ms / rounds);
}

// Presses the time field of line `line`, one step (value button `button`), then ENTER.
void move(int line, int button, Spent& spent) {
    Mark begin;
    event_list_click(EVENT_LIST.time_left + 10, EVENT_LIST.lines_top + 16 * line + 4);
    ScreenPoint step = event_list_point(3 * EVENT_LINES + 2 + button);
    event_list_click(step.x, step.y);
    event_list_click(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y);
    spent.add(begin);
}

} // namespace

int main() {
    bench_headless_start();
    if (!bench_window_open("event_list_bench")) {
        return 1;
    }

    Bytes conductor = concat({tempo_event(0, 500000), end_of_track(EVENTS * SPACING)});
    Bytes song = smf_file(1, 480, {conductor, long_track()});
    if (bench_load_song("event_list_bench", song) != SongLoadResult::loaded) {
        fprintf(stderr, "event_list_bench: the song does not load\n");
        return 1;
    }
    g_song.write_track = 1;
    uint32_t track_bytes = chunk_total_size(g_song.slots[0].track_pos[1]);
    // Room for the three chunks a note's move stages, and little more.
    leave_free(3 * track_bytes + 4096);

    int middle = g_song.measure_table.last_measure / 2;
    g_menu.menu_page = 5;
    g_menu.shown_page = 5;
    g_menu.menu_cursor[5] = 2;
    g_song_clock.current_measure = middle;
    Spent first_open;
    Mark begin;
    event_list_open();
    first_open.add(begin);
    constexpr int ROUNDS = 10;
    Spent open, controller, note;
    for (int i = 0; i < ROUNDS; i++) {
        g_song_clock.current_measure = middle;
        Mark opening;
        event_list_open();
        open.add(opening);
        // Line 0 is a note-on, line 1 its controller: +1 tick and back, alternately.
        move(1, i % 2 == 0 ? 0 : 1, controller);
        g_song_clock.current_measure = middle;
        event_list_open();
        move(0, i % 2 == 0 ? 0 : 1, note);
    }
    printf("track of %d events, %u KB; %u KB free in the store\n", EVENTS, track_bytes / 1024,
           (g_song.config.arena_limit - g_song.arena_end) / 1024);
    print("open the list, first (working form):", first_open, 1);
    print("open the list in the middle:", open, ROUNDS);
    print("move a controller one tick (ENTER):", controller, ROUNDS);
    print("move a note one tick (ENTER):", note, ROUNDS);
    engine_devices_close();
    return 0;
}
