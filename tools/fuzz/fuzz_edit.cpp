// Fuzz target: editing commands over whatever a file image loads into. The first bytes
// choose the commands and their fields, the rest is the file. After every command each
// track must end with its end of track, the notes of the current bank must pair up, and a
// command that ran out of memory must leave the store exactly as it was.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sequencer/edit/edit.h"
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t COMMAND_BYTES = 24; // three commands of eight bytes

void check_tracks(bool check_notes) {
    for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
        TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[t]);
        TrackEvent ev;
        int open[NOTE_COUNTERS] = {};
        while (event_parse(walk, ev)) {
            int kind = note_kind(ev);
            int index = (ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F);
            open[index] += kind;
            if (check_notes && open[index] < 0) {
                abort();
            }
        }
        if (ev.synthetic_end) {
            abort();
        }
        for (int n = 0; check_notes && n < NOTE_COUNTERS; n++) {
            if (open[n] != 0) {
                abort();
            }
        }
    }
}

// One command from eight bytes.
EditResult run_command(const uint8_t* b) {
    EditParams& p = g_edit.params;
    p = EditParams{};
    p.alt_mode = (b[7] & 1) != 0;
    p.play_octave = b[7] >> 4;
    int track = 1 + b[1] % g_song.track_count;
    int other = 1 + b[2] % (g_song.track_count + 1);
    int measure = 1 + b[3] % (g_song.measure_table.last_measure + 2);
    int length = 1 + b[4] % 4;
    switch (b[0] % 12) {
    case 0:
        return erase_measures(track, measure, length);
    case 1:
        return delete_measures(measure, length);
    case 2:
        return insert_measures(measure, length, 1 + b[5] % (g_song.measure_table.last_measure + 2));
    case 3:
        return create_measures(measure, 1 + b[5] % 8, 4, 30 + b[6], b[4] % 3);
    case 4:
        return copy_measures(track, measure, length, other, 1 + b[5] % 8, 1 + b[6] % 3);
    case 5:
        return quantize(track, measure, length, quantize_note_up(b[5] % 32), b[6] % 101);
    case 6:
        return mix_tracks(track, other, 1 + b[5] % 8, (b[6] & 1) != 0);
    case 7:
        return track_transpose(b[5] % (g_song.track_count + 1), measure, length, b[6] % 41 - 20,
                               b[6] % 255 - 127, b[2] & 0x7F, b[5] & 0x7F);
    case 8:
        return tracks_combine(track, other > g_song.track_count ? 1 : other, track, 1 + b[5] % 8);
    case 9:
        return poly_to_mono(track - 1, other - 1, 1 + b[5] % 4);
    case 10:
        return event_time_change(track, other > g_song.track_count ? 1 : other, 1 + b[5] % 8);
    default:
        p.move_src_track = b[5] % 2;
        p.move_dst_track = b[6] % 2;
        p.move_delete = true;
        return move_track();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool initialised = false;
    static char in_path[64];
    if (!initialised) {
        platform_select("headless");
        snprintf(in_path, sizeof in_path, "/tmp/fuzz_edit_in.%d.mid", getpid());
        initialised = true;
    }
    if (size < COMMAND_BYTES) {
        return 0;
    }
    headless_backend_reset();
    edit_reset_all();
    g_headless.default_answer = true;
    write_temp(in_path, data + COMMAND_BYTES, size - COMMAND_BYTES);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", in_path);
    file_name_from_path();
    bool loaded = song_load() == SongLoadResult::loaded;
    unlink(in_path);
    if (!loaded) {
        return 0;
    }
    // The loaded tracks are taken as they are: the commands must cope with running status,
    // stray note-offs and notes left sounding.
    for (size_t c = 0; c < COMMAND_BYTES; c += 8) {
        const uint8_t* b = data + c;
        // The last byte sometimes leaves only a little memory.
        if ((b[7] & 6) == 6) {
            g_song.config.arena_limit = g_song.arena_end + 1 + b[6];
        }
        std::vector<uint8_t> before(g_song.arena, g_song.arena + g_song.arena_end);
        SongSlot slot_before = g_song.slots[g_song.current_bank];
        EditResult result = run_command(b);
        g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
        if (g_song.memory_over || g_edit.edit_mode != 0 || g_edit.stage.depth != 0) {
            abort();
        }
        if (result == EditResult::out_of_memory &&
            (g_song.arena_end != before.size() ||
             memcmp(g_song.arena, before.data(), before.size()) != 0 ||
             memcmp(&slot_before, &g_song.slots[g_song.current_bank], sizeof slot_before) != 0)) {
            abort();
        }
        check_tracks(false);
    }
    return 0;
}
