// Move Track: copying tracks within and between song banks with time-base conversion,
// channel selection and delay, plus its two special settings (all tracks into one, one
// track split by channel).
#include "sequencer/edit/edit_internal.h"

#include "common/status_line.h"
#include "songcore/midi_bytes.h"
#include "songcore/track_normalize.h"

namespace {

struct TimeScale {
    int64_t ts, td; // source and destination time base
    int64_t ratio;  // larger over smaller
    int64_t remainder_sum;
    bool warned;
};

// Delta in destination ticks. Scaling down loses the remainders: they are summed, and each
// time the sum reaches a whole destination tick that tick is added back.
uint32_t scaled_delta(TimeScale& scale, int64_t difference) {
    int64_t delta = difference * scale.td / scale.ts;
    if (scale.td < scale.ts) {
        scale.remainder_sum += difference % scale.ratio;
        if (scale.remainder_sum != 0 && !scale.warned) {
            show_status("Time-base con");
            scale.warned = true;
        }
        if (scale.remainder_sum >= scale.ratio) {
            scale.remainder_sum -= scale.ratio;
            delta++;
        }
    }
    return static_cast<uint32_t>(delta < TICK_LIMIT ? delta : TICK_LIMIT);
}

// Scaling up to a larger time base must not carry a track past the furthest tick a walk
// reads.
uint32_t within_limit(int64_t written, uint32_t delta) {
    int64_t room = TICK_LIMIT - written;
    return delta < room ? delta : static_cast<uint32_t>(room > 0 ? room : 0);
}

bool channel_taken(const TrackEvent& ev, int channel) {
    return channel == CHANNEL_ALL || (ev.status & 0x0F) == channel - 1;
}

// Which events the copy takes (the end of track is handled by the caller).
bool event_taken(const TrackEvent& ev, int src_channel, int dst_track) {
    if (ev.status < STATUS_EXCLUSIVE) {
        return channel_taken(ev, src_channel);
    }
    if (src_channel != CHANNEL_ALL) {
        return false;
    }
    if (ev.status != STATUS_META) {
        return true;
    }
    // Signatures, SMPTE offset and their neighbours shape the measure grid only in track 1.
    if (ev.meta_type >= 0x52 && ev.meta_type <= 0x58 && dst_track != 1) {
        return false;
    }
    return ev.meta_type >= 1;
}

// Notes the source left sounding end with the copy, on the channel the copy gives them:
// the counters keep the source channels, which a destination channel replaces.
bool copy_notes_close(uint32_t delta, int dst_channel) {
    if (dst_channel == CHANNEL_ALL) {
        return sounding_notes_close(delta);
    }
    bool written = false;
    for (int i = 0; i < NOTE_COUNTERS; i++) {
        int8_t& counter = g_track_rewrite.note_counters[i];
        while (counter > 0) {
            const uint8_t note_off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON + dst_channel - 1),
                                         static_cast<uint8_t>(i % 128), 0};
            arena_append_vlq(written ? 0 : delta);
            arena_append(note_off, 3);
            counter--;
            written = true;
        }
    }
    return written;
}

struct CopyResult {
    uint32_t pos;
    int32_t end_tick; // in destination ticks
};

