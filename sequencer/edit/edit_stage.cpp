// Staging of new chunks: a command builds all it changes before anything is installed, so
// running out of memory part way drops the lot and leaves the song as it was.
#include "sequencer/edit/edit_internal.h"

#include "common/status_line.h"
#include "sequencer/edit/xf_events.h"
#include "songcore/songcore_reset.h"

#include <cstring>

EditState g_edit;

void edit_reset() {
    g_edit = EditState{};
}

void edit_reset_all() {
    songcore_reset_all(SEQUENCER_STORE);
    edit_reset();
    xf_reset();
}

void edit_stage_begin() {
    EditStage& st = g_edit.stage;
    if (st.depth++ == 0) {
        st.arena_mark = g_song.arena_end;
        st.count = 0;
        st.superseded = 0;
        st.saved_track_count = g_song.track_count;
        for (int s = 0; s < g_song.config.slot_count; s++) {
            memcpy(st.saved_headers[s], g_song.arena + g_song.slots[s].header_pos, 6);
        }
    }
}

void edit_stage_put(int slot, int track0, uint32_t pos, bool normalized) {
    EditStage& st = g_edit.stage;
    for (int i = 0; i < st.count; i++) {
        if (st.slot[i] == slot && st.track0[i] == track0) {
            if (st.superseded < EDIT_STAGE_MAX) {
                st.superseded_pos[st.superseded++] = st.pos[i];
            } else {
                edit_out_of_memory(); // never expected: no command stages this much
            }
            st.pos[i] = pos;
            st.normalized[i] = normalized;
            return;
        }
    }
    if (st.count == EDIT_STAGE_MAX) {
        edit_out_of_memory();
        return;
    }
    st.slot[st.count] = slot;
    st.track0[st.count] = track0;
    st.pos[st.count] = pos;
    st.normalized[st.count] = normalized;
    st.count++;
}

void edit_stage_scratch(uint32_t pos) {
    EditStage& st = g_edit.stage;
    if (st.superseded < EDIT_STAGE_MAX) {
        st.superseded_pos[st.superseded++] = pos;
    } else {
        edit_out_of_memory();
    }
}

uint32_t chunk_pull_down(uint32_t pos, uint32_t scratch) {
    if (g_song.memory_over || scratch >= pos) {
        return pos;
    }
    uint32_t size = g_song.arena_end - (pos - 8);
    memmove(g_song.arena + scratch - 8, g_song.arena + pos - 8, size);
    g_song.arena_end = scratch - 8 + size;
    return scratch;
}

uint32_t edit_track_pos(int slot, int track0) {
    const EditStage& st = g_edit.stage;
    for (int i = 0; i < st.count; i++) {
        if (st.slot[i] == slot && st.track0[i] == track0) {
            return st.pos[i];
        }
    }
    return g_song.slots[slot].track_pos[track0];
}

bool edit_track_normalized(int slot, int track0) {
    const EditStage& st = g_edit.stage;
    for (int i = 0; i < st.count; i++) {
        if (st.slot[i] == slot && st.track0[i] == track0) {
            return st.normalized[i];
        }
    }
    return g_song.slots[slot].track_normalized[track0];
}

namespace {

// chunks_remove_many takes a bounded number of chunks at once. Removing the highest chunks
// first moves nothing below them, so the positions of the rest stay valid.
void chunks_remove_in_batches(uint32_t* positions, int count) {
    constexpr int BATCH = MAX_TRACKS + 1;
    for (int i = 1; i < count; i++) {
        for (int j = i; j > 0 && positions[j - 1] < positions[j]; j--) {
            uint32_t t = positions[j - 1];
            positions[j - 1] = positions[j];
            positions[j] = t;
        }
    }
    for (int first = 0; first < count; first += BATCH) {
        int n = count - first < BATCH ? count - first : BATCH;
        chunks_remove_many(positions + first, n);
    }
}

} // namespace

bool edit_stage_commit() {
    EditStage& st = g_edit.stage;
    if (st.depth > 1) {
        st.depth--;
        return !g_song.memory_over;
    }
    st.depth = 0;
    if (g_song.memory_over) {
        g_song.arena_end = st.arena_mark;
        g_song.memory_over = false;
        st.count = 0;
        st.superseded = 0;
        g_song.track_count = st.saved_track_count;
        for (int s = 0; s < g_song.config.slot_count; s++) {
            memcpy(g_song.arena + g_song.slots[s].header_pos, st.saved_headers[s], 6);
        }
        return false;
    }
    uint32_t removed[2 * EDIT_STAGE_MAX];
    int n = 0;
    for (int i = 0; i < st.count; i++) {
        SongSlot& slot = g_song.slots[st.slot[i]];
        removed[n++] = slot.track_pos[st.track0[i]];
        slot.track_pos[st.track0[i]] = st.pos[i];
        slot.track_normalized[st.track0[i]] = st.normalized[i];
        g_song.song_modified_mask |= 1u << st.slot[i];
    }
    for (int i = 0; i < st.superseded; i++) {
        removed[n++] = st.superseded_pos[i];
    }
    chunks_remove_in_batches(removed, n);
    if (st.count > 0) {
        g_song.relocate_pending = true;
    }
    st.count = 0;
    st.superseded = 0;
    return true;
}

EditResult edit_stage_result(bool committed) {
    return committed ? EditResult::done : EditResult::out_of_memory;
}

void edit_out_of_memory() {
    if (!g_song.memory_over) {
        show_status("out of memory");
    }
    g_song.memory_over = true;
}

bool edit_track_valid(int track) {
    return track >= 1 && track <= g_song.config.tracks_per_slot;
}

bool edit_measure_valid(int measure) {
    return measure >= 1 && measure <= g_song.measure_table.last_measure + 2 &&
           measure <= MAX_MEASURES;
}
