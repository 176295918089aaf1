// Start-up, running and quitting: the handlers of the three screen modes.
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/event_list.h"

#include "common/messages.h"
#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/file_read_all.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/synth.h"
#include "platform/window.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/menu_texts.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/param_effects.h"
#include "sequencer/shell/param_texts.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* WINDOW_CAPTION = "ZB47 MIDI MUSIC SEQUENCER";
constexpr int BACKGROUND_RESOURCE = 113;

// The directory of the program with its trailing separator. The platform gives it without
// one; a separator inside a double-byte character never counts, so the cut walks by character.
void program_dir_find() {
    char dir[PROGRAM_DIR_SIZE - 1] = "";
    if (!platform_program_directory(dir, sizeof dir)) {
        dir[0] = '\0';
    }
    snprintf(g_shell.program_dir, sizeof g_shell.program_dir, "%s%c", dir, PLATFORM_PATH_SEPARATOR);
}

void background_load() {
    char path[PROGRAM_DIR_SIZE + 16];
    snprintf(path, sizeof path, "%szb47.bmp", g_shell.program_dir);
    int slot = 0;
    if (platform_file_exists(path)) {
        slot = load_file_picture(path);
    }
    if (slot != 0) {
        snprintf(path, sizeof path, "%szb47base.rgb", g_shell.program_dir);
        std::vector<uint8_t> rgb;
        if (platform_file_read_all(path, rgb, 3) != FileReadResult::cannot_open) {
            // A short file changes only the bytes it has; bytes past the third do not count.
            size_t got = rgb.size() < 3 ? rgb.size() : 3;
            uint32_t colour = g_draw.base_colour;
            for (size_t i = 0; i < got; i++) {
                colour =
                    (colour & ~(0xFFu << (8 * i))) | (static_cast<uint32_t>(rgb[i]) << (8 * i));
            }
            g_draw.base_colour = colour;
        }
    } else {
        // A picture that does not load is as good as none: the built-in one is used.
        slot = load_resource_picture(BACKGROUND_RESOURCE);
    }
    g_shell.background_slot = slot;
}

// The command line names one song; a path in double quotes loses them.
bool command_line_path(char* out, size_t out_size) {
    const char* text = g_shell.command_line;
    size_t length = strlen(text);
    if (length == 0) {
        return false;
    }
    if (text[0] == '"') {
        text++;
        length = length >= 2 ? length - 2 : 0;
    }
    if (length == 0 || length >= out_size) {
        return false;
    }
    memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

// Returns whether a song named on the command line was loaded.
bool song_store_start() {
    bool settings_found = settings_read() == 0;
    song_store_init(SEQUENCER_STORE);
    settings_apply();
    param_settings_apply();
    // Without a settings file the pages keep their start rows; the zero-filled image would
    // put every page on row A. The system page's row is not kept.
    for (int p = PAGE_FILE; p < MENU_PAGES && settings_found; p++) {
        // A byte that names no row (a damaged or foreign file) would index past the page's
        // texts: the page keeps its first row instead.
        uint8_t row = g_settings.menu_cursor[p - PAGE_FILE];
        g_menu.menu_cursor[p] = row < MENU_ROWS ? row : 0;
    }
    if (g_shell.command_line[0] == '\0') {
        return false;
    }
    // A path that does not fit is not cut to fit: that could name another file.
    if (!command_line_path(g_song_files.file_path, sizeof g_song_files.file_path)) {
        show_status("file not found");
        return false;
    }
    file_name_from_path();
    return song_load() == SongLoadResult::loaded;
}

void settings_store() {
    for (int p = PAGE_FILE; p < MENU_PAGES; p++) {
        settings_menu_cursor_set(p, g_menu.menu_cursor[p]);
    }
    settings_collect();
    settings_write();
}

// Asks about unsaved songs in the Japanese interface; true to go on quitting.
bool quit_confirmed() {
    if (g_song.song_modified_mask == 0 || !g_shell.is_japanese) {
        return true;
    }
    std::string question = utf8_to_sjis("保存されていないデータがありますが終了しますか？");
    std::string caption = utf8_to_sjis("終了確認");
    speak(question.c_str(), 1);
    return platform_ask_ok_cancel(caption.c_str(), question.c_str());
}

} // namespace

