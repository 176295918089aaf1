// The zb47 program: command-line options, the window, the event loop and the exit.
#include "common/deadline.h"
#include "common/messages.h"
#include "common/status_line.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "sequencer/edit/edit.h"
#include "sequencer/edit/xf_events.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/immediate_actions.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panel_commands.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/tick_refresh.h"
#include "sequencer/shell/ui_input.h"
#include "sequencer/shell/window_events.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* WINDOW_CAPTION = "ZB47 MIDI MUSIC SEQUENCER";

struct ProgramOptions {
    bool headless = false;
    const char* script = nullptr;
    const char* log = nullptr;
    const char* directory = nullptr;
    int scale = 0;
    const char* song = nullptr;
};

int usage() {
    fprintf(stderr,
            "usage: zb47 [--scale N] [SONG.mid]\n"
            "       zb47 --headless [--script FILE] [--log FILE] [--dir DIR] [SONG.mid]\n"
            "  --scale N    show the 640x480 picture N times enlarged (default: what fits)\n"
            "  --headless   no window: the picture stays in memory, MIDI goes to virtual ports\n"
            "  --script F   headless: run the keys, clicks, waits and screenshots of F\n"
            "  --log F      headless: write the run's log (MIDI sent, status texts) to F\n"
            "  --dir D      headless: use D as the program's directory (settings, reader.ini)\n");
    return 2;
}

bool options_parse(int argc, char** argv, ProgramOptions& o) {
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        bool has_value = i + 1 < argc;
        if (strcmp(a, "--headless") == 0) {
            o.headless = true;
        } else if (strcmp(a, "--script") == 0 && has_value) {
            o.script = argv[++i];
        } else if (strcmp(a, "--log") == 0 && has_value) {
            o.log = argv[++i];
        } else if (strcmp(a, "--dir") == 0 && has_value) {
            o.directory = argv[++i];
        } else if (strcmp(a, "--scale") == 0 && has_value) {
            o.scale = atoi(argv[++i]);
            if (o.scale < 1 || o.scale > 16) {
                return false;
            }
        } else if (a[0] == '-' && a[1] != '\0') {
            return false;
        } else if (o.song == nullptr) {
            o.song = a;
        } else {
            return false;
        }
    }
    return (o.script == nullptr && o.log == nullptr && o.directory == nullptr) || o.headless;
}

void drop_accept(bool on) {
    // Only the song-bank page takes dropped files.
    bool bank_page = g_menu.shown_page == 1 && command_key() == command_of(1, 0);
    platform_window_drop_accept(on && bank_page);
}

void record_page(bool entering) {
    if (entering) {
        g_shell.page_before_recording = g_menu.menu_page;
        show_command(6);
    } else {
        show_command(g_shell.page_before_recording);
    }
}

// The engine shows what an operation is about to do, before the mode changes: a start from
// record standby begins recording, so the record lamp stays on with the play lamp.
void indicator(TransportIndicator shown) {
    bool armed = transport_mode() == MODE_STANDBY || transport_mode() == MODE_RECORDING;
    switch (shown) {
    case TransportIndicator::play:
        show_transport_lamps(true, armed);
        break;
    case TransportIndicator::record:
        show_transport_lamps(false, true);
        break;
    default:
        show_transport_lamps(false, false);
        break;
    }
}

// Kept for the panels that take the last note played.
void note_received(int note, int) {
    g_ui.last_note = note;
}

void out_port_changed() {
    port_device_latch();
    if (g_ui.lower_panel_mode.load() == LOWER_TEMPO) {
        show_port_device();
    }
}

} // namespace

void zb47_reset_all() {
    // The records may change only with no other thread running: the version check's thread
    // is joined here, the playback thread by the engine's list.
    immediate_actions_finish();
    engine_reset_all();
    edit_reset();
    xf_reset();
    draw_reset();
    text_choice_reset();
    shell_reset();
    menu_state_reset();
    ui_input_reset();
    tick_refresh_reset();
    main_fields_reset();
    speech_reset();
    immediate_actions_reset();
    list_panels_reset();
    param_panel_reset();
}

void shell_hooks_install() {
    EngineHooks& e = g_engine_hooks;
    e.screen_handler = screen_mode_step;
    e.input_arrived = platform_window_wake;
    e.drop_accept = drop_accept;
    e.elapsed_time = show_elapsed_text;
    e.record_page = record_page;
    e.step_length = show_step_length;
    e.out_port_changed = out_port_changed;
    e.indicator = indicator;
    e.lyric = show_lyric;
    e.program_panel = program_changed;
    e.input_note = note_received;
    g_song.hooks.set_window_title = set_window_title;
    g_song.hooks.bank_selected = bank_selected_show;
    g_status_line.draw_hook = status_draw;
    menu_hooks_install();
    g_menu_hooks.note_keys = pc_note_keys;
    edit_hooks_install();
}

int zb47_main(int argc, char** argv) {
    ProgramOptions options;
    if (!options_parse(argc, argv, options)) {
        return usage();
    }
    fprintf(stderr, "zb47: built with: %s\n", platform_built_backends());
    if (!platform_select(options.headless ? "headless" : "sdl")) {
        fprintf(stderr, "zb47: built without a window backend (libsdl2-dev was missing); "
                        "run with --headless\n");
        return 1;
    }
    zb47_reset_all();
    if (options.headless) {
        headless_backend_reset();
        headless_follow_system();
        if (options.directory) {
            g_headless.program_directory = options.directory;
        }
        g_headless_midi.out_names = {"virtual port"};
        g_headless_midi.in_names = {"virtual input"};
    }
    shell_hooks_install();
    command_line_set(options.song);
    g_shell.frames_follow_clock = options.script != nullptr;
    WindowOptions window{options.scale, options.script, options.log};
    if (!platform_window_open(WINDOW_CAPTION, window)) {
        fprintf(stderr, "zb47: %s\n", platform_window_error());
        return 1;
    }
    platform_window_run(SHELL_WINDOW_HANDLERS);
    immediate_actions_finish();
    engine_devices_close();
    if (options.headless && g_headless_window.script_errors > 0) {
        return 3;
    }
    return 0;
}
