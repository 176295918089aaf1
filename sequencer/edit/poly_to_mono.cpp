// POLY >>> MONO: the sustain pedal written out into note lengths and the notes thinned to a
// number of voices; with alt_mode, chords spread over channels instead.
#include "sequencer/edit/edit_internal.h"
#include "songcore/midi_bytes.h"

#include "songcore/track_normalize.h"

#include <cstring>
#include <utility>

namespace {

constexpr int MAX_VOICES = 32;

uint8_t channel_of(const TrackEvent& ev) {
    return ev.status & 0x0F;
}

int key_index(const TrackEvent& ev) {
    return channel_of(ev) * 128 + (event_data(ev, 0) & 0x7F);
}

void note_off_append(uint32_t delta, int index) {
    const uint8_t off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON + index / 128),
                            static_cast<uint8_t>(index % 128), 0};
    arena_append_vlq(delta);
    arena_append(off, sizeof off);
}

// Writes every held note-off of one channel (or of one key when key >= 0), the first after
// `delta` ticks. True when any was written.
bool held_release(int channel, int key, uint32_t delta) {
    int8_t* held = g_track_rewrite.note_counters;
    bool written = false;
    for (int note = 0; note < 128; note++) {
        int index = channel * 128 + note;
        if (key >= 0 && index != key) {
            continue;
        }
        while (held[index] > 0) {
            note_off_append(written ? 0 : delta, index);
            written = true;
            held[index]--;
        }
    }
    return written;
}

// Pedal pass: controller 64 removed, note-offs under a held pedal moved to its release.
// Held note-offs are counted one by one, so overlapping notes of one key each get theirs.
uint32_t pedal_build(uint32_t src_pos) {
    track_rewrite_reset();
    bool pedal[16] = {};
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int32_t written = 0;
    int8_t* held = g_track_rewrite.note_counters;
    while (event_parse(walk, ev)) {
        uint32_t delta = static_cast<uint32_t>(ev.tick - written);
        int kind = note_kind(ev);
        uint8_t channel = channel_of(ev);
        if ((ev.status & 0xF0) == STATUS_CONTROL_CHANGE && event_data(ev, 0) == CC_SUSTAIN) {
            bool down = event_data(ev, 1) >= 65;
            if (!down && pedal[channel] && held_release(channel, -1, delta)) {
                written = ev.tick;
            }
            pedal[channel] = down;
            continue;
        }
        if (kind < 0 && pedal[channel]) {
            if (held[key_index(ev)] < INT8_MAX) {
                held[key_index(ev)]++;
            }
            continue;
        }
        if (kind > 0 && held_release(channel, key_index(ev), delta)) {
            delta = 0;
        }
        event_append_explicit(delta, ev);
        written = ev.tick;
    }
    // A pedal still down at the end releases there.
    uint32_t pending = static_cast<uint32_t>(ev.tick - written);
    bool closed = false;
    for (int c = 0; c < 16; c++) {
        closed = held_release(c, -1, closed ? 0 : pending) || closed;
    }
    track_append_end(closed ? 0 : pending);
    track_chunk_finish(new_pos);
    return new_pos;
}

// Voice pass: at most `voices` notes sound at once; a new note ends the oldest.
uint32_t voice_build(uint32_t src_pos, int voices) {
    track_rewrite_reset();
    int sounding[MAX_VOICES];
    int count = 0;
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int32_t written = 0;
    while (event_parse(walk, ev)) {
        uint32_t delta = static_cast<uint32_t>(ev.tick - written);
        int kind = note_kind(ev);
        if (kind > 0) {
            if (count >= voices) {
                note_off_append(delta, sounding[0]);
                memmove(sounding, sounding + 1,
                        sizeof sounding[0] * static_cast<size_t>(count - 1));
                count--;
                delta = 0;
            }
            sounding[count++] = key_index(ev);
            event_append_explicit(delta, ev);
            written = ev.tick;
            continue;
        }
        if (kind < 0) {
            int i = 0;
            while (i < count && sounding[i] != key_index(ev)) {
                i++;
            }
            if (i == count) {
                continue; // a note already ended
            }
            memmove(sounding + i, sounding + i + 1,
                    sizeof sounding[0] * static_cast<size_t>(count - i - 1));
            count--;
            note_off_append(delta, key_index(ev));
            written = ev.tick;
            continue;
        }
        event_append_explicit(delta, ev);
        written = ev.tick;
    }
    uint32_t pending = static_cast<uint32_t>(ev.tick - written);
    for (int i = 0; i < count; i++) {
        note_off_append(i == 0 ? pending : 0, sounding[i]);
    }
    track_append_end(count > 0 ? 0 : pending);
    track_chunk_finish(new_pos);
    return new_pos;
}

