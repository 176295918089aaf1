// The 32-track lists: names (or ports) of tracks 1 to 32, or 33 to 64 with the alternative
// variant, and their clicks: stepping a track's port, muting, choosing the current track.
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/event_parse.h"
#include "songcore/song_store.h"

namespace {

constexpr int TRACKS_SHOWN = TRACK_LIST.entries;
constexpr const char* NAME_BLANK = "                  "; // 18 blanks

int first_track_index() {
    return g_menu.alt_variant != 0 ? TRACKS_SHOWN : 0;
}

bool label_inverse(TrackList kind, int track_index) {
    switch (kind) {
    case TrackList::mutes:
        return g_song.track_play[track_index] != 0;
    case TrackList::select:
        return track_index == g_song.write_track;
    case TrackList::ports:
        break;
    }
    return false;
}

bool track_is_empty(int track_index) {
    TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track_index]);
    TrackEvent ev;
    return !event_parse(walk, ev);
}

void name_draw(int i, int track_index) {
    int col = list_text_column(TRACK_LIST, i);
    int row = list_text_row(TRACK_LIST, i);
    if (track_index >= g_song.track_count) {
        small_text_at(col, row, "----- ----- ----- ");
    } else if (track_is_empty(track_index)) {
        set_text_colour(COLOUR_BLUE);
        small_text_at(col, row, "-----nothing----- ");
    } else {
        small_text_at(col, row, NAME_BLANK);
        small_text_at(col, row, g_song.track_names[track_index]);
    }
}

void entry_draw(TrackList kind, int i) {
    int track_index = first_track_index() + i;
    const char* label = number_label(track_index + 1);
    if (label_inverse(kind, track_index)) {
        small_text_inverse_at(list_label_column(TRACK_LIST, i), list_text_row(TRACK_LIST, i),
                              label);
    } else {
        small_text_at(list_label_column(TRACK_LIST, i), list_text_row(TRACK_LIST, i), label);
    }
    if (kind == TrackList::ports) {
        small_text_at(list_text_column(TRACK_LIST, i), list_text_row(TRACK_LIST, i),
                      number_label(g_song.track_port[track_index] + 1));
    } else {
        name_draw(i, track_index);
    }
}

void tracing_mark_draw() {
    int i = g_song.tracing_track - 1 - first_track_index();
    if (!setting_on(SLOT_GUIDE_MODE) || i < 0 || i >= TRACKS_SHOWN) {
        return;
    }
    set_text_colour(COLOUR_RED);
    text_at(list_label_column(TRACK_LIST, i) - 1, list_text_row(TRACK_LIST, i), "T");
}

// Ports step through the ports the output list offers.
int port_count() {
    int count = g_midi_devices.out_port_count;
    return count > 0 ? count : 1;
}

} // namespace

void track_panel_draw(TrackList kind) {
    for (int i = 0; i < TRACKS_SHOWN; i++) {
        entry_draw(kind, i);
    }
    tracing_mark_draw();
}

void track_panel_click(TrackList kind, int x, int y) {
    if (kind != TrackList::ports) {
        int name = list_text_at(TRACK_LIST, x, y, TRACK_NAME_CELLS);
        if (name >= 0) {
            track_name_dialog_open(first_track_index() + name);
            return;
        }
    }
    int i = list_label_at(TRACK_LIST, x, y);
    if (i < 0) {
        return;
    }
    int track_index = first_track_index() + i;
    bool alt = g_ui.alt_mode != 0;
    switch (kind) {
    case TrackList::ports: {
        int port = alt ? g_midi_devices.current_out_port : g_song.track_port[track_index] + 1;
        g_song.track_port[track_index] = static_cast<uint8_t>(port < port_count() ? port : 0);
        entry_draw(kind, i);
        break;
    }
    case TrackList::mutes: {
        uint8_t play = g_song.track_play[track_index] != 0 ? 0 : PLAY_ON;
        if (alt) {
            for (uint8_t& p : g_song.track_play) {
                p = play;
            }
        } else {
            g_song.track_play[track_index] = play;
        }
        track_panel_draw(kind);
        show_track_mute_mark();
        break;
    }
    case TrackList::select: {
        int old = g_song.write_track - first_track_index();
        g_song.write_track = track_index;
        if (old >= 0 && old < TRACKS_SHOWN) {
            entry_draw(kind, old);
        }
        entry_draw(kind, i);
        tracing_mark_draw();
        show_track();
        show_track_mute_mark();
        break;
    }
    }
}
