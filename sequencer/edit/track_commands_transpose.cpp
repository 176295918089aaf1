// Transpose and Combine: notes, velocities and XF chord roots changed in place in a copy of
// a track in its working form, then installed.
#include "sequencer/edit/edit_internal.h"
#include "sequencer/edit/xf_events.h"
#include "songcore/midi_bytes.h"

#include "songcore/track_normalize.h"

namespace {

struct TransposeArgs {
    int start, length, pitch, velocity, note_from, note_to;
    bool alt_mode;
};

int clamp_velocity(int velocity) {
    velocity = velocity < 0 ? 0 : velocity > 127 ? 127 : velocity;
    return velocity == 0 ? 1 : velocity;
}

int transposed_note(const TransposeArgs& args, int note) {
    if (note == args.note_from && args.note_from != args.note_to) {
        note = args.note_to;
    }
    if (args.alt_mode && g_edit.hooks.scale_map != nullptr) {
        note = g_edit.hooks.scale_map(note) & 0x7F;
    }
    note += args.pitch;
    while (note > 127) {
        note -= 12;
    }
    while (note < 0) {
        note += 12;
    }
    return note;
}

void chord_transpose(const TrackEvent& ev, int pitch) {
    XfChord chord;
    if (!xf_chord_read(ev, chord)) {
        return;
    }
    int root = xf_root_semitone(chord.root);
    if (root >= 0) {
        g_song.arena[ev.data_pos + 3] = xf_root_from_semitone(root + pitch);
    }
    int bass = xf_root_semitone(chord.bass_root);
    if (chord.bass_root < XF_NO_BASS && bass >= 0) {
        g_song.arena[ev.data_pos + 5] = xf_root_from_semitone(bass + pitch);
    }
}

uint32_t transpose_build(int track, const void* context) {
    const TransposeArgs& args = *static_cast<const TransposeArgs*>(context);
    int bank = g_song.current_bank;
    EditRange range = measure_range(args.start, args.length);
    uint32_t copy = normal_copy_build(edit_track_pos(bank, track - 1));
    if (g_song.memory_over) {
        return copy;
    }
    g_edit.renames.count = 0;
    TrackWalk walk = track_walk_begin(copy);
    TrackEvent ev;
    while (event_parse(walk, ev) && ev.tick < range.end) {
        renames_apply_passed(walk.pos);
        if (ev.tick < range.start) {
            continue;
        }
        if (ev.status == STATUS_META) {
            chord_transpose(ev, args.pitch);
        } else if (note_kind(ev) > 0) {
            note_set(walk, ev, transposed_note(args, event_data(ev, 0)),
                     clamp_velocity(event_data(ev, 1) + args.velocity));
        }
    }
    renames_apply_all();
    if (args.note_from != args.note_to || args.alt_mode) {
        return chunk_pull_down(notes_dedupe_build(copy), copy);
    }
    return copy;
}

bool note_in_range(int note) {
    return note >= 0 && note <= 127;
}

} // namespace

EditResult track_transpose(int track, int start, int length, int pitch_offset, int velocity_offset,
                           int note_from, int note_to) {
    if (track < 0 || track > g_song.config.tracks_per_slot || !edit_measure_valid(start) ||
        length < 1 || pitch_offset < -127 || pitch_offset > 127 || velocity_offset < -127 ||
        velocity_offset > 127 || !note_in_range(note_from) || !note_in_range(note_to)) {
        return EditResult::invalid;
    }
    TransposeArgs args{start,     length,  pitch_offset,          velocity_offset,
                       note_from, note_to, g_edit.params.alt_mode};
    EditResult result;
    if (track == 0) {
        result = edit_tracks_rewrite(1, g_song.track_count, transpose_build, &args);
    } else {
        edit_stage_begin();
        edit_stage_put(g_song.current_bank, track - 1, transpose_build(track, &args), true);
        result = edit_stage_result(edit_stage_commit());
    }
    measure_table_rebuild();
    return result;
}

namespace {

// The next note-on (velocity above 0) of a walk; false at the end of track.
bool next_note_on(TrackWalk& walk, TrackEvent& ev) {
    while (event_parse(walk, ev)) {
        if (note_kind(ev) > 0) {
            return true;
        }
    }
    return false;
}

} // namespace

EditResult tracks_combine(int time_track, int pitch_track, int velocity_track, int out_track) {
    if (!edit_track_valid(time_track) || !edit_track_valid(pitch_track) ||
        !edit_track_valid(velocity_track) || !edit_track_valid(out_track)) {
        return EditResult::invalid;
    }
    int bank = g_song.current_bank;
    edit_stage_begin();
    uint32_t copy = normal_copy_build(edit_track_pos(bank, time_track - 1));
    if (!g_song.memory_over) {
        g_edit.renames.count = 0;
        TrackWalk pitch = track_walk_begin(edit_track_pos(bank, pitch_track - 1));
        TrackWalk velocity = track_walk_begin(edit_track_pos(bank, velocity_track - 1));
        TrackWalk time = track_walk_begin(copy);
        TrackEvent p_ev, v_ev, t_ev;
        int note = -1;
        int vel = -1;
        for (;;) {
            bool p_more = next_note_on(pitch, p_ev);
            bool v_more = next_note_on(velocity, v_ev);
            note = p_more ? event_data(p_ev, 0) : note;
            vel = v_more ? event_data(v_ev, 1) : vel;
            if (!next_note_on(time, t_ev) || note < 0 || vel < 0) {
                break;
            }
            renames_apply_passed(time.pos);
            // The step in which the pitch or velocity track ran out still changes one note.
            note_set(time, t_ev, note, vel);
            if (!p_more || !v_more) {
                break;
            }
        }
        renames_apply_all();
    }
    uint32_t result = chunk_pull_down(notes_dedupe_build(copy), copy);
    edit_stage_put(bank, out_track - 1, result, true);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    track_count_include(out_track - 1);
    measure_table_rebuild();
    return EditResult::done;
}
