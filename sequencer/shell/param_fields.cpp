// The table of parameter and command panels, and reading, writing and bounding their values.
#include "sequencer/shell/param_fields.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

namespace {

// Field builders: a kind, bounds and the slot the value lives in; the modifiers below add a
// computed range, a shortcut, a stepping rule or the command parameter.
constexpr ParamField field(FieldKind kind, int slot, int min, int max) {
    return ParamField{kind,
                      FieldRange::fixed,
                      min,
                      max,
                      0,
                      FieldShortcut::none,
                      0,
                      FieldStep::plain,
                      FieldStore::slot,
                      slot,
                      nullptr,
                      nullptr};
}
constexpr ParamField number(int slot, int min, int max) {
    return field(KIND_NUMBER, slot, min, max);
}
constexpr ParamField on_off(int slot) {
    return field(KIND_SWITCH, slot, 0, 1);
}
constexpr ParamField note(int slot) {
    return field(KIND_NOTE, slot, 0, 127);
}
constexpr ParamField ranged(ParamField f, FieldRange range, int ref = 0) {
    f.range = range;
    f.ref = ref;
    return f;
}
constexpr ParamField track_of_song(int slot, int min) {
    return ranged(field(KIND_TRACK, slot, min, MAX_TRACKS), FieldRange::tracks);
}
constexpr ParamField shortcut(ParamField f, FieldShortcut s, int constant = 0) {
    f.shortcut = s;
    f.constant = constant;
    return f;
}
constexpr ParamField stepping(ParamField f, FieldStep step) {
    f.step = step;
    return f;
}
constexpr ParamField stored(ParamField f, FieldStore store, int index) {
    f.store = store;
    f.index = index;
    return f;
}
constexpr ParamField to(ParamField f, int EditParams::*param) {
    f.param = param;
    return f;
}
constexpr ParamField to_flag(ParamField f, bool EditParams::*flag) {
    f.flag = flag;
    return f;
}
// A start measure with the measure shortcut, and a length that follows the start in `ref`.
constexpr ParamField start(int slot) {
    return shortcut(ranged(number(slot, 1, MAX_MEASURES), FieldRange::measure),
                    FieldShortcut::measure);
}
constexpr ParamField length(int slot, int ref) {
    return ranged(number(slot, 1, MAX_MEASURES), FieldRange::length, ref);
}
constexpr ParamField one(ParamField f) {
    return shortcut(f, FieldShortcut::constant, 1);
}
constexpr ParamField by_track(ParamField f) {
    return shortcut(f, FieldShortcut::track);
}
constexpr ParamField track64(int slot, int min = 1) {
    return by_track(field(KIND_TRACK, slot, min, MAX_TRACKS));
}
constexpr ParamField song(int slot) {
    return shortcut(field(KIND_SONG, slot, 1, SONG_BANKS), FieldShortcut::song);
}
constexpr ParamField channel(int slot) {
    return shortcut(field(KIND_CHANNEL, slot, 1, 17), FieldShortcut::channel);
}
constexpr ParamField controller(int number, int shortcut_value) {
    return shortcut(stored(field(KIND_NUMBER, 0, 0, 127), FieldStore::controller, number),
                    FieldShortcut::constant_alt, shortcut_value);
}
constexpr ParamField sound_parameter(int index) {
    return shortcut(stored(field(KIND_NUMBER, 0, -50, 50), FieldStore::nrpn, index),
                    FieldShortcut::constant, 0);
}
constexpr ParamField input_filter(int slot) {
    return stepping(on_off(slot), FieldStep::all_six);
}
constexpr ParamField note_value(int slot) {
    return stepping(field(KIND_LABEL, slot, 1, 32), FieldStep::note_value);
}
constexpr ParamField memory(int slot) {
    return shortcut(number(slot, 1, MAX_MEASURES), FieldShortcut::memory);
}
constexpr ParamField off_shortcut(ParamField f) {
    return shortcut(f, FieldShortcut::constant, 0);
}

constexpr ParamField NONE = field(KIND_NONE, 0, 0, 0);
using P = EditParams;

// clang-format off
const ParamPanel PANELS[] = {
    {MenuCommand::midi_thru, 2, 4, false,
     {{5, "  MIDI IN Cont"}, {11, "    to     ＯＮ>>  VEL>>MIDI OUT"},
      {12, "   MIDI    KEY     LOCK  <<ＯＮ"}, {13, "　  CH    ASSIGN  offset <<Ｏff"}},
     {shortcut(field(KIND_CHANNEL, SLOT_CHANGE_CHANNEL, 1, 17), FieldShortcut::constant, 1),
      on_off(SLOT_THRU_ON), NONE, NONE,
      field(KIND_CHANNEL, SLOT_INPUT_OUT_CHANNEL, 1, 16), on_off(SLOT_KEY_ASSIGN),
      shortcut(stored(ranged(number(0, -127, 127), FieldRange::velocity_lock),
                      FieldStore::lock_velocity, 0),
               FieldShortcut::lock_velocity),
      on_off(SLOT_FIXED_VELOCITY_ON)}},
    {MenuCommand::midi_in_filter, 4, 2, false,
     {{5, "key onoff k press  cont  prog ch"}, {13, " ch press pitch b"}},
     {input_filter(SLOT_FILTER_NOTE), input_filter(SLOT_FILTER_KEY_PRESSURE),
      input_filter(SLOT_FILTER_CONTROL), input_filter(SLOT_FILTER_PROGRAM),
      input_filter(SLOT_FILTER_CHANNEL_PRESSURE), input_filter(SLOT_FILTER_PITCH_BEND), NONE,
      NONE}},
    {MenuCommand::options, 4, 1, false,
     {{5, " SYNC    DISP     PC KEY  BACK UP"}, {13, " SLEEP "}},
     {field(KIND_CLOCK, SLOT_CLOCK_SOURCE, 0, 2), on_off(SLOT_POSITION_DISPLAY),
      on_off(SLOT_PC_KEY), on_off(SLOT_BACKUP_ALLOWED), on_off(SLOT_SLEEP), NONE, NONE, NONE}},
    {MenuCommand::metronome, 2, 4, false,
     {{5, " ON OFF   CH"}, {13, " NOTE     VEL    NOTE    VEL "}},
     {on_off(SLOT_METRONOME_ON), field(KIND_TRACK, SLOT_METRONOME_CHANNEL, 1, 16), NONE, NONE,
      note(SLOT_METRONOME_ACCENT_NOTE), number(SLOT_METRONOME_ACCENT_VELOCITY, 1, 127),
      note(SLOT_METRONOME_NOTE), number(SLOT_METRONOME_VELOCITY, 1, 127)}},
    {MenuCommand::micro_scale, 2, 0, false,
     {{5, "　  CH    START"}},
     {shortcut(field(KIND_CHANNEL, SLOT_MICRO_CHANNEL, 1, 17), FieldShortcut::constant, 17),
      off_shortcut(note(SLOT_NOTE_MAP_FIRST_KEY)), NONE, NONE, NONE, NONE, NONE, NONE}},
    {MenuCommand::channel_effects, 4, 1, false,
     {{5, " reverb   chorus  VOL     PAN"}, {13, " EXP "}},
     {controller(CC_REVERB, 40), controller(CC_CHORUS, 0), controller(CC_VOLUME, 100),
      controller(CC_PAN, 64), controller(CC_EXPRESSION, 127), NONE, NONE, NONE}},
    {MenuCommand::gs_parameters, 4, 4, false,
     {{5, "　RATE   DEPTH    DELAY  CUTOFF"}, {13, " RESONAN AT TIME  DECAY  RELEASE"}},
     {sound_parameter(0), sound_parameter(1), sound_parameter(2), sound_parameter(3),
      sound_parameter(4), sound_parameter(5), sound_parameter(6), sound_parameter(7)}},
    {MenuCommand::karaoke, 4, 2, false,
     {{5, " KARAOKE  PITCH  TRACING  TR"}, {13, " RE CHORD  TR    "}},
     {off_shortcut(on_off(SLOT_TRANSPOSE_ON)),
      off_shortcut(number(SLOT_PLAYBACK_TRANSPOSE, -12, 12)),
      off_shortcut(on_off(SLOT_GUIDE_MODE)), by_track(field(KIND_TRACK, SLOT_TRACING_TRACK, 1, 32)),
      off_shortcut(on_off(SLOT_RECHORD_ON)), by_track(field(KIND_TRACK, SLOT_RECHORD_TRACK, 1, 32)),
      NONE, NONE}},
    {MenuCommand::direct_measure, 4, 4, false,
     {{5, "　meas A  meas B  meas C  meas D"}, {11, "  hd      len     skip"},
      {12, "          sf      Cont.IN Cont.OUT"}, {13, "  meas E  meas F  meas G  meas H"}},
     {memory(SLOT_REMOTE_MEASURE_FIRST), memory(SLOT_REMOTE_MEASURE_FIRST + 1),
      memory(SLOT_REMOTE_MEASURE_FIRST + 2), memory(SLOT_REMOTE_MEASURE_FIRST + 3),
      memory(SLOT_REMOTE_MEASURE_FIRST + 4), memory(SLOT_REMOTE_MEASURE_FIRST + 5),
      memory(SLOT_EXCHANGE_SOURCE), memory(SLOT_EXCHANGE_TARGET)}},
    {MenuCommand::mix, 3, 1, true,
     {{5, "    Tr  +  Tr   =  Tr"}, {13, "　DEL MIX DOWN"}},
     {to(by_track(track_of_song(SLOT_MIX_A, 1)), &P::mix_a),
      to(by_track(track_of_song(SLOT_MIX_B, 1)), &P::mix_b), to(track64(SLOT_MIX_OUT), &P::mix_out),
      NONE, to_flag(on_off(SLOT_MIX_DELETE), &P::mix_delete), NONE, NONE, NONE}},
    {MenuCommand::quantize, 3, 2, true,
     {{5, "　  Tr    START   Length"}, {12, "  ♪ 1/n "}, {13, " QUANTIZE  GATE %"}},
     {to(by_track(track_of_song(SLOT_QUANTIZE_TRACK, 1)), &P::quantize_track),
      to(start(SLOT_QUANTIZE_START), &P::quantize_start),
      to(one(length(SLOT_QUANTIZE_LENGTH, 2)), &P::quantize_length), NONE,
      to(note_value(SLOT_QUANTIZE_NOTE), &P::quantize_note),
      to(number(SLOT_QUANTIZE_GATE, 0, 100), &P::quantize_gate), NONE, NONE}},
    {MenuCommand::create, 1, 4, true,
     {{5, "　 START MEAS"}, {13, "  　SIGN n/n       TEMPO  Length"}},
     {to(start(SLOT_CREATE_MEASURE), &P::create_measure), NONE, NONE, NONE,
      to(shortcut(ranged(field(KIND_LABEL, SLOT_CREATE_NUMERATOR, 1, 64), FieldRange::numerator, 6),
                  FieldShortcut::constant, 4),
         &P::create_numerator),
      to(shortcut(stepping(field(KIND_LABEL, SLOT_CREATE_DENOMINATOR, 1, 32),
                           FieldStep::denominator),
                  FieldShortcut::constant, 4),
         &P::create_denominator),
      to(shortcut(number(SLOT_CREATE_TEMPO, 1, 600), FieldShortcut::tempo), &P::create_tempo),
      to(shortcut(ranged(number(SLOT_CREATE_COUNT, 0, MAX_MEASURES), FieldRange::create_count, 1),
                  FieldShortcut::constant, 0),
         &P::create_length)}},
    {MenuCommand::copy, 3, 3, true,
     {{5, "　  Tr    START   Length"}, {11, "  to"}, {13, "　  Tr  START MEAS ×TIMES"}},
     {to(by_track(track_of_song(SLOT_COPY_SRC_TRACK, 1)), &P::copy_src_track),
      to(start(SLOT_COPY_START), &P::copy_start),
      to(one(length(SLOT_COPY_LENGTH, 2)), &P::copy_length), NONE,
      to(track64(SLOT_COPY_DST_TRACK), &P::copy_dst_track),
      to(start(SLOT_COPY_DST_START), &P::copy_dst_start),
      to(one(ranged(number(SLOT_COPY_TIMES, 1, MAX_MEASURES), FieldRange::copy_times)),
         &P::copy_times),
      NONE}},
    {MenuCommand::delete_measures, 2, 0, true,
     {{5, "　 START  Length"}},
     {to(start(SLOT_DELETE_START), &P::delete_start),
      to(length(SLOT_DELETE_LENGTH, 1), &P::delete_length), NONE, NONE, NONE, NONE, NONE, NONE}},
    {MenuCommand::insert, 2, 1, true,
     {{5, "  START   Length"}, {12, "  Insert"}, {13, "   MEAS"}},
     {to(start(SLOT_INSERT_START), &P::insert_start),
      to(length(SLOT_INSERT_LENGTH, 1), &P::insert_length), NONE, NONE,
      to(start(SLOT_INSERT_AT), &P::insert_at), NONE, NONE, NONE}},
    {MenuCommand::erase, 3, 0, true,
     {{5, "    Tr    START   Length"}},
     {to(by_track(track_of_song(SLOT_ERASE_TRACK, 1)), &P::erase_track),
      to(start(SLOT_ERASE_START), &P::erase_start),
      to(one(length(SLOT_ERASE_LENGTH, 2)), &P::erase_length), NONE, NONE, NONE, NONE, NONE}},
    {MenuCommand::transpose, 3, 4, true,
     {{5, "    Tr    START   Length"}, {12, "      OFFSET        Note Change"},
      {13, "　 PITCH   VEL     Note >> Note"}},
     {to(by_track(track_of_song(SLOT_TRANSPOSE_TRACK, 0)), &P::transpose_track),
      to(start(SLOT_TRANSPOSE_START), &P::transpose_start),
      to(one(length(SLOT_TRANSPOSE_LENGTH, 2)), &P::transpose_length), NONE,
      to(off_shortcut(number(SLOT_TRANSPOSE_PITCH, -127, 127)), &P::transpose_pitch),
      to(off_shortcut(number(SLOT_TRANSPOSE_VELOCITY, -127, 127)), &P::transpose_velocity),
      to(shortcut(note(SLOT_TRANSPOSE_NOTE_FROM), FieldShortcut::note), &P::transpose_note_from),
      to(shortcut(note(SLOT_TRANSPOSE_NOTE_TO), FieldShortcut::note), &P::transpose_note_to)}},
    {MenuCommand::combine_track, 4, 0, true,
     {{5, "  TIME     PITCH   VEL  >>  Tr"}},
     {to(by_track(track_of_song(SLOT_COMBINE_TIME, 1)), &P::combine_time),
      to(by_track(track_of_song(SLOT_COMBINE_PITCH, 1)), &P::combine_pitch),
      to(by_track(track_of_song(SLOT_COMBINE_VELOCITY, 1)), &P::combine_velocity),
      to(track64(SLOT_COMBINE_OUT), &P::combine_out), NONE, NONE, NONE, NONE}},
    {MenuCommand::clear_track, 1, 0, true,
     {{5, "    Tr"}},
     {to(by_track(track_of_song(SLOT_CLEAR_TRACK, 1)), &P::clear_track), NONE, NONE, NONE, NONE,
      NONE, NONE, NONE}},
    {MenuCommand::move_track, 4, 4, true,
     {{5, "　 SONG     Tr    MIDI CH  DEL"}, {11, " to"}, {13, "　 SONG     Tr   MIDI CH  Delay"}},
     {to(song(SLOT_MOVE_SRC_SONG), &P::move_src_song),
      to(track64(SLOT_MOVE_SRC_TRACK, 0), &P::move_src_track),
      to(channel(SLOT_MOVE_SRC_CHANNEL), &P::move_src_channel),
      to_flag(on_off(SLOT_MOVE_DELETE), &P::move_delete),
      to(song(SLOT_MOVE_DST_SONG), &P::move_dst_song),
      to(track64(SLOT_MOVE_DST_TRACK, 0), &P::move_dst_track),
      to(channel(SLOT_MOVE_DST_CHANNEL), &P::move_dst_channel),
      to(off_shortcut(number(SLOT_MOVE_DELAY, -960, 1920)), &P::move_delay)}},
    {MenuCommand::auto_accompaniment, 1, 4, true,
     {{5, "  >>Tr"}, {12, "      PATTERN         CHORD"}, {13, "　 SONG     Tr     SONG     Tr"}},
     {to(track64(SLOT_ACCOMP_TRACK), &P::accomp_track), NONE, NONE, NONE,
      to(song(SLOT_ACCOMP_PATTERN_SONG), &P::accomp_pattern_song),
      to(track64(SLOT_ACCOMP_PATTERN_TRACK), &P::accomp_pattern_track),
      to(song(SLOT_ACCOMP_CHORD_SONG), &P::accomp_chord_song),
      to(track64(SLOT_ACCOMP_CHORD_TRACK), &P::accomp_chord_track)}},
    {MenuCommand::event_filter, 4, 4, false,
     {{5, "key onoff k press  cont   prog ch"}, {13, " ch press pitch b  EXEC    META"}},
     {on_off(SLOT_EVENT_FILTER_FIRST), on_off(SLOT_EVENT_FILTER_FIRST + 1),
      on_off(SLOT_EVENT_FILTER_FIRST + 2), on_off(SLOT_EVENT_FILTER_FIRST + 3),
      on_off(SLOT_EVENT_FILTER_FIRST + 4), on_off(SLOT_EVENT_FILTER_FIRST + 5),
      on_off(SLOT_EVENT_FILTER_FIRST + 6), on_off(SLOT_EVENT_FILTER_FIRST + 7)}},
    {MenuCommand::filter_copy, 2, 0, true,
     {{5, " IN Tr  >> OUT Tr"}},
     {to(by_track(track_of_song(SLOT_FILTER_IN_TRACK, 0)), &P::filter_in),
      to(track64(SLOT_FILTER_OUT_TRACK, 0), &P::filter_out), NONE, NONE, NONE, NONE, NONE, NONE}},
    {MenuCommand::poly_to_mono, 3, 0, true,
     {{5, " POLY Tr>>MONO Tr VOICES"}},
     {to(by_track(field(KIND_TRACK, SLOT_POLY_TRACK, 0, 32)), &P::poly_track),
      to(by_track(field(KIND_TRACK, SLOT_MONO_TRACK, 0, 32)), &P::mono_track),
      to(field(KIND_LABEL, SLOT_POLY_VOICES, 1, 32), &P::poly_voices), NONE, NONE, NONE, NONE,
      NONE}},
    {MenuCommand::event_time_change, 3, 0, true,
     {{5, " TIME EV  EVENT >> TR"}},
     {to(by_track(field(KIND_TRACK, SLOT_TIME_TRACK, 1, 32)), &P::time_track),
      to(by_track(field(KIND_TRACK, SLOT_EVENT_TRACK, 1, 32)), &P::event_track),
      to(by_track(field(KIND_TRACK, SLOT_TIME_OUT_TRACK, 1, 32)), &P::time_out_track), NONE, NONE,
      NONE, NONE, NONE}},
    {MenuCommand::insert_program_change, 3, 0, true,
     {{5, "INS MEAS  BEAT    CLOCK"}},
     {to(shortcut(ranged(number(SLOT_SOUND_MEASURE, 1, MAX_MEASURES), FieldRange::measure),
                  FieldShortcut::measure_only),
         &P::sound_measure),
      to(one(ranged(number(SLOT_SOUND_BEAT, 1, 255), FieldRange::beat, 1)), &P::sound_beat),
      to(off_shortcut(ranged(number(SLOT_SOUND_CLOCK, 0, 0), FieldRange::clock)), &P::sound_clock),
      NONE, NONE, NONE, NONE, NONE}},
    {MenuCommand::step_recording, 1, 2, false,
     {{5, "  GATE TIME %"}, {12, "  1/n ♪  "}, {13, "　 STEP   CLOCK"}},
     {number(SLOT_STEP_GATE_PERCENT, 1, 100), NONE, NONE, NONE, note_value(SLOT_STEP_NOTE_VALUE),
      ranged(number(SLOT_STEP_LENGTH, 1, 1920), FieldRange::step_length), NONE, NONE}},
};
// clang-format on

constexpr const char* POLY_CAPTION_JAPANESE = " POLY Tr>>MONO Tr 発音数";

int current_channel_index() {
    return g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
}

int32_t at_least(int32_t value, int32_t low) {
    return value < low ? low : value;
}

} // namespace

