// The backup into bank 10 that runs before a command when the "BACK UP" option is on.
#include "sequencer/edit/edit_internal.h"

#include "common/status_line.h"
#include "songcore/track_merge.h"

#include <cstring>

namespace {

constexpr int BACKUP_SLOT = 9; // bank 10

void backup_track(int track0, uint32_t src_pos) {
    uint32_t copy = track_duplicate(src_pos);
    if (copy != 0) {
        track_replace(copy, BACKUP_SLOT, track0);
    }
}

} // namespace

void command_backup() {
    int bank = g_song.current_bank;
    if (!g_edit.params.backup || bank < 0 || bank >= BACKUP_SLOT ||
        BACKUP_SLOT >= g_song.config.slot_count) {
        return;
    }
    uint32_t mask = g_song.song_modified_mask;
    // The header's count may lag behind tracks written since the last bank switch or save.
    slot_set_track_count(bank, g_song.track_count);
    int count = slot_header_track_count(bank);
    // The backup is an exact copy: same time base and track count, every event byte for byte
    // (a copy through Move Track would rescale times for another time base and leave out
    // signature events outside track 1), and nothing left over from an older backup.
    uint32_t header = g_song.slots[BACKUP_SLOT].header_pos;
    arena_put_be(header + 4, 2, static_cast<uint32_t>(g_song.time_base));
    slot_set_track_count(BACKUP_SLOT, count);
    const SongSlot& src = g_song.slots[bank];
    for (int t = 0; t < count && t < g_song.config.tracks_per_slot; t++) {
        backup_track(t, src.track_pos[t]);
    }
    for (int t = count; t < g_song.config.tracks_per_slot; t++) {
        if (chunk_data_length(g_song.slots[BACKUP_SLOT].track_pos[t]) > 4) {
            track_replace(track_empty_append(), BACKUP_SLOT, t);
        }
    }
    // The bank list shows the copy by the song's title. The copy is no file: bank 10 forgets
    // the file it last came from, so saving it never writes over that file unasked.
    SongSlot& backup = g_song.slots[BACKUP_SLOT];
    memcpy(backup.song_title, src.song_title, sizeof backup.song_title);
    backup.song_file_name[0] = '\0';
    backup.song_path[0] = '\0';
    backup.song_has_path = false;
    g_song.song_modified_mask = mask;
    show_status("  Executing backup");
}