void command_line_set(const char* text) {
    snprintf(g_shell.command_line, sizeof g_shell.command_line, "%s", text ? text : "");
}

void screen_mode_step() {
    switch (g_shell.app_state) {
    case STATE_START:
        startup_step();
        break;
    case STATE_RUN:
        run_step();
        break;
    case STATE_QUIT:
        quit_step();
        break;
    default:
        break;
    }
    if (g_shell.swallow_press == 1) {
        g_shell.left_down.store(0);
        g_shell.swallow_press = 0;
    }
}

void startup_step() {
    program_dir_find();
    speech_load(g_shell.program_dir);
    background_load();
    g_shell.is_japanese = platform_system_language() == UiLanguage::japanese ? 1 : 0;
    menu_texts_load(g_shell.is_japanese != 0);
    name_tables_load();
    param_texts_load(g_shell.is_japanese != 0);
    event_list_texts_load();
    // The whole picture: a copy to x 639 would leave the last column black.
    blit(0, 0, g_shell.background_slot, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
    main_fields_draw_all();
    // Said once: why the built-in synthesizer's port is missing or silent. First, so that a
    // song that cannot be read says so last.
    if (platform_synth_status_text()[0] != '\0') {
        show_status(platform_synth_status_text());
    }
    bool song_loaded = song_store_start();
    engine_devices_open();
    // The settings file may have changed the channel and track drawn before it was read.
    show_channel();
    show_track();
    display_position(1, 1, 0);
    display_time_signature(g_song_clock.time_sig_num, g_song_clock.time_sig_den);
    display_tempo(g_song_clock.tempo_bpm);
    show_title();
    show_bank();
    show_octave();
    port_device_latch();
    show_port_device();
    set_window_title();
    if (g_shell.command_line[0] != '\0') {
        if (song_loaded) {
            transport_start();
        }
        g_shell.command_line[0] = '\0';
    }
    g_shell.app_state = STATE_RUN;
}

void run_step() {
    g_shell.pointer_x = g_shell.mouse_x.load();
    g_shell.pointer_y = g_shell.mouse_y.load();
    g_shell.pointer_left = g_shell.left_down.load();
    scheduler_step();
    g_shell.pointer_alt = (g_shell.shift_down.load() || g_shell.right_down.load()) ? 1 : 0;
    if (ui_step() == menu_command_row(MenuCommand::exit)) {
        g_shell.app_state = STATE_QUIT;
    }
}

void quit_step() {
    if (g_song.song_modified_mask != 0 && g_shell.is_japanese) {
        if (quit_confirmed()) {
            g_song.song_modified_mask = 0;
            return; // the next frame quits
        }
        g_menu.menu_cursor[PAGE_SYSTEM] = menu_command_row(MenuCommand::continue_about);
        show_command(SHOW_REDRAW);
        g_shell.swallow_press = 1;
        g_shell.app_state = STATE_RUN;
        return;
    }
    settings_store();
    release_pictures();
}

void release_pictures() {
    picture_slots_release();
    if (g_shell.exit_stage == 0) {
        platform_window_destroy();
    }
    g_shell.exit_stage = 2;
}

bool close_sequence() {
    if (!quit_confirmed()) {
        return false;
    }
    if (g_shell.exit_stage == 0) {
        g_shell.exit_stage = 1;
    }
    if (g_shell.exit_stage < 2) {
        release_pictures();
    }
    platform_window_destroy();
    return true;
}

void set_window_title() {
    const char* title = g_song.slots[g_song.current_bank].song_title;
    if (title[0] == '\0' || title[0] == ' ') {
        platform_window_caption(WINDOW_CAPTION);
    } else {
        std::string caption = std::string(title);
        while (!caption.empty() && caption.back() == ' ') {
            caption.pop_back();
        }
        caption += " - ";
        caption += WINDOW_CAPTION;
        platform_window_caption(caption.c_str());
    }
    show_title();
}
