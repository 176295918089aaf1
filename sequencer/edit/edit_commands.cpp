// The commands as the panels start them: each reads its fields from g_edit.params.
#include "sequencer/edit/edit_internal.h"

#include "sequencer/edit/accompaniment.h"

namespace {

EditResult command_dispatch(EditCommand command) {
    const EditParams& p = g_edit.params;
    switch (command) {
    case EditCommand::create:
        return create_measures(p.create_measure, p.create_numerator, p.create_denominator,
                               p.create_tempo, p.create_length);
    case EditCommand::copy:
        return copy_measures(p.copy_src_track, p.copy_start, p.copy_length, p.copy_dst_track,
                             p.copy_dst_start, p.copy_times);
    case EditCommand::erase:
        return erase_measures(p.erase_track, p.erase_start, p.erase_length);
    case EditCommand::insert:
        return insert_measures(p.insert_start, p.insert_length, p.insert_at);
    case EditCommand::delete_measures:
        return delete_measures(p.delete_start, p.delete_length);
    case EditCommand::clear_track:
        return clear_track(p.clear_track);
    case EditCommand::quantize:
        return quantize(p.quantize_track, p.quantize_start, p.quantize_length, p.quantize_note,
                        p.quantize_gate);
    case EditCommand::mix:
        return mix_tracks(p.mix_a, p.mix_b, p.mix_out, p.mix_delete);
    case EditCommand::transpose:
        return track_transpose(p.transpose_track, p.transpose_start, p.transpose_length,
                               p.transpose_pitch, p.transpose_velocity, p.transpose_note_from,
                               p.transpose_note_to);
    case EditCommand::combine:
        return tracks_combine(p.combine_time, p.combine_pitch, p.combine_velocity, p.combine_out);
    case EditCommand::move_track:
        return move_track();
    case EditCommand::filter:
        return track_filter_copy(p.filter_in, p.filter_out) == 0 ? EditResult::done
                                                                 : EditResult::out_of_memory;
    case EditCommand::poly_to_mono:
        return poly_to_mono(p.poly_track - 1, p.mono_track - 1, p.poly_voices);
    case EditCommand::event_time_change:
        return event_time_change(p.time_track, p.event_track, p.time_out_track);
    case EditCommand::auto_accompaniment:
        return auto_accompany(p.accomp_track, p.accomp_pattern_song, p.accomp_pattern_track,
                              p.accomp_chord_song, p.accomp_chord_track);
    }
    return EditResult::invalid;
}

} // namespace

EditResult edit_command_run(EditCommand command) {
    if (g_edit.hooks.busy_cursor != nullptr) {
        g_edit.hooks.busy_cursor(true);
    }
    EditResult result = command_dispatch(command);
    if (g_edit.hooks.busy_cursor != nullptr) {
        g_edit.hooks.busy_cursor(false);
    }
    if (result == EditResult::done && g_edit.hooks.song_changed != nullptr) {
        g_edit.hooks.song_changed();
    }
    return result;
}
