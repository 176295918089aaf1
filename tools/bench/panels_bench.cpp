// Figures of the right panel: how long drawing each kind of list, grid, parameter and
// information panel takes, and a page switch; the information panel on a dense song (17 tracks of
// many notes), since panels are drawn inside a frame and a slow one holds up input.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "sequencer/engine/engine.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/window_events.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"
#include "tools/bench/bench_shell.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

// One short event with a delta below 128.
void put(Bytes& events, uint8_t delta, uint8_t status, uint8_t key, uint8_t velocity) {
    events.insert(events.end(), {delta, status, key, velocity});
}

// 17 tracks, each `notes` notes in chords of three.
Bytes dense_song(int notes) {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 17; t++) {
        Bytes events;
        events.reserve(static_cast<size_t>(notes) * 8 + 4);
        for (int n = 0; n < notes; n++) {
            uint8_t key = static_cast<uint8_t>(36 + (n * 7 + t) % 60);
            put(events, n % 3 == 0 ? 10 : 0, 0x90, key, static_cast<uint8_t>(20 + n % 100));
            if (n % 3 == 2) {
                for (int k = 2; k >= 0; k--) {
                    uint8_t off_key = static_cast<uint8_t>(36 + ((n - k) * 7 + t) % 60);
                    put(events, k == 2 ? 100 : 0, 0x80, off_key, 0);
                }
            }
        }
        events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
        tracks.push_back(events);
    }
    return smf_file(1, 480, tracks);
}

template <typename Step> double microseconds_each(int count, Step step) {
    Clock::time_point begin = Clock::now();
    for (int i = 0; i < count; i++) {
        step();
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - begin).count() / count;
}

double panel_us(int page, int row, int count) {
    return microseconds_each(count, [page, row] {
        g_menu.menu_page = page;
        g_menu.menu_cursor[page] = static_cast<uint8_t>(row);
        list_panel_show(command_key());
    });
}

double param_panel_us(int page, int row, int count) {
    return microseconds_each(count, [page, row] {
        g_menu.menu_page = page;
        g_menu.menu_cursor[page] = static_cast<uint8_t>(row);
        param_panel_show(command_key());
    });
}

// A page chosen by its tab: the menu column drawn anew and the row's panel shown.
double page_switch_us(int count) {
    int i = 0;
    return microseconds_each(count, [&i] {
        g_menu.last_command_key = NO_COMMAND;
        menu_show_command(i++ % 2 == 0 ? 2 : 4);
    });
}

} // namespace

int main(int argc, char** argv) {
    int notes = argc > 1 ? atoi(argv[1]) : 30000;
    bench_headless_start();
    if (!bench_window_open("panels_bench")) {
        return 1;
    }

    Bytes song = dense_song(notes);
    if (bench_load_song("panels_bench", song) != SongLoadResult::loaded) {
        fprintf(stderr, "panels_bench: the song of %d notes a track does not fit the store\n",
                notes);
        return 1;
    }
    printf("song-bank list:        %10.2f us\n", panel_us(1, 0, 2000));
    printf("channel list:          %10.2f us\n", panel_us(2, 2, 2000));
    printf("32-track list:         %10.2f us\n", panel_us(3, 0, 2000));
    printf("program grid:          %10.2f us\n", panel_us(3, 4, 2000));
    printf("metronome panel:       %10.2f us\n", param_panel_us(2, 9, 2000));
    printf("copy panel (ENTER box):%10.2f us\n", param_panel_us(4, 3, 2000));
    printf("page switch (2 <-> 4): %10.2f us\n", page_switch_us(2000));
    printf("information, 17 x %d notes (%zu KB): %10.2f us\n", notes, song.size() / 1024,
           panel_us(2, 11, 20));
    engine_devices_close();
    return 0;
}