CopyResult copy_build(uint32_t src_pos, int src_channel, int dst_track, int dst_channel, int delay,
                      TimeScale& scale) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int64_t last_tick = 0; // source ticks of the last taken event
    int64_t written = 0;   // destination ticks
    while (event_parse(walk, ev)) {
        if (!event_taken(ev, src_channel, dst_track) ||
            !note_pair_track(ev, NotePairMode::counting)) {
            continue;
        }
        int64_t tick = static_cast<int64_t>(ev.tick) + delay;
        tick = tick < 0 ? 0 : tick;
        if (tick < last_tick) {
            tick = last_tick;
        }
        uint32_t delta = within_limit(written, scaled_delta(scale, tick - last_tick));
        last_tick = tick;
        written += delta;
        arena_append_vlq(delta);
        uint8_t status = ev.status;
        if (status < STATUS_EXCLUSIVE && dst_channel != CHANNEL_ALL) {
            status = static_cast<uint8_t>((status & 0xF0) | (dst_channel - 1));
        }
        arena_append_byte(status);
        uint32_t skip = ev.running ? 0 : 1;
        arena_append(g_song.arena + ev.pos + skip, ev.length - skip);
    }
    int64_t end = static_cast<int64_t>(ev.tick) + delay;
    end = end < last_tick ? last_tick : end;
    uint32_t delta = within_limit(written, scaled_delta(scale, end - last_tick));
    track_append_end(copy_notes_close(delta, dst_channel) ? 0 : delta);
    track_chunk_finish(new_pos);
    written += delta;
    return {new_pos, static_cast<int32_t>(written < TICK_LIMIT ? written : TICK_LIMIT)};
}

bool outside_moved_channel(const TrackWalk& after, const TrackEvent& ev, void* context) {
    int src_channel = *static_cast<const int*>(context);
    bool removed = ev.status < STATUS_EXCLUSIVE && channel_taken(ev, src_channel);
    return !removed && paired_event_keep(after, ev, nullptr);
}

// The source without the moved channel.
uint32_t source_remove_build(uint32_t src_pos, int src_channel) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackEventsCopy copy = track_events_copy(src_pos, outside_moved_channel, &src_channel);
    rebuilt_track_end(new_pos, static_cast<uint32_t>(copy.end.tick - copy.written_tick));
    return new_pos;
}

// The current bank's header lags behind track_count until a bank switch or save.
int song_track_count(int slot) {
    return slot == g_song.current_bank ? g_song.track_count : slot_header_track_count(slot);
}

bool song_valid(int song) {
    return song >= 1 && song <= SONG_BANKS && song <= g_song.config.slot_count;
}

bool channel_valid(int channel) {
    return channel >= 1 && channel <= CHANNEL_ALL;
}

} // namespace

EditResult track_copy_between_songs(int src_song, int src_track, int src_channel,
                                    bool delete_from_source, int dst_song, int dst_track,
                                    int dst_channel, int delay) {
    if (!song_valid(src_song) || !song_valid(dst_song) || !edit_track_valid(src_track) ||
        !edit_track_valid(dst_track) || !channel_valid(src_channel) ||
        !channel_valid(dst_channel) || delay < -960 || delay > 1920) {
        return EditResult::invalid;
    }
    int ss = src_song - 1;
    int ds = dst_song - 1;
    if (song_track_count(ss) < src_track) {
        show_status("no data !!   ");
        return EditResult::no_data;
    }
    TimeScale scale{};
    scale.ts = slot_header_time_base(ss);
    scale.td = slot_header_time_base(ds);
    if (scale.ts <= 0 || scale.td <= 0) {
        return EditResult::invalid;
    }
    scale.ratio = scale.ts > scale.td ? scale.ts / scale.td : scale.td / scale.ts;

    edit_stage_begin();
    uint32_t src_pos = edit_track_pos(ss, src_track - 1);
    CopyResult copy = copy_build(src_pos, src_channel, dst_track, dst_channel, delay, scale);
    edit_stage_put(ds, dst_track - 1, copy.pos, true);
    if (dst_track != 1) {
        // Playback ends with track 1: it must reach the end of the new track.
        uint32_t track1 = edit_track_pos(ds, 0);
        TrackWalk walk = track_walk_begin(track1);
        TrackEvent ev;
        while (event_parse(walk, ev)) {
        }
        if (copy.end_tick > ev.tick) {
            edit_stage_put(ds, 0, track_copy_with_end(track1, copy.end_tick),
                           edit_track_normalized(ds, 0));
        }
    }
    // Moving a track onto itself keeps what was copied.
    bool same_track = ss == ds && src_track == dst_track;
    if (delete_from_source && src_channel != CHANNEL_ALL && !same_track) {
        edit_stage_put(ss, src_track - 1,
                       source_remove_build(edit_track_pos(ss, src_track - 1), src_channel), true);
    }
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    // Only now, so a copy that ran out of memory leaves the headers as they were. The
    // current bank counts its tracks in track_count (its header lags behind), which a copy
    // may raise but never lower.
    if (ds == g_song.current_bank) {
        track_count_include(dst_track - 1);
    } else if (slot_header_track_count(ds) < dst_track) {
        slot_set_track_count(ds, dst_track);
    }
    if (ss == g_song.current_bank || ds == g_song.current_bank) {
        slot_set_track_count(g_song.current_bank, g_song.track_count);
    }
    if (ds == g_song.current_bank || ss == g_song.current_bank) {
        measure_table_rebuild();
    }
    return EditResult::done;
}

