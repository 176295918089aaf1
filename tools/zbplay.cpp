// Plays a Standard MIDI File through the sequencer's engine from the command line: the MIDI
// ports of the system (ALSA), or the headless virtual port with --headless. Until the
// sequencer's window lands this is how the engine is heard.
#include "platform/headless/headless_midi.h"
#include "platform/midi.h"
#include "platform/platform.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<bool> g_interrupted{false};
char g_elapsed[13] = "00:00:00.000";

void on_interrupt(int) {
    g_interrupted = true;
}

// Runs inside the frame routine, so the stop happens on the thread that plays.
void stop_when_interrupted() {
    if (g_interrupted && transport_mode() != MODE_STOPPED) {
        transport_stop(true);
    }
}

void keep_elapsed(const char* text) {
    snprintf(g_elapsed, sizeof g_elapsed, "%s", text);
}

int usage() {
    fprintf(stderr, "usage: zbplay [--headless] [--port N] FILE.mid\n"
                    "  --headless  play to a virtual port and count the messages\n"
                    "  --port N    play every track on output port N (see the list printed)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool headless = false;
    int port = -1;
    const char* path = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--headless") == 0) {
            headless = true;
        } else if (strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            port = atoi(argv[++i]);
        } else if (argv[i][0] != '-' && !path) {
            path = argv[i];
        } else {
            return usage();
        }
    }
    if (!path) {
        return usage();
    }
    platform_select("headless");
    engine_reset_all();
    if (headless) {
        g_headless_midi.out_names = {"virtual port"};
    } else if (!platform_select_midi("alsa")) {
        fprintf(stderr, "zbplay: built without ALSA MIDI ports; playing to a virtual port\n");
        g_headless_midi.out_names = {"virtual port"};
    }
    settings_apply();
    engine_devices_open();
    for (int p = 0; p < g_midi_devices.out_port_count; p++) {
        printf("port %d: %s\n", p, g_midi_devices.out_names[p]);
    }
    if (g_midi_devices.out_port_count == 0) {
        printf("no MIDI output port (is the ALSA sequencer there?): playing silently\n");
    }
    if (port >= 0 && port < g_midi_devices.out_port_count) {
        g_midi_devices.port_map[0] = static_cast<uint8_t>(port);
    }
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path);
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        fprintf(stderr, "zbplay: %s: not loaded\n", path);
        engine_devices_close();
        return 1;
    }
    printf("playing %s: %d tracks, %d measures (Ctrl-C stops)\n", path, g_song.track_count,
           g_song.measure_table.last_measure + 1);
    signal(SIGINT, on_interrupt);
    g_engine_hooks.ui_step = stop_when_interrupted;
    g_engine_hooks.elapsed_time = keep_elapsed;
    position_reset();
    transport_start();
    int shown = -1;
    while (transport_mode() != MODE_STOPPED) {
        engine_timer_tick(); // the window timer's part
        if (g_engine_display.measure.load() * 100 + g_engine_display.beat.load() != shown) {
            shown = g_engine_display.measure.load() * 100 + g_engine_display.beat.load();
            printf("\r%03d:%d  %3d BPM", g_engine_display.measure.load(),
                   g_engine_display.beat.load(), g_engine_display.tempo_bpm.load());
            fflush(stdout);
        }
        platform_sleep_ms(20);
    }
    playback_thread_join();
    printf("\nstopped after %s\n", g_elapsed);
    if (headless || g_midi_devices.out_port_count > 0) {
        printf("%zu messages sent\n", headless_midi_sent().size());
    }
    engine_devices_close();
    return 0;
}
