// Song title and track names taken from the tracks, and switching the current bank.
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include "common/text_sjis.h"
#include "platform/platform.h"

#include <cstring>

namespace {

// Finds a text or track-name event at tick 0 before any later event.
bool find_leading_name(uint32_t track_pos, TrackEvent& found) {
    TrackWalk walk = track_walk_begin(track_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (ev.tick > 0) {
            return false;
        }
        if (ev.status == STATUS_META &&
            (ev.meta_type == META_TEXT || ev.meta_type == META_TRACK_NAME)) {
            found = ev;
            return true;
        }
    }
    return false;
}

} // namespace

void song_scan_names() {
    SongSlot& slot = g_song.slots[g_song.current_bank];
    strcpy(slot.song_title, " ");
    for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
        strcpy(g_song.track_names[t], " ");
        TrackEvent ev;
        if (!find_leading_name(slot.track_pos[t], ev)) {
            continue;
        }
        const char* text = reinterpret_cast<const char*>(g_song.arena + ev.data_pos);
        char name[SONG_TITLE_TEXT_MAX + 1];
        size_t n = sjis_copy_cut(name, text, ev.data_length, SONG_TITLE_TEXT_MAX);
        if (t == 0) {
            memcpy(slot.song_title, name, n + 1);
        }
        if (ev.meta_type == META_TRACK_NAME) {
            sjis_copy_cut(g_song.track_names[t], name, n, TRACK_NAME_CHARS);
        }
    }
    if (g_song.hooks.set_window_title != nullptr) {
        g_song.hooks.set_window_title();
    }
}

void song_bank_select(int bank) {
    if (bank < 0 || bank >= SONG_BANKS || bank >= g_song.config.slot_count) {
        return;
    }
    slot_set_track_count(g_song.current_bank, g_song.track_count);
    g_song.current_bank = bank;
    int count = slot_header_track_count(bank);
    if (count < 1) {
        count = 1;
    }
    if (count > g_song.config.tracks_per_slot) {
        count = g_song.config.tracks_per_slot;
    }
    g_song.track_count = count;
    time_base_set(slot_header_time_base(bank));
    platform_wait_cursor(true);
    measure_table_rebuild();
    platform_wait_cursor(false);
    if (g_song.hooks.bank_selected != nullptr) {
        g_song.hooks.bank_selected();
    }
}
