// The measure commands of the edit page: Create, Copy, Delete, Insert, Erase, Clear Track.
#include "sequencer/edit/edit_internal.h"
#include "songcore/midi_bytes.h"

#include "common/status_line.h"

namespace {

struct CreateArgs {
    int measure;
    uint32_t track1_bits; // tempo and signature bits, track 1 only
};

uint32_t create_build(int track, const void* context) {
    const CreateArgs& args = *static_cast<const CreateArgs*>(context);
    g_edit.edit_mode = EDIT_INSERT_TIME | (track == 1 ? args.track1_bits : 0);
    return range_rewrite_build(track - 1, args.measure, 0);
}

// dd of the signature event: the power of two of the note value, 5 for any other value.
uint8_t denominator_power(int denominator) {
    for (uint8_t dd = 1; dd <= 4; dd++) {
        if ((1 << dd) == denominator) {
            return dd;
        }
    }
    return 5;
}

void templates_set(int numerator, int denominator, int tempo) {
    const uint8_t signature[7] = {STATUS_META,
                                  META_TIME_SIGNATURE,
                                  0x04,
                                  static_cast<uint8_t>(numerator),
                                  denominator_power(denominator),
                                  0x24,
                                  0x08};
    for (int i = 0; i < 7; i++) {
        g_edit.signature_template[i] = signature[i];
    }
    uint32_t usec = 60000000u / static_cast<uint32_t>(tempo);
    const uint8_t tempo_event[6] = {STATUS_META,
                                    META_TEMPO,
                                    0x03,
                                    static_cast<uint8_t>(usec >> 16),
                                    static_cast<uint8_t>(usec >> 8),
                                    static_cast<uint8_t>(usec)};
    for (int i = 0; i < 6; i++) {
        g_edit.tempo_template[i] = tempo_event[i];
    }
}

void edit_mode_rest() {
    g_edit.edit_mode = 0;
    g_edit.insert_length = 0;
    g_edit.end_at_least = 0;
}

bool denominator_valid(int denominator) {
    return denominator == 2 || denominator == 4 || denominator == 8 || denominator == 16 ||
           denominator == 32;
}

} // namespace

EditResult create_measures(int measure, int numerator, int denominator, int tempo, int count) {
    if (!edit_measure_valid(measure) || !denominator_valid(denominator) || numerator < 1 ||
        numerator > 2 * denominator || tempo < 1 || tempo > 600 || count < 0 ||
        count > MAX_MEASURES - measure) {
        return EditResult::invalid;
    }
    const MeasureEntry& in_force = measure_entry(measure - 1);
    CreateArgs args{measure, 0};
    templates_set(numerator, denominator, tempo);
    if (in_force.numerator != numerator || in_force.denominator != denominator || measure == 1) {
        args.track1_bits |= EDIT_INSERT_SIGNATURE;
    }
    if (in_force.tempo != static_cast<uint32_t>(tempo) || measure == 1) {
        args.track1_bits |= EDIT_INSERT_TEMPO;
    }
    EditResult result = EditResult::done;
    if (count > 0) {
        // Inserting time and writing tempo and signature at the insertion point in one pass
        // over track 1 gives what two passes would: the old events of the measure move
        // after the new measures either way.
        int64_t length =
            static_cast<int64_t>(g_song.time_base) * 4 / denominator * numerator * count;
        g_edit.insert_length = static_cast<int32_t>(length < TICK_LIMIT ? length : TICK_LIMIT);
        result = edit_tracks_rewrite(1, g_song.track_count, create_build, &args);
    } else if (args.track1_bits != 0) {
        g_edit.insert_length = 0;
        g_edit.edit_mode = EDIT_INSERT_TIME | args.track1_bits;
        result = range_rewrite(1, measure, 0);
    }
    edit_mode_rest();
    measure_table_rebuild();
    return result;
}

