// Checks of the song store's shape for the random-sequence tests.
#include "tests/support/store_checks.h"

#include "songcore/event_parse.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

::testing::AssertionResult arena_tiled() {
    std::vector<std::pair<uint32_t, uint32_t>> chunks; // start of id, size
    for (int s = 0; s < g_song.config.slot_count; s++) {
        const SongSlot& slot = g_song.slots[s];
        chunks.push_back({slot.header_pos - 8, chunk_total_size(slot.header_pos)});
        for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
            chunks.push_back({slot.track_pos[t] - 8, chunk_total_size(slot.track_pos[t])});
        }
    }
    std::sort(chunks.begin(), chunks.end());
    uint32_t expected = 0;
    for (const auto& [start, size] : chunks) {
        if (start != expected) {
            return ::testing::AssertionFailure()
                   << "chunk at " << start << ", expected " << expected;
        }
        if (memcmp(g_song.arena + start, "MT", 2) != 0) {
            return ::testing::AssertionFailure() << "no chunk id at " << start;
        }
        expected += size;
    }
    if (expected != g_song.arena_end) {
        return ::testing::AssertionFailure()
               << "chunks end at " << expected << ", arena at " << g_song.arena_end;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult track_sound(int slot, int track0, bool check_notes) {
    TrackWalk walk = track_walk_begin(g_song.slots[slot].track_pos[track0]);
    TrackEvent e;
    int counters[NOTE_COUNTERS] = {};
    int32_t last_tick = 0;
    while (event_parse(walk, e)) {
        if (e.tick < last_tick) {
            return ::testing::AssertionFailure() << "slot " << slot << " track " << track0 + 1
                                                 << ": tick goes back at " << e.tick;
        }
        last_tick = e.tick;
        int kind = note_kind(e);
        if (!check_notes || kind == 0) {
            continue;
        }
        int& c = counters[(e.status & 0x0F) * 128 + (event_data(e, 0) & 0x7F)];
        c += kind;
        if (c < 0) {
            return ::testing::AssertionFailure()
                   << "track " << track0 + 1 << ": note-off without note-on at " << e.tick;
        }
    }
    if (e.synthetic_end || walk.pos != walk.end) {
        return ::testing::AssertionFailure() << "slot " << slot << " track " << track0 + 1
                                             << " does not end with its end of track";
    }
    for (int i = 0; check_notes && i < NOTE_COUNTERS; i++) {
        if (counters[i] != 0) {
            return ::testing::AssertionFailure()
                   << "track " << track0 + 1 << ": note " << i << " left sounding";
        }
    }
    return ::testing::AssertionSuccess();
}