void channel_set(const TrackEvent& ev, int channel) {
    g_song.arena[ev.pos] = static_cast<uint8_t>((ev.status & 0xF0) | channel);
}

// Chords (note-ons at one tick) spread over channels from `first` up, highest note first
// (descending) or lowest first.
void chords_spread(uint32_t pos, int first, bool descending) {
    constexpr int MAX_CHORD = 16;
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    bool more = event_parse(walk, ev);
    while (more) {
        TrackEvent ons[MAX_CHORD];
        NoteOffMatch offs[MAX_CHORD];
        int n = 0;
        int32_t tick = ev.tick;
        while (more && ev.tick == tick) {
            if (note_kind(ev) > 0 && n < MAX_CHORD) {
                ons[n] = ev;
                offs[n] = note_off_find(walk, ev);
                n++;
            }
            more = event_parse(walk, ev);
        }
        // Insertion sort by note, in the order the channels are handed out.
        for (int i = 1; i < n; i++) {
            for (int j = i; j > 0; j--) {
                int a = event_data(ons[j - 1], 0);
                int b = event_data(ons[j], 0);
                if (descending ? a >= b : a <= b) {
                    break;
                }
                std::swap(ons[j - 1], ons[j]);
                std::swap(offs[j - 1], offs[j]);
            }
        }
        for (int i = 0; i < n; i++) {
            int channel = first + i < 15 ? first + i : 15;
            channel_set(ons[i], channel);
            if (offs[i].found) {
                channel_set(offs[i].note_off, channel);
            }
        }
    }
}

// Each note-on takes the lowest free channel from its own upward; its note-off follows.
void channels_allocate(uint32_t pos) {
    bool busy[16] = {};
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        int kind = note_kind(ev);
        if (kind < 0) {
            busy[channel_of(ev)] = false;
        } else if (kind > 0) {
            int channel = channel_of(ev);
            while (channel < 15 && busy[channel]) {
                channel++;
            }
            busy[channel] = true;
            NoteOffMatch off = note_off_find(walk, ev);
            channel_set(ev, channel);
            if (off.found) {
                channel_set(off.note_off, channel);
            }
        }
    }
}

uint32_t spread_build(uint32_t src_pos, int octave) {
    uint32_t copy = normal_copy_build(src_pos);
    if (g_song.memory_over) {
        return copy;
    }
    int first = -1;
    TrackWalk walk = track_walk_begin(copy);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (note_kind(ev) != 0) {
            first = first < 0 ? channel_of(ev) : first;
            channel_set(ev, first);
        }
    }
    if (first < 0) {
        return copy;
    }
    if (octave == 7 || octave == 6) {
        chords_spread(copy, first, octave == 7);
    } else if (octave != 0) {
        channels_allocate(copy);
    }
    return copy;
}

struct PolyArgs {
    int voices;
};

uint32_t poly_build(int track, const void* context) {
    const PolyArgs& args = *static_cast<const PolyArgs*>(context);
    uint32_t pedal = pedal_build(edit_track_pos(g_song.current_bank, track - 1));
    return chunk_pull_down(voice_build(pedal, args.voices), pedal);
}

uint32_t spread_track_build(int track, const void*) {
    return spread_build(edit_track_pos(g_song.current_bank, track - 1), g_edit.params.play_octave);
}

} // namespace

EditResult poly_to_mono(int poly_track0, int mono_track0, int voices) {
    if (voices < 1 || voices > MAX_VOICES) {
        return EditResult::invalid;
    }
    PolyArgs args{voices};
    bool alt = g_edit.params.alt_mode;
    if (poly_track0 == -1 && mono_track0 == -1) {
        EditResult result = edit_tracks_rewrite(1, g_song.track_count,
                                                alt ? spread_track_build : poly_build, &args);
        measure_table_rebuild();
        return result;
    }
    if (poly_track0 < 0 || mono_track0 < 0 || poly_track0 >= g_song.config.tracks_per_slot ||
        mono_track0 >= g_song.config.tracks_per_slot) {
        return EditResult::invalid;
    }
    int bank = g_song.current_bank;
    edit_stage_begin();
    if (alt) {
        // The poly track itself is changed.
        edit_stage_put(bank, poly_track0, spread_track_build(poly_track0 + 1, nullptr), true);
    } else {
        edit_stage_put(bank, mono_track0, poly_build(poly_track0 + 1, &args), true);
    }
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    if (!alt) {
        track_count_include(mono_track0);
    }
    measure_table_rebuild();
    return EditResult::done;
}
