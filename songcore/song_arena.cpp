// The arena itself: initialisation, appends, chunk replacement and compaction.
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include "common/check.h"
#include "common/status_line.h"

#include <cstring>

SongStore g_song;

namespace {

// Static storage sized for the largest store; a smaller store uses its front part.
uint8_t g_arena_bytes[SEQUENCER_ARENA_LIMIT + ARENA_SLACK];

const uint8_t NEW_SONG_HEADER[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
const uint8_t EMPTY_TRACK[12] = {
    'M', 'T', 'r', 'k', 0, 0, 0, 4, 0x00, STATUS_META, META_END_OF_TRACK, 0x00};
const uint8_t END_OF_TRACK[3] = {STATUS_META, META_END_OF_TRACK, 0x00};

uint32_t arena_capacity() {
    return g_song.config.arena_limit + ARENA_SLACK;
}

} // namespace

void song_store_init(const SongStoreConfig& config) {
    SongStoreHooks hooks = g_song.hooks;
    g_song = SongStore{};
    g_song.hooks = hooks;
    g_song.config = config;
    if (g_song.config.arena_limit > SEQUENCER_ARENA_LIMIT) {
        g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
    }
    g_song.arena = g_arena_bytes;
    memset(g_arena_bytes, 0, arena_capacity());
    for (int slot = 0; slot < config.slot_count; slot++) {
        SongSlot& s = g_song.slots[slot];
        s.header_pos = g_song.arena_end + 8;
        arena_append(NEW_SONG_HEADER, sizeof NEW_SONG_HEADER);
        for (int t = 0; t < config.tracks_per_slot; t++) {
            s.track_pos[t] = track_empty_append();
        }
    }
    memset(g_song.track_play, 0xFF, sizeof g_song.track_play);
    memset(g_song.channel_play, 0xFF, sizeof g_song.channel_play);
    measure_table_rebuild();
}

bool arena_append(const uint8_t* bytes, uint32_t count) {
    ZB_CHECK(g_song.arena_end <= g_song.config.arena_limit + ARENA_SLACK);
    if (static_cast<uint64_t>(g_song.arena_end) + count >= g_song.config.arena_limit) {
        if (!g_song.memory_over) {
            show_status("out of memory");
        }
        g_song.memory_over = true;
        return false;
    }
    memcpy(g_song.arena + g_song.arena_end, bytes, count);
    g_song.arena_end += count;
    return true;
}

bool arena_append_byte(uint8_t byte) {
    return arena_append(&byte, 1);
}

bool arena_append_vlq(uint32_t value) {
    // Four bytes is all a reader takes; ticks never lie further apart than that.
    if (value > static_cast<uint32_t>(TICK_LIMIT)) {
        value = TICK_LIMIT;
    }
    uint8_t digits[5];
    int n = 0;
    do {
        digits[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0 && n < 5);
    uint8_t out[5];
    for (int i = 0; i < n; i++) {
        out[i] = static_cast<uint8_t>(digits[n - 1 - i] | (i < n - 1 ? 0x80 : 0));
    }
    return arena_append(out, static_cast<uint32_t>(n));
}

void arena_put_be(uint32_t pos, int width, uint32_t value) {
    if (static_cast<uint64_t>(pos) + static_cast<uint32_t>(width) > arena_capacity()) {
        return;
    }
    for (int i = width - 1; i >= 0; i--) {
        g_song.arena[pos + static_cast<uint32_t>(i)] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

uint32_t arena_get_be(uint32_t pos, int width) {
    if (static_cast<uint64_t>(pos) + static_cast<uint32_t>(width) > arena_capacity()) {
        return 0;
    }
    uint32_t value = 0;
    for (int i = 0; i < width; i++) {
        value = (value << 8) | g_song.arena[pos + static_cast<uint32_t>(i)];
    }
    return value;
}

uint32_t chunk_data_length(uint32_t pos) {
    ZB_CHECK(pos <= g_song.arena_end);
    return pos >= 4 ? arena_get_be(pos - 4, 4) : 0;
}

uint32_t chunk_total_size(uint32_t pos) {
    return chunk_data_length(pos) + 8;
}

uint32_t track_chunk_begin() {
    uint32_t pos = g_song.arena_end + 8;
    static const uint8_t header[8] = {'M', 'T', 'r', 'k', 0, 0, 0, 4};
    arena_append(header, sizeof header);
    return pos;
}

uint32_t track_empty_append() {
    uint32_t pos = g_song.arena_end + 8;
    arena_append(EMPTY_TRACK, sizeof EMPTY_TRACK);
    return pos;
}

void track_chunk_finish(uint32_t pos) {
    if (g_song.arena_end >= pos) {
        arena_put_be(pos - 4, 4, g_song.arena_end - pos);
    }
}

void track_append_end(uint32_t delta) {
    arena_append_vlq(delta);
    arena_append(END_OF_TRACK, sizeof END_OF_TRACK);
}

uint32_t track_copy_with_end(uint32_t src_pos, int32_t end_tick) {
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int32_t written_tick = 0;
    while (event_parse(walk, ev)) {
        arena_append_vlq(static_cast<uint32_t>(ev.tick - written_tick));
        arena_append(g_song.arena + ev.pos, ev.length);
        written_tick = ev.tick;
    }
    int32_t end = end_tick > ev.tick ? end_tick : ev.tick;
    track_append_end(static_cast<uint32_t>(end - written_tick));
    track_chunk_finish(new_pos);
    return new_pos;
}

void track_replace(uint32_t new_pos, int slot, int track) {
    ZB_CHECK(slot >= 0 && slot < g_song.config.slot_count);
    ZB_CHECK(track >= 0 && track < g_song.config.tracks_per_slot);
    ZB_CHECK(new_pos >= 8 && new_pos - 8 <= g_song.arena_end);
    uint32_t& ref = g_song.slots[slot].track_pos[track];
    uint32_t old_pos = ref;
    ref = new_pos;
    g_song.song_modified_mask |= 1u << slot;
    chunk_remove(old_pos);
    if (g_song.memory_over) {
        ref = old_pos;
        g_song.arena_end = new_pos - 8;
        g_song.memory_over = false;
    }
    g_song.relocate_pending = true;
}

uint32_t chunk_remove(uint32_t pos) {
    return chunks_remove_many(&pos, 1);
}

namespace {

// Bytes removed in front of position p: the sizes of the removed chunks whose data position
// lies before it.
uint32_t removed_before(uint32_t p, const uint32_t* sorted, const uint32_t* sizes, int count) {
    uint32_t total = 0;
    for (int i = 0; i < count && sorted[i] < p; i++) {
        total += sizes[i];
    }
    return total;
}

} // namespace

uint32_t chunks_remove_many(const uint32_t* positions, int count) {
    constexpr int MAX_REMOVE = MAX_TRACKS + 1;
    if (g_song.memory_over || count <= 0 || count > MAX_REMOVE) {
        return 0;
    }
    uint32_t sorted[MAX_REMOVE];
    uint32_t sizes[MAX_REMOVE];
    int n = 0;
    for (int i = 0; i < count; i++) {
        uint32_t pos = positions[i];
        // A length that lies would tear the arena apart when moved by: leave that chunk.
        if (pos < 8 || pos > g_song.arena_end ||
            static_cast<uint64_t>(pos) + chunk_data_length(pos) > g_song.arena_end) {
            continue;
        }
        int k = n++;
        while (k > 0 && sorted[k - 1] > pos) {
            sorted[k] = sorted[k - 1];
            k--;
        }
        sorted[k] = pos;
    }
    int kept = 0;
    for (int i = 0; i < n; i++) {
        bool overlaps = kept > 0 && sorted[i] - 8 < sorted[kept - 1] + sizes[kept - 1] - 8;
        if (!overlaps) {
            sorted[kept] = sorted[i];
            sizes[kept] = chunk_total_size(sorted[i]);
            kept++;
        }
    }
    if (kept == 0) {
        return 0;
    }
    // One sweep: every stretch between removed chunks moves down once.
    uint32_t write = sorted[0] - 8;
    for (int i = 0; i < kept; i++) {
        uint32_t from = sorted[i] - 8 + sizes[i];
        uint32_t to = i + 1 < kept ? sorted[i + 1] - 8 : g_song.arena_end;
        memmove(g_song.arena + write, g_song.arena + from, to - from);
        write += to - from;
    }
    for (int s = 0; s < g_song.config.slot_count; s++) {
        SongSlot& slot = g_song.slots[s];
        slot.header_pos -= removed_before(slot.header_pos, sorted, sizes, kept);
        for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
            slot.track_pos[t] -= removed_before(slot.track_pos[t], sorted, sizes, kept);
        }
    }
    uint32_t total = g_song.arena_end - write;
    g_song.arena_end = write;
    return total;
}

void track_clear(int track) {
    if (g_song.track_count != 1 && track == 1) {
        return;
    }
    uint32_t new_pos = track_empty_append();
    bool written = !g_song.memory_over;
    track_replace(new_pos, g_song.current_bank, track - 1);
    // A clear that ran out of memory left the track's data in place: keep counting it.
    if (written && track == g_song.track_count && track != 1) {
        g_song.track_count--;
    }
}

int32_t track_end_tick(int slot, int track) {
    TrackWalk walk = track_walk_begin(g_song.slots[slot].track_pos[track]);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
    }
    return ev.tick;
}

void track_count_include(int track) {
    if (g_song.track_count <= track) {
        g_song.track_count = track + 1;
    }
}

void time_base_set(int32_t time_base) {
    g_song.time_base = time_base;
    g_song.ticks_per_midi_clock = time_base / 24 > 0 ? time_base / 24 : 1;
}

uint32_t free_memory_kb() {
    return (g_song.config.arena_limit - g_song.arena_end) / 1024;
}

int slot_header_track_count(int slot) {
    return static_cast<int>(arena_get_be(g_song.slots[slot].header_pos + 2, 2));
}

int32_t slot_header_time_base(int slot) {
    return static_cast<int32_t>(arena_get_be(g_song.slots[slot].header_pos + 4, 2));
}

void slot_set_track_count(int slot, int track_count) {
    arena_put_be(g_song.slots[slot].header_pos + 2, 2, static_cast<uint32_t>(track_count));
}
