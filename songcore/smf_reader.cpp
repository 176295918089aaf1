// Reading a Standard MIDI File into the current bank. The file image becomes the song in
// place; only damaged tracks are rewritten. The file is checked whole before the store
// changes, so a file that fails never costs the user the song already in the bank.
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"

#include "common/byte_cursor.h"
#include "platform/file_read_all.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t SMF_MIN_SIZE = 25;

// The net bytes the bank gives back when its tracks are emptied before the new image lands.
uint64_t bank_clear_gain() {
    const SongSlot& slot = g_song.slots[g_song.current_bank];
    uint64_t gain = 0;
    for (int t = 0; t < g_song.track_count; t++) {
        gain += chunk_total_size(slot.track_pos[t]) - 12;
    }
    return gain;
}

// Empties the bank's tracks in use, as clearing them one by one from the last would, but
// with one pass over the arena instead of one per track.
void bank_clear_tracks() {
    SongSlot& slot = g_song.slots[g_song.current_bank];
    uint32_t old_pos[MAX_TRACKS];
    int count = g_song.track_count;
    for (int t = 0; t < count; t++) {
        old_pos[t] = slot.track_pos[t];
        slot.track_pos[t] = track_empty_append();
    }
    chunks_remove_many(old_pos, count);
    g_song.track_count = 1;
    g_song.song_modified_mask |= 1u << g_song.current_bank;
    g_song.relocate_pending = true;
}

// Walks each attached track once. A track whose walk ends at damage or at its chunk's end
// gets a clean copy with an end of track, so everything after it can rely on well-formed
// tracks. Returns the latest end tick, which the lengthening of track 1 needs.
int32_t tracks_repair(int slot, int track_count) {
    int32_t longest = 0;
    for (int t = 0; t < track_count; t++) {
        TrackWalk walk = track_walk_begin(g_song.slots[slot].track_pos[t]);
        TrackEvent ev;
        while (event_parse(walk, ev)) {
        }
        if (ev.synthetic_end) {
            uint32_t copy = track_copy_with_end(g_song.slots[slot].track_pos[t], ev.tick);
            track_replace(copy, slot, t);
        }
        longest = ev.tick > longest ? ev.tick : longest;
    }
    return longest;
}

void track1_stretch_to(int slot, int32_t longest) {
    if (track_end_tick(slot, 0) < longest) {
        uint32_t copy = track_copy_with_end(g_song.slots[slot].track_pos[0], longest);
        track_replace(copy, slot, 0);
    }
}

} // namespace

SmfCheck smf_image_check(const uint8_t* data, size_t size, int max_tracks, SmfLayout& layout) {
    layout = SmfLayout{};
    if (size < SMF_MIN_SIZE) {
        return SmfCheck::too_short;
    }
    ByteCursor image = byte_cursor(data, size);
    if (!cursor_at_tag(image, "MThd", 4)) {
        return SmfCheck::not_smf;
    }
    cursor_skip(image, 4);
    uint32_t header_length = cursor_be(image, 4);
    // The fields at 8..13 must belong to the header, and the header must be in the file.
    if (header_length < 6 || header_length > cursor_remaining(image)) {
        return SmfCheck::bad_header;
    }
    ByteCursor header = cursor_sub(image, header_length);
    cursor_skip(header, 2); // the format: every format is read the same way
    int announced = static_cast<int>(cursor_be(header, 2));
    if (cursor_be(header, 2) == 0) {
        return SmfCheck::zero_division;
    }
    int wanted = announced < max_tracks ? announced : max_tracks;
    layout.header_length = header_length;
    for (int i = 0; i < wanted; i++) {
        if (!cursor_has(image, 8)) {
            break; // fewer chunks than announced: take the ones that are there
        }
        size_t chunk_offset = image.pos;
        cursor_skip(image, 4);
        uint32_t length = cursor_be(image, 4);
        layout.track_count = i + 1;
        if (length > cursor_remaining(image)) {
            layout.last_chunk_cut = true;
            layout.last_chunk_offset = static_cast<uint32_t>(chunk_offset);
            layout.last_chunk_length = static_cast<uint32_t>(cursor_remaining(image));
            cursor_skip(image, cursor_remaining(image));
            break;
        }
        cursor_skip(image, length);
    }
    if (layout.track_count == 0) {
        return SmfCheck::no_tracks;
    }
    layout.tracks_dropped =
        announced > max_tracks && !layout.last_chunk_cut && cursor_has(image, 8);
    layout.image_size = static_cast<uint32_t>(image.pos);
    return SmfCheck::ok;
}