EditResult copy_measures(int src_track, int src_start, int length, int dst_track, int dst_start,
                         int times) {
    if (!edit_track_valid(src_track) || !edit_track_valid(dst_track) ||
        !edit_measure_valid(src_start) || !edit_measure_valid(dst_start) || length < 1 ||
        times < 1 || static_cast<int64_t>(length) * times > MAX_MEASURES) {
        return EditResult::invalid;
    }
    int bank = g_song.current_bank;
    g_edit.block.block_repeat = times;
    if (block_locate_in(bank, src_track - 1, src_start, length) == 0) {
        show_status("no data !!   ");
        return EditResult::no_data;
    }
    int32_t song_end = g_song.measure_table.song_end_tick;
    int64_t new_end = static_cast<int64_t>(measure_start_tick(src_start + length) -
                                           measure_start_tick(src_start)) *
                          times +
                      measure_start_tick(dst_start);
    if (new_end > TICK_LIMIT) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    int dst0 = dst_track - 1;
    edit_stage_put(bank, dst0, track_copy_with_end(edit_track_pos(bank, dst0), song_end),
                   edit_track_normalized(bank, dst0));
    if (new_end > song_end) {
        int32_t end = static_cast<int32_t>(new_end);
        edit_stage_put(bank, dst0, track_copy_with_end(edit_track_pos(bank, dst0), end),
                       edit_track_normalized(bank, dst0));
        edit_stage_put(bank, 0, track_copy_with_end(edit_track_pos(bank, 0), end),
                       edit_track_normalized(bank, 0));
        // The destination range is measured on the lengthened grid: with the old last
        // measure it would count as open and erase the track to its end. The staged track 1
        // is read because it is not installed yet.
        MeasureTable& table = g_song.measure_table;
        table.last_measure = measure_table_build(edit_track_pos(bank, 0), table.song_end_tick);
    }
    g_edit.edit_mode = EDIT_INSERT_BLOCK;
    uint32_t pos = range_rewrite_build(dst0, dst_start, length * times);
    edit_stage_put(bank, dst0, pos, true);
    edit_mode_rest();
    bool committed = edit_stage_commit();
    if (committed) {
        track_count_include(dst0);
    }
    measure_table_rebuild();
    return edit_stage_result(committed);
}

namespace {

struct RangeArgs {
    int start, length;
};

uint32_t delete_build(int track, const void* context) {
    const RangeArgs& args = *static_cast<const RangeArgs*>(context);
    return range_rewrite_build(track - 1, args.start, args.length);
}

struct InsertArgs {
    int start, length, at;
};

uint32_t insert_build(int track, const void* context) {
    const InsertArgs& args = *static_cast<const InsertArgs*>(context);
    g_edit.block.block_repeat = 1;
    if (block_locate_in(g_song.current_bank, track - 1, args.start, args.length) == 0) {
        g_edit.insert_length =
            measure_start_tick(args.start + args.length) - measure_start_tick(args.start);
        g_edit.edit_mode = EDIT_INSERT_TIME;
    } else {
        g_edit.edit_mode = EDIT_INSERT_BLOCK;
    }
    return range_rewrite_build(track - 1, args.at, 0);
}

} // namespace

EditResult delete_measures(int start, int length) {
    if (!edit_measure_valid(start) || length < 1) {
        return EditResult::invalid;
    }
    RangeArgs args{start, length};
    g_edit.edit_mode = EDIT_CLOSE_GAP;
    // Every track first reaches the song's end, so all of them close the same gap.
    g_edit.end_at_least = g_song.measure_table.song_end_tick;
    EditResult result = edit_tracks_rewrite(1, g_song.track_count, delete_build, &args);
    edit_mode_rest();
    measure_table_rebuild();
    return result;
}

EditResult insert_measures(int start, int length, int at) {
    if (!edit_measure_valid(start) || !edit_measure_valid(at) || length < 1) {
        return EditResult::invalid;
    }
    InsertArgs args{start, length, at};
    EditResult result = edit_tracks_rewrite(1, g_song.track_count, insert_build, &args);
    edit_mode_rest();
    measure_table_rebuild();
    return result;
}

EditResult erase_measures(int track, int start, int length) {
    if (length < 1) {
        return EditResult::invalid;
    }
    g_edit.edit_mode = 0;
    EditResult result = range_rewrite(track, start, length);
    edit_mode_rest();
    measure_table_rebuild();
    return result;
}

EditResult clear_track(int track) {
    if (!edit_track_valid(track) || (track == 1 && g_song.track_count != 1)) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    edit_stage_put(g_song.current_bank, track - 1, track_empty_append(), true);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    if (track == g_song.track_count && track != 1) {
        g_song.track_count--;
    }
    measure_table_rebuild();
    return EditResult::done;
}
