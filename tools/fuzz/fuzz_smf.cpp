// Fuzz target: a file image through the whole load path (check, attach, repair, stretch,
// measure table, names), a walk of every track, normalisation and a save; a rejected image
// must leave the store byte for byte as it was.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"
#include "songcore/track_normalize.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Every track of the loaded song must end in a real end of track inside its chunk.
void walk_all_tracks() {
    for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
        TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[t]);
        TrackEvent ev;
        int32_t last_tick = 0;
        while (event_parse(walk, ev)) {
            if (ev.tick < last_tick || ev.pos + ev.length > walk.end) {
                abort();
            }
            last_tick = ev.tick;
        }
        if (ev.synthetic_end) {
            abort();
        }
    }
}

// A normalised track has every status byte, no note-off without its note-on and no note
// left sounding, and ends where the original ended.
void normalize_all_tracks() {
    for (int t = 0; t < g_song.track_count; t++) {
        int32_t end = track_end_tick(0, t);
        if (track_normalize(0, t) != 0) {
            continue; // out of memory: the track stays as it was
        }
        TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[t]);
        TrackEvent ev;
        int open[2048] = {};
        while (event_parse(walk, ev)) {
            int kind = note_kind(ev);
            int index = (ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F);
            if (ev.running || (kind < 0 && open[index] == 0)) {
                abort();
            }
            open[index] += kind;
        }
        for (int n : open) {
            if (n != 0) {
                abort();
            }
        }
        if (ev.synthetic_end || ev.tick != end) {
            abort();
        }
    }
}

// A saved file states in its header exactly the number of track chunks that follow.
void check_saved_track_count(const char* path) {
    FILE* f = fopen(path, "rb");
    if (f == nullptr) {
        return; // nothing saved (an unnamed song, a refused write)
    }
    std::vector<uint8_t> bytes;
    uint8_t block[4096];
    for (size_t n; (n = fread(block, 1, sizeof block, f)) > 0;) {
        bytes.insert(bytes.end(), block, block + n);
    }
    fclose(f);
    auto be32 = [&bytes](size_t at) {
        return static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 |
               bytes[at + 3];
    };
    if (bytes.size() < 14 || memcmp(bytes.data(), "MThd", 4) != 0) {
        abort();
    }
    unsigned stated = bytes[10] << 8 | bytes[11];
    unsigned chunks = 0;
    for (size_t at = 8 + be32(4); at + 8 <= bytes.size(); at += 8 + be32(at + 4)) {
        if (memcmp(bytes.data() + at, "MTrk", 4) != 0) {
            abort();
        }
        chunks++;
    }
    if (stated != chunks) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool initialised = false;
    static char in_path[64];
    static char out_path[64];
    if (!initialised) {
        platform_select("headless");
        snprintf(in_path, sizeof in_path, "/tmp/fuzz_smf_in.%d.mid", getpid());
        snprintf(out_path, sizeof out_path, "/tmp/fuzz_smf_out.%d.mid", getpid());
        initialised = true;
    }
    headless_backend_reset();
    songcore_reset_all(CONVERTER_STORE);
    g_headless.default_answer = true;
    write_temp(in_path, data, size);

    std::vector<uint8_t> before(g_song.arena, g_song.arena + g_song.arena_end);
    SongSlot slot_before = g_song.slots[0];
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", in_path);
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        if (g_song.arena_end != before.size() ||
            memcmp(g_song.arena, before.data(), before.size()) != 0 ||
            memcmp(&slot_before, &g_song.slots[0], sizeof slot_before) != 0) {
            abort();
        }
        return 0;
    }
    walk_all_tracks();
    normalize_all_tracks();
    if (g_song.measure_table.last_measure < 0 || g_song.measure_table.last_measure > 999) {
        abort();
    }
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", out_path);
    g_song.slots[0].song_has_path = true;
    memcpy(g_song.slots[0].song_path, out_path, sizeof out_path);
    song_save(1);
    check_saved_track_count(out_path);
    unlink(out_path);
    unlink(in_path);
    return 0;
}