const ParamPanel* param_panel_find(int command_key) {
    for (const ParamPanel& p : PANELS) {
        if (menu_command_key(p.command) == command_key) {
            return &p;
        }
    }
    return nullptr;
}

const ParamField* panel_field(const ParamPanel& panel, int field) {
    bool used = (field >= 1 && field <= panel.upper) || (field >= 5 && field <= 4 + panel.lower);
    return used ? &panel.fields[field - 1] : nullptr;
}

const char* caption_text(const ParamPanel& panel, int line, bool japanese) {
    if (japanese && panel.command == MenuCommand::poly_to_mono && line == 0) {
        return POLY_CAPTION_JAPANESE;
    }
    return panel.captions[line].text;
}

int32_t field_value(const ParamPanel& panel, int field) {
    const ParamField* f = panel_field(panel, field);
    if (f == nullptr) {
        return 0;
    }
    const int32_t* slots = g_settings.slots;
    switch (f->store) {
    case FieldStore::controller:
        return g_channel_state.controller_values[current_channel_index()][f->index & 0x7F];
    case FieldStore::nrpn:
        return g_channel_state.nrpn_values[current_channel_index()][f->index & 7] -
               GS_PARAMETER_MIDDLE;
    case FieldStore::lock_velocity:
        return setting_on(SLOT_FIXED_VELOCITY_ON) ? slots[SLOT_FIXED_VELOCITY]
                                                  : slots[SLOT_VELOCITY_OFFSET];
    case FieldStore::slot:
    default:
        return slots[f->index];
    }
}