bool smf_attach(uint32_t start, int track_count) {
    if (g_song.memory_over) {
        return false;
    }
    int bank = g_song.current_bank;
    SongSlot& slot = g_song.slots[bank];
    for (bool& flag : slot.track_normalized) {
        flag = false;
    }
    if (memcmp(g_song.arena + start, "MThd", 4) != 0) {
        g_song.memory_over = true;
        return false;
    }
    uint32_t old_header = slot.header_pos;
    uint32_t old_track_pos[MAX_TRACKS];
    slot.header_pos = start + 8;
    g_song.track_count = track_count;
    time_base_set(static_cast<int32_t>(arena_get_be(start + 12, 2)));
    uint64_t p = start;
    for (int i = 0; i < track_count; i++) {
        old_track_pos[i] = slot.track_pos[i];
        p += arena_get_be(static_cast<uint32_t>(p) + 4, 4) + 8ull;
        uint64_t chunk_end = p + 8 + arena_get_be(static_cast<uint32_t>(p) + 4, 4);
        if (p + 8 > g_song.config.arena_limit || chunk_end > g_song.config.arena_limit) {
            slot.header_pos = old_header;
            for (int j = 0; j < i; j++) {
                slot.track_pos[j] = old_track_pos[j];
            }
            g_song.track_count = slot_header_track_count(bank);
            time_base_set(slot_header_time_base(bank));
            g_song.arena_end = start;
            g_song.memory_over = true;
            return false;
        }
        slot.track_pos[i] = static_cast<uint32_t>(p) + 8;
    }
    g_song.arena_end = static_cast<uint32_t>(p + 8 + arena_get_be(static_cast<uint32_t>(p) + 4, 4));
    // The header states the chunks the bank holds, not what the file announced: a count it
    // did not hold (or beyond the slot's tracks) would come back at the next bank switch.
    slot_set_track_count(bank, track_count);

    uint32_t old_chunks[MAX_TRACKS + 1];
    old_chunks[0] = old_header;
    memcpy(old_chunks + 1, old_track_pos, sizeof(uint32_t) * static_cast<size_t>(track_count));
    chunks_remove_many(old_chunks, track_count + 1);
    // The tracks the header announces beyond the attached ones were emptied: they end at 0.
    track1_stretch_to(bank, tracks_repair(bank, track_count));
    return true;
}

SmfLoadResult smf_file_load(const char* path) {
    int bank = g_song.current_bank;
    uint32_t bank_bit = 1u << bank;
    std::vector<uint8_t> image;
    FileReadResult read = platform_file_read_all(path, image, g_song.config.arena_limit);
    SmfLayout layout{};
    if (read == FileReadResult::cannot_open) {
        return SmfLoadResult::not_found;
    }
    if (read == FileReadResult::read_error) {
        return SmfLoadResult::close_error;
    }
    if (image.size() < SMF_MIN_SIZE) {
        return SmfLoadResult::invalid;
    }
    if (read == FileReadResult::too_large) {
        return SmfLoadResult::memory_over;
    }
    if (smf_image_check(image.data(), image.size(), g_song.config.tracks_per_slot, layout) !=
        SmfCheck::ok) {
        return SmfLoadResult::invalid;
    }
    if (g_song.arena_end + 12ull * static_cast<uint32_t>(g_song.track_count) >=
            g_song.config.arena_limit ||
        g_song.arena_end - bank_clear_gain() + layout.image_size >= g_song.config.arena_limit) {
        return SmfLoadResult::memory_over;
    }

    uint32_t mask_before = g_song.song_modified_mask;
    bank_clear_tracks();
    uint32_t start = g_song.arena_end;
    arena_append(image.data(), layout.image_size);
    if (layout.last_chunk_cut) {
        arena_put_be(start + layout.last_chunk_offset + 4, 4, layout.last_chunk_length);
    }
    SongSlot& slot = g_song.slots[bank];
    memcpy(slot.song_file_name, g_song.current_file_name, sizeof slot.song_file_name);
    slot.song_file_name[FILE_NAME_CHARS] = '\0';
    snprintf(slot.song_path, sizeof slot.song_path, "%s", path);
    slot.song_has_path = true;
    if (!smf_attach(start, layout.track_count)) {
        bank_clear_tracks();
        g_song.song_modified_mask = mask_before;
        return SmfLoadResult::invalid;
    }
    measure_table_rebuild();
    g_song.song_modified_mask = mask_before & ~bank_bit;
    return layout.tracks_dropped ? SmfLoadResult::incomplete : SmfLoadResult::complete;
}
