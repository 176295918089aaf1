// The one event parser every reader of a track uses, bounded by the track's chunk.
#include "songcore/event_parse.h"

#include "songcore/song_store.h"

int channel_message_length(uint8_t status) {
    return (status >= STATUS_PROGRAM_CHANGE && status < STATUS_PITCH_BEND) ? 2 : 3;
}

TrackWalk track_walk_begin(uint32_t track_pos) {
    TrackWalk walk{};
    walk.pos = track_pos;
    walk.end = track_pos;
    if (track_pos >= 8 && track_pos <= g_song.arena_end) {
        uint64_t end = static_cast<uint64_t>(track_pos) + chunk_data_length(track_pos);
        walk.end = static_cast<uint32_t>(end < g_song.arena_end ? end : g_song.arena_end);
    }
    return walk;
}

namespace {

bool stop_walk(TrackWalk& walk, TrackEvent& ev) {
    walk.ended = true;
    ev = TrackEvent{};
    ev.tick = walk.tick;
    ev.pos = walk.pos;
    ev.status = STATUS_META;
    ev.meta_type = META_END_OF_TRACK;
    ev.end_of_track = true;
    ev.synthetic_end = true;
    return false;
}

} // namespace

bool event_parse(TrackWalk& walk, TrackEvent& ev) {
    if (walk.ended) {
        return stop_walk(walk, ev);
    }
    uint32_t pos = walk.pos;
    uint32_t delta = 0;
    if (pos < walk.end && g_song.arena[pos] < 0x80) {
        delta = g_song.arena[pos++]; // most deltas take one byte
    } else if (!arena_get_vlq(pos, walk.end, delta)) {
        return stop_walk(walk, ev);
    }
    if (pos >= walk.end || static_cast<int64_t>(walk.tick) + delta > TICK_LIMIT) {
        return stop_walk(walk, ev);
    }
    const uint8_t* a = g_song.arena;
    uint8_t b = a[pos];
    // Built in a local: writing through `ev` would make the compiler reload the walk.
    TrackEvent next;
    next.tick = walk.tick + static_cast<int32_t>(delta);
    next.delta = delta;
    next.pos = pos;
    next.meta_type = 0;
    next.end_of_track = false;
    next.synthetic_end = false;
    if (b < STATUS_EXCLUSIVE) {
        next.running = b < 0x80;
        uint8_t status = b;
        if (next.running) {
            if (walk.running_status == 0) {
                return stop_walk(walk, ev); // data before any status byte
            }
            status = walk.running_status;
        }
        uint32_t full = static_cast<uint32_t>(channel_message_length(status));
        uint32_t length = full - (next.running ? 1u : 0u);
        if (static_cast<uint64_t>(pos) + length > walk.end) {
            return stop_walk(walk, ev);
        }
        walk.running_status = status;
        next.status = status;
        next.length = length;
        next.data_pos = next.running ? pos : pos + 1;
        next.data_length = full - 1;
    } else {
        next.running = false;
        uint32_t p = pos + 1;
        if (b == STATUS_META) {
            if (p >= walk.end) {
                return stop_walk(walk, ev);
            }
            next.meta_type = a[p];
            p++;
        }
        uint32_t data_length = 0;
        if (!arena_get_vlq(p, walk.end, data_length) ||
            static_cast<uint64_t>(p) + data_length > walk.end) {
            return stop_walk(walk, ev);
        }
        next.status = b;
        next.data_pos = p;
        next.data_length = data_length;
        next.length = p + data_length - pos;
        next.end_of_track = b == STATUS_META && next.meta_type == META_END_OF_TRACK;
    }
    walk.pos = pos + next.length;
    walk.tick = next.tick;
    ev = next;
    if (ev.end_of_track) {
        walk.ended = true;
        return false;
    }
    return true;
}

int note_kind(const TrackEvent& ev) {
    uint8_t kind = ev.status & 0xF0;
    if (kind == STATUS_NOTE_OFF) {
        return -1;
    }
    if (kind == STATUS_NOTE_ON) {
        return event_data(ev, 1) == 0 ? -1 : 1;
    }
    return 0;
}

uint8_t event_data(const TrackEvent& ev, uint32_t i) {
    return i < ev.data_length ? g_song.arena[ev.data_pos + i] : 0;
}
