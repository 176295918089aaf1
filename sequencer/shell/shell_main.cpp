// The zb47 program: command-line options, the window, the event loop and the exit.
#include "common/deadline.h"
#include "common/messages.h"
#include "common/status_line.h"
#include "gui/file_chooser.h"
#include "gui/modal.h"
#include "platform/console.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/speech.h"
#include "platform/synth.h"
#include "sequencer/edit/edit.h"
#include "sequencer/edit/xf_events.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/immediate_actions.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panel_commands.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/song_render.h"
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
    // The built-in synthesizer: on with a window, asked for with --synth when headless.
    bool synth = true;
    bool synth_asked = false;
    const char* soundfont = nullptr;
    int audio_period = SYNTH_DEFAULT_AUDIO_PERIOD;
    const char* render_wav = nullptr; // with --render: the song goes to this file
};

int usage() {
    platform_console_print(
        ConsoleStream::error,
        "usage: zb47 [--scale N] [synthesizer options] [SONG.mid]\n"
        "       zb47 --headless [--script FILE] [--log FILE] [--dir DIR] [--synth] [SONG.mid]\n"
        "       zb47 --render SONG.mid OUT.wav [--soundfont FILE] [--dir DIR]\n"
        "  --scale N    show the 640x480 picture N times enlarged (default: what fits)\n"
        "  --headless   no window: the picture stays in memory, MIDI goes to virtual ports\n"
        "  --script F   headless: run the keys, clicks, waits and screenshots of F\n"
        "  --log F      headless: write the run's log (MIDI sent, status texts) to F\n"
        "  --dir D      headless: use D as the program's directory (settings, reader.ini)\n"
        "  --synth      headless: add the built-in synthesizer port to the virtual ports\n"
        "  --render     play the song through the built-in synthesizer into a WAV file\n"
        "synthesizer options:\n"
        "  --soundfont F      the General MIDI sound font (default: the system's)\n"
        "  --audio-period N   frames per audio period, 64-8192 (default 512: 11.6 ms)\n"
        "  --no-synth         no built-in synthesizer port\n");
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
        } else if (strcmp(a, "--render") == 0 && i + 2 < argc && o.song == nullptr) {
            o.song = argv[++i];
            o.render_wav = argv[++i];
        } else if (strcmp(a, "--soundfont") == 0 && has_value) {
            o.soundfont = argv[++i];
        } else if (strcmp(a, "--audio-period") == 0 && has_value) {
            o.audio_period = atoi(argv[++i]);
            if (o.audio_period < SYNTH_MIN_AUDIO_PERIOD ||
                o.audio_period > SYNTH_MAX_AUDIO_PERIOD) {
                return false;
            }
        } else if (strcmp(a, "--no-synth") == 0) {
            o.synth = false;
        } else if (strcmp(a, "--synth") == 0) {
            o.synth_asked = true;
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
    if (o.render_wav != nullptr) {
        return o.script == nullptr && o.log == nullptr && !o.headless;
    }
    return (o.script == nullptr && o.log == nullptr && o.directory == nullptr) || o.headless;
}

void render_progress(int percent) {
    platform_console_print(ConsoleStream::error, "\rzb47: rendering %3d%%", percent);
    if (percent == 100) {
        platform_console_print(ConsoleStream::error, "\n");
    }
}

int render_main(const ProgramOptions& options) {
    platform_select("headless");
    headless_reset();
    headless_follow_system();
    if (options.directory) {
        g_headless.program_directory = options.directory;
    }
    RenderRequest request;
    request.song_path = options.song;
    request.wav_path = options.render_wav;
    request.soundfont_path = options.soundfont;
    request.progress = render_progress;
    RenderResult result = song_render(request);
    if (result == RenderResult::no_synth) {
        platform_console_print(ConsoleStream::error, "zb47: %s\n", platform_synth_message());
    }
    if (result != RenderResult::rendered) {
        platform_console_print(ConsoleStream::error, "zb47: %s: %s\n",
                               result == RenderResult::file_not_written ? options.render_wav
                                                                        : options.song,
                               render_result_text(result));
        return 1;
    }
    platform_console_print(ConsoleStream::error, "zb47: %s written\n", options.render_wav);
    return 0;
}

// The port goes in before the event loop runs: start-up opens the ports and then shows, on the
// status line, why the port is missing or silent.
void synth_start(const ProgramOptions& options) {
    if (!options.synth || (options.headless && !options.synth_asked)) {
        return;
    }
    SynthOptions synth;
    synth.soundfont_path = options.soundfont;
    synth.audio_period = options.audio_period;
    SynthStart started = platform_synth_start(synth);
    if (started == SynthStart::sounding) {
        platform_console_print(
            ConsoleStream::error,
            "zb47: %s: audio period %d frames, sound at most %.1f ms after a send\n",
            SYNTH_PORT_NAME, options.audio_period, platform_synth_latency_ms());
    } else {
        platform_console_print(ConsoleStream::error, "zb47: %s\n", platform_synth_message());
    }
}

void drop_accept(bool on) {
    // Only the song-bank page takes dropped files.
    bool bank_page =
        g_menu.shown_page == PAGE_FILE && selected_command() == MenuCommand::song_bank_select;
    platform_window_drop_accept(on && bank_page);
}

void record_page(bool entering) {
    if (entering) {
        g_shell.page_before_recording = g_menu.menu_page;
        show_command(PAGE_RECORDING);
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
    modal_reset();
    file_chooser_reset();
    dialogs_reset();
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
    dialog_hooks_install();
}

int zb47_main(int argc, char** argv) {
    ProgramOptions options;
    if (!options_parse(argc, argv, options)) {
        return usage();
    }
    platform_console_print(ConsoleStream::error, "zb47: built with: %s\n",
                           platform_built_backends());
    if (options.render_wav != nullptr) {
        return render_main(options);
    }
    if (options.headless ? !platform_select("headless") : !platform_select_desktop()) {
        platform_console_print(ConsoleStream::error,
                               "zb47: built without a window backend; run with --headless\n");
        return 1;
    }
    if (!options.headless) {
        platform_speech_client_set(platform_speech_system_client());
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
    file_chooser_register();
    command_line_set(options.song);
    g_shell.frames_follow_clock = options.script != nullptr;
    WindowOptions window{options.scale, options.script, options.log};
    if (!platform_window_open(WINDOW_CAPTION, window)) {
        platform_console_print(ConsoleStream::error, "zb47: %s\n", platform_window_error());
        platform_speech_close();
        return 1;
    }
    // After the window opens: loading the sound font takes a moment, and the window's
    // system events (a close, a termination) then wait in its queue instead of being lost.
    synth_start(options);
    platform_window_run(SHELL_WINDOW_HANDLERS);
    immediate_actions_finish();
    engine_devices_close();
    platform_synth_stop();
    platform_speech_close();
    if (options.headless && g_headless_window.script_errors > 0) {
        return 3;
    }
    return 0;
}
