// Fuzz target: the event list and exclusive editor over whatever a file image loads into.
// The first bytes are presses (a kind and a point each), the rest is the file. After every
// press each track of the song must end with its end of track, the write track's notes must
// pair up once the list has brought it into the working form, and an ENTER that ran out of
// memory must leave the store exactly as it was.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/ui_input.h"
#include "sequencer/shell/window_events.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tools/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t PRESS_BYTES = 3;
constexpr size_t PRESSES = 16;
constexpr size_t HEAD_BYTES = 2 + PRESS_BYTES * PRESSES;

// A track the file left damaged (bytes after its end of track) is judged only once the list
// has rebuilt it: what the list must not do is damage a track.
struct Loaded {
    std::vector<uint8_t> bytes[MAX_TRACKS];
    bool sound[MAX_TRACKS] = {};
};
Loaded g_loaded;

std::vector<uint8_t> track_bytes(int t) {
    uint32_t pos = g_song.slots[g_song.current_bank].track_pos[t];
    return std::vector<uint8_t>(g_song.arena + pos, g_song.arena + pos + chunk_data_length(pos));
}

bool track_sound(int t) {
    int bank = g_song.current_bank;
    bool notes = t == g_song.write_track && g_song.slots[bank].track_normalized[t];
    TrackWalk walk = track_walk_begin(g_song.slots[bank].track_pos[t]);
    TrackEvent ev;
    std::vector<int> open(NOTE_COUNTERS, 0);
    while (event_parse(walk, ev)) {
        int index = (ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F);
        open[index] += note_kind(ev);
        if (notes && open[index] < 0) {
            return false;
        }
    }
    if (ev.synthetic_end || walk.pos != walk.end) {
        return false;
    }
    return !notes || std::none_of(open.begin(), open.end(), [](int n) { return n != 0; });
}

void loaded_remember() {
    for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
        g_loaded.bytes[t] = track_bytes(t);
        g_loaded.sound[t] = track_sound(t);
    }
}

void check_tracks() {
    for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
        bool untouched = track_bytes(t) == g_loaded.bytes[t];
        if ((g_loaded.sound[t] || !untouched) && !track_sound(t)) {
            abort();
        }
    }
}

int memory_messages() {
    return static_cast<int>(std::count(g_headless.status_texts.begin(),
                                       g_headless.status_texts.end(),
                                       std::string("out of memory")));
}

void show_row(MenuCommand command) {
    g_menu.menu_page = PAGE_EVENT_EDIT;
    g_menu.shown_page = PAGE_EVENT_EDIT;
    g_menu.menu_cursor[PAGE_EVENT_EDIT] = static_cast<uint8_t>(menu_command_row(command));
    if (command == MenuCommand::event_edit_mode) {
        event_list_open();
    } else {
        exclusive_editor_open();
    }
}

// One press: b[0] chooses what is pressed, b[1] and b[2] where.
void press(const uint8_t* b) {
    g_ui.alt_mode = (b[0] & 0x80) != 0 ? 2 : 0;
    int kind = b[0] & 0x0F;
    int line_y = EVENT_LIST.lines_top + 1 + b[1] % (CELL_HEIGHT * EVENT_LINES + 8);
    // Text and XF events open dialogs from the value field: with meta events listed, the
    // lines are pressed only on their time field, which never opens one.
    bool meta_shown = g_event_filter.pass[FILTER_META] != 0;
    int x = RIGHT_PANEL.left + b[2] % (RIGHT_PANEL.right - RIGHT_PANEL.left);
    if (kind <= 4 && meta_shown) {
        x = EVENT_LIST.time_left + b[2] % (EVENT_LIST.time_right - EVENT_LIST.time_left);
    }
    if (kind <= 4) {
        event_list_click(x, line_y);
    } else if (kind <= 10) {
        ScreenPoint p = event_list_point(3 * EVENT_LINES + b[1] % 9);
        event_list_click(p.x, p.y);
    } else if (kind == 12) {
        show_row(MenuCommand::exclusive_edit);
        for (int i = 0; i < 4; i++) {
            event_list_click(EXCLUSIVE_EDITOR.origin + 4 +
                                 EXCLUSIVE_EDITOR.pitch * ((b[1] >> (2 * i)) % 6),
                             EXCLUSIVE_EDITOR.pointer_y);
        }
        show_row(MenuCommand::event_edit_mode);
    } else if (kind == 13) {
        g_event_filter.pass[b[1] % FILTER_SWITCHES] ^= 1;
        show_row(MenuCommand::event_edit_mode);
    } else {
        event_editor_step(b[1] % 4);
    }
    g_ui.alt_mode = 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool initialised = false;
    static std::string in_path;
    if (!initialised) {
        platform_select("headless");
        in_path = (std::filesystem::temp_directory_path() /
                   ("fuzz_event_list_in." + std::to_string(getpid()) + ".mid"))
                      .string();
        initialised = true;
    }
    if (size < HEAD_BYTES) {
        return 0;
    }
    headless_backend_reset();
    zb47_reset_all();
    name_tables_load();
    event_list_texts_load();
    g_headless.default_answer = true;
    write_temp(in_path.c_str(), data + HEAD_BYTES, size - HEAD_BYTES);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", in_path.c_str());
    file_name_from_path();
    bool loaded = song_load() == SongLoadResult::loaded;
    unlink(in_path.c_str());
    if (!loaded) {
        return 0;
    }
    g_song.write_track = data[0] % 4;
    g_song_clock.current_measure = data[1] % 4;
    loaded_remember();
    show_row(MenuCommand::event_edit_mode);
    for (size_t i = 0; i < PRESSES; i++) {
        const uint8_t* b = data + 2 + PRESS_BYTES * i;
        if ((b[0] & 0x0F) != 11) {
            press(b);
            check_tracks();
            continue;
        }
        // ENTER, sometimes with little memory left.
        if ((b[1] & 3) == 3) {
            g_song.config.arena_limit = g_song.arena_end + 1 + b[2] * 4;
        }
        std::vector<uint8_t> before(g_song.arena, g_song.arena + g_song.arena_end);
        SongSlot slot_before = g_song.slots[g_song.current_bank];
        int messages = memory_messages();
        event_list_click(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y);
        g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
        if (memory_messages() != messages &&
            (g_song.arena_end != before.size() ||
             memcmp(g_song.arena, before.data(), before.size()) != 0 ||
             memcmp(&slot_before, &g_song.slots[g_song.current_bank], sizeof slot_before) != 0)) {
            abort();
        }
        if (g_song.memory_over || g_edit.stage.depth != 0) {
            abort();
        }
        check_tracks();
    }
    return 0;
}
