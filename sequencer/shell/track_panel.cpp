// The 32-track lists: names (or ports) of tracks 1 to 32, or 33 to 64 with the alternative
// variant, and their clicks: stepping a track's port, muting, choosing the current track,
// naming a track.
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

constexpr int TRACKS_SHOWN = 32;
constexpr const char* NAME_BLANK = "                  "; // 18 blanks

int first_track() {
    return g_menu.alt_variant != 0 ? TRACKS_SHOWN : 0;
}

// Text cells of a list position 0..31: two columns of 16.
int label_column(int i) {
    return i < LIST_ROWS ? 42 : 60;
}
int list_text_row(int i) {
    return LIST_FIRST_ROW + i % LIST_ROWS;
}

bool label_inverse(TrackList kind, int track) {
    switch (kind) {
    case TrackList::mutes:
        return g_song.track_play[track] != 0;
    case TrackList::select:
        return track == g_song.write_track;
    case TrackList::ports:
        break;
    }
    return false;
}

bool track_is_empty(int track) {
    TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track]);
    TrackEvent ev;
    return !event_parse(walk, ev);
}

void name_draw(int i, int track) {
    int col = label_column(i) + 4;
    int row = list_text_row(i);
    if (track >= g_song.track_count) {
        small_text_at(col, row, "----- ----- ----- ");
    } else if (track_is_empty(track)) {
        set_text_colour(COLOUR_BLUE);
        small_text_at(col, row, "-----nothing----- ");
    } else {
        small_text_at(col, row, NAME_BLANK);
        small_text_at(col, row, g_song.track_names[track]);
    }
}

void entry_draw(TrackList kind, int i) {
    int track = first_track() + i;
    const char* label = number_label(track + 1);
    if (label_inverse(kind, track)) {
        small_text_inverse_at(label_column(i), list_text_row(i), label);
    } else {
        small_text_at(label_column(i), list_text_row(i), label);
    }
    if (kind == TrackList::ports) {
        small_text_at(label_column(i) + 4, list_text_row(i),
                      number_label(g_song.track_port[track] + 1));
    } else {
        name_draw(i, track);
    }
}

void tracing_mark_draw() {
    int i = g_song.tracing_track - 1 - first_track();
    if (!setting_on(SLOT_GUIDE_MODE) || i < 0 || i >= TRACKS_SHOWN) {
        return;
    }
    set_text_colour(COLOUR_RED);
    text_at(label_column(i) - 1, list_text_row(i), "T");
}

// The list position of a click in the cell columns first..last of the left list (or the
// same columns 18 cells on in the right one), or -1.
int list_position_at(int x, int y, int first, int last) {
    int row = list_row_at(y, LIST_ROWS);
    int col = x / 8;
    if (row < 0) {
        return -1;
    }
    if (col >= first && col <= last) {
        return row;
    }
    if (col >= first + 18 && col <= last + 18) {
        return LIST_ROWS + row;
    }
    return -1;
}

// A click on a track's number (columns 42-44 and 60-62) or on its name (46-58, 64-76).
int number_hit(int x, int y) {
    return list_position_at(x, y, 42, 44);
}
int name_hit(int x, int y) {
    return list_position_at(x, y, 46, 58);
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
        int name = name_hit(x, y);
        if (name >= 0) {
            track_name_dialog_open(first_track() + name);
            return;
        }
    }
    int i = number_hit(x, y);
    if (i < 0) {
        return;
    }
    int track = first_track() + i;
    bool alt = g_ui.alt_mode != 0;
    switch (kind) {
    case TrackList::ports: {
        int port = alt ? g_midi_devices.current_out_port : g_song.track_port[track] + 1;
        g_song.track_port[track] = static_cast<uint8_t>(port < port_count() ? port : 0);
        entry_draw(kind, i);
        break;
    }
    case TrackList::mutes: {
        uint8_t play = g_song.track_play[track] != 0 ? 0 : PLAY_ON;
        if (alt) {
            for (uint8_t& p : g_song.track_play) {
                p = play;
            }
        } else {
            g_song.track_play[track] = play;
        }
        track_panel_draw(kind);
        show_track_mute_mark();
        break;
    }
    case TrackList::select: {
        int old = g_song.write_track - first_track();
        g_song.write_track = track;
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
