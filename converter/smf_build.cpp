// SMF building for the ringtone readers.
#include "converter/smf_build.h"

#include "common/text_sjis.h"
#include "converter/converter.h"
#include "converter/ringtone_io.h"
#include "converter/smf_prepare.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"
#include "songcore/track_merge.h"

#include <cstring>

SmfBuild g_smf_build;

void smf_build_begin() {
    g_smf_build = SmfBuild{};
}

bool smf_track_begin() {
    if (g_smf_build.track_count >= g_song.config.tracks_per_slot) {
        return false;
    }
    g_smf_build.chunk_pos = track_chunk_begin();
    g_smf_build.written = 0;
    g_smf_build.pending_count = 0;
    g_smf_build.building = true;
    return true;
}

void smf_event(int64_t time, const uint8_t* bytes, uint32_t count) {
    if (time < g_smf_build.written) {
        time = g_smf_build.written;
    }
    arena_append_vlq(static_cast<uint32_t>(time - g_smf_build.written));
    arena_append(bytes, count);
    g_smf_build.written = time;
}

void smf_event3(int64_t time, uint8_t status, uint8_t d0, uint8_t d1) {
    uint8_t bytes[3] = {status, d0, d1};
    smf_event(time, bytes, 3);
}

void smf_event2(int64_t time, uint8_t status, uint8_t d0) {
    uint8_t bytes[2] = {status, d0};
    smf_event(time, bytes, 2);
}

void smf_sequence_name(const uint8_t* text, uint32_t length) {
    size_t n = sjis_cut_length(reinterpret_cast<const char*>(text), length, TITLE_MAX);
    if (n == 0) {
        return;
    }
    uint8_t head[2] = {STATUS_META, META_TRACK_NAME};
    smf_event(0, head, 2);
    // 128 bytes and more need a second length byte.
    arena_append_vlq(static_cast<uint32_t>(n));
    arena_append(text, static_cast<uint32_t>(n));
}

namespace {

void pending_remove(int i) {
    memmove(&g_smf_build.pending[i], &g_smf_build.pending[i + 1],
            sizeof(PendingOff) * static_cast<size_t>(g_smf_build.pending_count - i - 1));
    g_smf_build.pending_count--;
}

// Keeps the list in due order: equal dues stay in the order they were entered.
void pending_insert(PendingOff off) {
    int i = g_smf_build.pending_count;
    while (i > 0 && g_smf_build.pending[i - 1].due > off.due) {
        g_smf_build.pending[i] = g_smf_build.pending[i - 1];
        i--;
    }
    g_smf_build.pending[i] = off;
    g_smf_build.pending_count++;
}

} // namespace

void smf_offs_due(int64_t time) {
    while (g_smf_build.pending_count > 0 && g_smf_build.pending[0].due <= time) {
        PendingOff off = g_smf_build.pending[0];
        pending_remove(0);
        smf_event3(off.due, static_cast<uint8_t>(STATUS_NOTE_OFF | off.channel), off.key, 0);
    }
}

void smf_note(int64_t time, int channel, int key, int velocity, int duration) {
    if (duration <= 0) {
        return;
    }
    for (int i = 0; i < g_smf_build.pending_count; i++) {
        if (g_smf_build.pending[i].channel == channel && g_smf_build.pending[i].key == key) {
            PendingOff moved = g_smf_build.pending[i];
            pending_remove(i);
            moved.due = time + duration;
            pending_insert(moved);
            return;
        }
    }
    // Velocity 0 would make the note-on a note-off.
    smf_event3(time, static_cast<uint8_t>(STATUS_NOTE_ON | channel), static_cast<uint8_t>(key),
               static_cast<uint8_t>(velocity < 1 ? 1 : velocity));
    if (g_smf_build.pending_count < PENDING_OFFS) {
        pending_insert(
            PendingOff{time + duration, static_cast<uint8_t>(channel), static_cast<uint8_t>(key)});
    }
}

void smf_track_end(int64_t time) {
    if (!g_smf_build.building) {
        return;
    }
    // Notes still sounding at the end are ended where they are due, never left hanging.
    smf_offs_due(INT64_MAX);
    int64_t end = time > g_smf_build.written ? time : g_smf_build.written;
    uint8_t end_of_track[3] = {STATUS_META, META_END_OF_TRACK, 0x00};
    smf_event(end, end_of_track, 3);
    track_chunk_finish(g_smf_build.chunk_pos);
    g_smf_build.out_of_memory = g_smf_build.out_of_memory || g_song.memory_over;
    track_replace(g_smf_build.chunk_pos, 0, g_smf_build.track_count);
    track_count_include(g_smf_build.track_count);
    g_smf_build.track_count++;
    g_smf_build.building = false;
}

bool smf_build_finish(int32_t division) {
    if (g_smf_build.out_of_memory || g_smf_build.track_count == 0) {
        return false;
    }
    uint32_t header = g_song.slots[0].header_pos;
    arena_put_be(header + 4, 2, static_cast<uint32_t>(division));
    time_base_set(division);
    measure_table_rebuild();
    for (int t = 2; t <= g_smf_build.track_count; t++) {
        tracks_mix(1, t, 1, true);
    }
    header = g_song.slots[0].header_pos;
    arena_put_be(header, 2, 0);
    arena_put_be(header + 2, 2, 1);
    return true;
}
