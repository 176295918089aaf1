// The title and track-name dialogs and the name event they write: the title keeps 30 bytes,
// a track name 18, never half a double-byte character, and the name goes into the track as a
// track-name meta event at its start.
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/dialogs_internal.h"

#include "common/text_sjis.h"
#include "sequencer/edit/edit.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/screen_modes.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

namespace {

constexpr int TITLE_EDIT = 1000;
constexpr int TRACK_NAME_EDIT = 1003;
constexpr size_t NAME_READ_BYTES = DIALOG_TEXT_SIZE - 1;

// The edit's text into dialog_text, cut to `keep` bytes on a character boundary.
void dialog_text_read(DialogRun& run, int edit, size_t keep) {
    std::string text = dialog_get_text(run, edit, NAME_READ_BYTES);
    size_t n = sjis_cut_length(text.data(), text.size(), keep);
    memcpy(g_dialogs.dialog_text, text.data(), n);
    g_dialogs.dialog_text[n] = '\0';
}

// Page 1's cursor goes back to the song banks, their panel is shown again and the menu
// redrawn.
void menu_back_to_banks(bool redraw) {
    g_menu.menu_cursor[1] = 0;
    if (redraw) {
        g_menu.last_command_key = NO_COMMAND;
        show_command(SHOW_REDRAW);
    }
}

} // namespace

void title_init(void*, DialogRun& run) {
    dialog_set_limit(run, TITLE_EDIT, NAME_READ_BYTES);
    dialog_set_text(run, TITLE_EDIT, g_dialogs.dialog_text);
}

void title_command(void*, DialogRun& run, int id) {
    if (id == CONTROL_CANCEL) {
        menu_back_to_banks(false);
        return;
    }
    if (id != CONTROL_OK) {
        return;
    }
    dialog_text_read(run, TITLE_EDIT, TITLE_BYTES);
    // The title's first 30 bytes; the four after them keep what they held.
    char* title = g_song.slots[g_song.current_bank].song_title;
    size_t n = strlen(g_dialogs.dialog_text);
    for (size_t i = 0; i < TITLE_BYTES; i++) {
        title[i] = i < n ? g_dialogs.dialog_text[i] : '\0';
    }
    write_name_event(0);
    menu_back_to_banks(true);
}

void track_name_init(void*, DialogRun& run) {
    dialog_set_limit(run, TRACK_NAME_EDIT, NAME_READ_BYTES);
    dialog_set_text(run, TRACK_NAME_EDIT, g_dialogs.dialog_text);
}

void track_name_command(void*, DialogRun& run, int id) {
    if (id != CONTROL_OK) {
        return;
    }
    dialog_text_read(run, TRACK_NAME_EDIT, TRACK_NAME_CHARS);
    int track = g_dialogs.edited_track;
    memcpy(g_song.track_names[track], g_dialogs.dialog_text, strlen(g_dialogs.dialog_text) + 1);
    write_name_event(track);
    // Showing the row's panel again redraws the track list with the new name.
    menu_back_to_banks(true);
}

bool write_name_event(int track0) {
    if (track0 < 0 || track0 >= g_song.config.tracks_per_slot) {
        return false;
    }
    size_t length = strlen(g_dialogs.dialog_text);
    uint8_t event[3 + DIALOG_TEXT_SIZE];
    event[0] = STATUS_META;
    event[1] = META_TRACK_NAME;
    event[2] = static_cast<uint8_t>(length);
    memcpy(event + 3, g_dialogs.dialog_text, length);
    // The name to replace stands before the first event with a non-zero delta.
    uint32_t replaced = 0;
    TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track0]);
    TrackEvent ev;
    while (event_parse(walk, ev) && ev.delta == 0) {
        if (ev.status == STATUS_META && ev.meta_type == META_TRACK_NAME) {
            replaced = ev.pos;
            break;
        }
    }
    if (g_edit.hooks.busy_cursor) {
        g_edit.hooks.busy_cursor(true);
    }
    int write_track = g_song.write_track;
    g_song.write_track = track0;
    EditResult result = event_insert_at(0, event, static_cast<uint32_t>(3 + length), replaced);
    g_song.write_track = write_track;
    if (g_edit.hooks.busy_cursor) {
        g_edit.hooks.busy_cursor(false);
    }
    if (result == EditResult::done) {
        dialog_song_rebuilt();
    }
    return result == EditResult::done;
}

void title_dialog_open() {
    const char* title = g_song.slots[g_song.current_bank].song_title;
    snprintf(g_dialogs.dialog_text, sizeof g_dialogs.dialog_text, "%s", title);
    run_dialog(DIALOG_TITLE);
    set_window_title();
}

void track_name_dialog_open(int track0) {
    if (track0 < 0 || track0 >= MAX_TRACKS) {
        return;
    }
    snprintf(g_dialogs.dialog_text, sizeof g_dialogs.dialog_text, "%s", g_song.track_names[track0]);
    g_dialogs.edited_track = track0;
    run_dialog(DIALOG_TRACK_NAME);
}