namespace {

// One track split into sixteen by channel: channel c goes to track c + 1 and leaves track 1.
// Each channel is copied from the original track 1, which is what the copies would read one
// after the other, since removing channel c leaves every other channel as it was.
EditResult split_by_channel(int song) {
    int slot = song - 1;
    edit_stage_begin();
    uint32_t track1 = edit_track_pos(slot, 0);
    for (int c = 1; c <= 16; c++) {
        TimeScale scale{1, 1, 1, 0, false};
        edit_stage_put(slot, c, copy_build(track1, c, c + 1, c, 0, scale).pos, true);
    }
    uint32_t rest = track_chunk_begin();
    {
        // Track 1 keeps its meta and exclusive events only.
        track_rewrite_reset();
        TrackWalk walk = track_walk_begin(track1);
        TrackEvent ev;
        int32_t written = 0;
        while (event_parse(walk, ev)) {
            if (ev.status >= STATUS_EXCLUSIVE) {
                event_append_explicit(static_cast<uint32_t>(ev.tick - written), ev);
                written = ev.tick;
            }
        }
        track_append_end(static_cast<uint32_t>(ev.tick - written));
        track_chunk_finish(rest);
    }
    edit_stage_put(slot, 0, rest, true);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    if (slot_header_track_count(slot) < 17) {
        slot_set_track_count(slot, 17);
    }
    g_song.track_count = g_song.track_count > 17 ? g_song.track_count : 17;
    measure_table_rebuild();
    return EditResult::done;
}

// Every track of the source copied to the same track of the destination, all installed
// together or (out of memory) none.
EditResult copy_all_tracks(const EditParams& p) {
    int ss = p.move_src_song - 1;
    if (!song_valid(p.move_src_song) || !song_valid(p.move_dst_song)) {
        return EditResult::invalid;
    }
    int count = song_track_count(ss);
    edit_stage_begin();
    EditResult result = EditResult::done;
    for (int t = 1; t <= count && t <= MAX_TRACKS && result == EditResult::done; t++) {
        result = track_copy_between_songs(p.move_src_song, t, p.move_src_channel, p.move_delete,
                                          p.move_dst_song, t, p.move_dst_channel, p.move_delay);
    }
    bool committed = edit_stage_commit();
    measure_table_rebuild();
    if (!committed) {
        return EditResult::out_of_memory;
    }
    return result;
}

} // namespace

EditResult move_track() {
    const EditParams& p = g_edit.params;
    int song = p.move_src_song;
    if (p.move_src_song == p.move_dst_song && p.move_delete && song - 1 == g_song.current_bank) {
        if (p.move_src_track == 0 && p.move_dst_track == 1) {
            return merge_all_tracks(p.alt_mode);
        }
        if (p.move_src_track == 1 && g_song.track_count == 1 && p.move_dst_track == 0) {
            return split_by_channel(song);
        }
    }
    if (p.move_src_track == 0 && p.move_dst_track == 0) {
        return copy_all_tracks(p);
    }
    if (p.move_src_track > 0 && p.move_dst_track > 0) {
        return track_copy_between_songs(p.move_src_song, p.move_src_track, p.move_src_channel,
                                        p.move_delete, p.move_dst_song, p.move_dst_track,
                                        p.move_dst_channel, p.move_delay);
    }
    return EditResult::invalid;
}