void field_store(const ParamPanel& panel, int field, int32_t value) {
    const ParamField* f = panel_field(panel, field);
    if (f == nullptr) {
        return;
    }
    switch (f->store) {
    case FieldStore::controller:
        controller_value_store(current_channel_index(), f->index & 0x7F,
                               static_cast<uint8_t>(value & 0x7F));
        break;
    case FieldStore::nrpn:
        nrpn_value_store(current_channel_index(), f->index & 7,
                         static_cast<uint8_t>((value + GS_PARAMETER_MIDDLE) & 0x7F));
        break;
    case FieldStore::lock_velocity:
        setting_set(setting_on(SLOT_FIXED_VELOCITY_ON) ? SLOT_FIXED_VELOCITY : SLOT_VELOCITY_OFFSET,
                    value);
        break;
    case FieldStore::slot:
    default:
        setting_set(f->index, value);
        break;
    }
}

void field_bounds(const ParamPanel& panel, int field, int32_t& min, int32_t& max) {
    const ParamField* f = panel_field(panel, field);
    if (f == nullptr) {
        min = max = 0;
        return;
    }
    min = f->min;
    max = f->max;
    int last = g_song.measure_table.last_measure;
    switch (f->range) {
    case FieldRange::fixed:
        break;
    case FieldRange::tracks:
        max = at_least(g_song.track_count, min);
        break;
    case FieldRange::measure:
        max = last + 1;
        break;
    case FieldRange::length:
        max = at_least(last - field_value(panel, f->ref) + 2, 1);
        break;
    case FieldRange::create_count:
        max = at_least(MAX_MEASURES - field_value(panel, f->ref), 0);
        break;
    case FieldRange::copy_times: {
        int32_t len = at_least(field_value(panel, 3), 1);
        max = at_least((MAX_MEASURES - field_value(panel, 6)) / len, 1);
        break;
    }
    case FieldRange::numerator:
        max = at_least(2 * field_value(panel, f->ref), 1);
        break;
    case FieldRange::beat: {
        int numerator = measure_entry(field_value(panel, f->ref) - 1).numerator;
        max = numerator > 0 ? numerator : 4;
        break;
    }
    case FieldRange::clock:
        max = at_least(g_song.time_base - 1, 0);
        break;
    case FieldRange::step_length:
        max = at_least(g_song.time_base * 4, 1);
        break;
    case FieldRange::velocity_lock:
        if (setting_on(SLOT_FIXED_VELOCITY_ON)) {
            min = 1;
            max = 127;
        } else {
            min = -127;
            max = 127;
        }
        break;
    }
}
