// SMF preparation: mix, analysis pass with tempo folding and sustain, long-note splitting,
// output track count, the MFi version 1 offer and automatic voice separation.
#include "converter/smf_prepare.h"

#include "common/text_sjis.h"
#include "converter/converter.h"
#include "converter/prepared_walk.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"
#include "songcore/track_merge.h"
#include "songcore/track_normalize.h"

#include <cstring>

Preparation g_prep;

namespace {

constexpr int LONG_NOTE_LIMIT = 255;
constexpr int RESTRIKE_STEP = 254;
constexpr uint8_t META_INERT_TEXT = META_TEXT; // a tempo that must no longer count as one
constexpr int SMF_DEFAULT_BPM = 120;           // the tempo of a Standard MIDI File without one
constexpr int MMF_REFERENCE_BPM = 125;         // MMF time counts in 4 ms units at this tempo

bool is_mmf() {
    return g_prep.target == PrepTarget::mmf;
}

} // namespace

void prep_reset(PrepTarget target) {
    g_prep = Preparation{};
    g_prep.target = target;
    g_prep.current_bpm = SMF_DEFAULT_BPM;
    g_prep.base_bpm = SMF_DEFAULT_BPM;
    if (target == PrepTarget::mmf) {
        // MMF time runs at its reference tempo from the first tick: the song's time before
        // its first tempo event (all of it when it has none) passes at the default tempo.
        g_prep.base_bpm = MMF_REFERENCE_BPM;
        g_prep.base_tempo_fixed = true;
    }
    // Array members cannot repeat a non-zero initialiser: the free slots are marked here.
    for (int s = 0; s < PREP_SLOTS; s++) {
        g_prep.slot_channel[s] = SLOT_FREE;
        g_prep.slot_key[s] = -1;
    }
}

uint32_t prepared_list_pos() {
    return g_song.slots[PREP_SLOT].track_pos[1];
}

int prep_note_number(int channel, int key) {
    if (channel == DRUM_CHANNEL && g_prep.target != PrepTarget::pmd) {
        return key - 35;
    }
    return key + g_options.toneshift - 45;
}

int prep_slot_owner(int s) {
    return g_prep.separation ? g_prep.slot_channel[s] : s;
}

namespace {

// 1. The title: the first text or name meta event of the first track, when at time 0.
void title_take() {
    TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[0]);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (ev.status != STATUS_META ||
            (ev.meta_type != META_TEXT && ev.meta_type != META_TRACK_NAME)) {
            continue;
        }
        if (ev.tick == 0 && ev.data_length > 0) {
            g_prep.title_length = static_cast<int>(sjis_copy_cut(
                g_prep.title, reinterpret_cast<const char*>(g_song.arena + ev.data_pos),
                ev.data_length, TITLE_MAX));
        }
        break;
    }
    if (g_prep.title_length == 0) {
        g_prep.title[0] = ' ';
        g_prep.title[1] = '\0';
        g_prep.title_length = 1;
    }
}

// One track of the mix: its walk and the event it stands on.
struct MixSide {
    TrackWalk walk{};
    TrackEvent ev{};
    bool has_event = false;
};

// 2. Mix every track into one source list in a single pass. At equal ticks the tracks keep
// their order and each track its own order, which is what merging them one after another
// with tracks_merge gives, without copying the growing mix once per track. A store too full
// for the mix leaves the source list empty (the arena has shown "out of memory").
void mix_tracks() {
    int count = g_song.track_count;
    for (int t = 0; t < count; t++) {
        if (track_normalize(0, t) != 0) {
            count = t;
            break;
        }
    }
    // Positions are read only now: normalising moves chunks.
    MixSide sides[MAX_TRACKS];
    int32_t end_tick = 0;
    for (int t = 0; t < count; t++) {
        sides[t].walk = track_walk_begin(g_song.slots[0].track_pos[t]);
        sides[t].has_event = event_parse(sides[t].walk, sides[t].ev);
    }
    uint32_t mixed = track_chunk_begin();
    int32_t written = 0;
    for (;;) {
        int32_t tick = -1;
        for (int t = 0; t < count; t++) {
            if (sides[t].has_event && (tick < 0 || sides[t].ev.tick < tick)) {
                tick = sides[t].ev.tick;
            }
        }
        if (tick < 0) {
            break;
        }
        for (int t = 0; t < count; t++) {
            while (sides[t].has_event && sides[t].ev.tick == tick) {
                event_append_explicit(static_cast<uint32_t>(tick - written), sides[t].ev);
                written = tick;
                sides[t].has_event = event_parse(sides[t].walk, sides[t].ev);
            }
        }
    }
    for (int t = 0; t < count; t++) {
        end_tick = sides[t].ev.tick > end_tick ? sides[t].ev.tick : end_tick;
    }
    track_append_end(static_cast<uint32_t>(end_tick - written));
    track_chunk_finish(mixed);
    track_replace(mixed, PREP_SLOT, 0);
}

// The prepared list being written: events go out with deltas from the folded time line.
struct PassOut {
    int64_t time;    // folded time of the source event being handled
    int64_t written; // folded time of the last event written
};

void out_delta(PassOut& out) {
    arena_append_vlq(static_cast<uint32_t>(out.time - out.written));
    out.written = out.time;
}

void out_note_off(PassOut& out, int channel, int key) {
    out_delta(out);
    uint8_t bytes[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel), static_cast<uint8_t>(key),
                        0};
    arena_append(bytes, 3);
}

// Copies the event with its status byte; a meta event may get another type byte.
void out_event(PassOut& out, const TrackEvent& ev, uint8_t meta_type) {
    out_delta(out);
    if (ev.running) {
        arena_append_byte(ev.status);
    }
    uint32_t start = g_song.arena_end;
    arena_append(g_song.arena + ev.pos, ev.length);
    if (!g_song.memory_over && ev.status == STATUS_META && meta_type != ev.meta_type) {
        g_song.arena[start + 1] = meta_type;
    }
}

// Tempo folding of one delta: unchanged until the base tempo is fixed, then scaled by
// base / current with the remainder carried so no time is lost.
int64_t fold_delta(uint32_t delta) {
    if (!g_prep.base_tempo_fixed) {
        return delta;
    }
    int64_t scaled = static_cast<int64_t>(delta) * g_prep.base_bpm + g_prep.fold_remainder;
    g_prep.fold_remainder = scaled % g_prep.current_bpm;
    return scaled / g_prep.current_bpm;
}

// A tempo event's quarter notes per minute, or 0 when it has no usable value: a tempo of 0
// microseconds (or a cut event) cannot be turned into a rate and does not count as a tempo.
int tempo_bpm(const TrackEvent& ev) {
    if (ev.data_length < 3) {
        return 0;
    }
    uint32_t usec = arena_get_be(ev.data_pos, 3);
    return usec == 0 ? 0 : static_cast<int>(60000000u / usec);
}

void voice_list_add(int value) {
    for (int i = 0; i < g_prep.voice_count; i++) {
        if (g_prep.voice_list[i] == value) {
            return;
        }
    }
    if (g_prep.voice_count < VOICE_LIST_MAX) {
        g_prep.voice_list[g_prep.voice_count++] = value;
    }
}

void count_note_on(int channel, int key) {
    if (++g_prep.key_count[channel][key] == 1) {
        g_prep.voices_now[channel]++;
        if (g_prep.voices_now[channel] > g_prep.voices_max[channel]) {
            g_prep.voices_max[channel] = g_prep.voices_now[channel];
        }
    }
}

// A sounding key ends: the channel has one voice less once no note of the key sounds.
void count_note_off(int channel, int key) {
    if (g_prep.key_count[channel][key] > 0 && --g_prep.key_count[channel][key] == 0) {
        g_prep.voices_now[channel]--;
    }
}

// A pedal value above 64 holds the pedal down; true only when this value lifts it.
bool pedal_lifted(int channel, int value) {
    if (value > 64) {
        g_prep.pedal_down[channel] = true;
        return false;
    }
    bool was_down = g_prep.pedal_down[channel];
    g_prep.pedal_down[channel] = false;
    return was_down;
}

// Sustain of MFi/PMD: the pedal is not kept; lifting it ends every key still counted.
void pedal_mfi(PassOut& out, int channel, int value) {
    if (!pedal_lifted(channel, value)) {
        return;
    }
    for (int key = 0; key < 128; key++) {
        if (g_prep.key_count[channel][key] > 0) {
            out_note_off(out, channel, key);
            count_note_off(channel, key);
        }
    }
}

// Sustain of MMF: note-offs under the pedal wait for it to lift.
void pedal_mmf(PassOut& out, int channel, int value) {
    if (!pedal_lifted(channel, value)) {
        return;
    }
    for (int key = 0; key < 128; key++) {
        if (g_prep.held[channel][key]) {
            g_prep.held[channel][key] = false;
            out_note_off(out, channel, key);
            count_note_off(channel, key);
        }
    }
}

// Step 3: a note-on's range; false stops the conversion.
bool note_range_check(int channel, int key) {
    int number = prep_note_number(channel, key);
    if (number < 0 || number > 62) {
        g_prep.needs_extended_notes = true;
    }
    if (number < -24 || number > 74) {
        g_prep.stopped = PrepResult::note_out_of_range;
        return false;
    }
    return true;
}

void tempo_event(PassOut& out, const TrackEvent& ev) {
    int bpm = tempo_bpm(ev);
    if (bpm == 0) {
        out_event(out, ev, META_INERT_TEXT);
        return;
    }
    // MMF keeps its first tempo event as one; later ones only change the folding.
    bool keep = is_mmf() ? !g_prep.tempo_seen : !g_prep.base_tempo_fixed;
    g_prep.current_bpm = bpm;
    if (is_mmf()) {
        g_prep.tempo_seen = true;
    }
    out_event(out, ev, keep ? META_TEMPO : META_INERT_TEXT);
}

// One event of the analysis pass; false stops the conversion.
bool analyse_event(PassOut& out, const TrackEvent& ev) {
    int kind = note_kind(ev);
    int channel = ev.status & 0x0F;
    if (kind != 0) {
        int key = event_data(ev, 0) & 0x7F;
        if (kind > 0) {
            if (is_mmf() && g_prep.held[channel][key]) {
                g_prep.held[channel][key] = false;
                out_note_off(out, channel, key);
                count_note_off(channel, key);
            }
            if (g_prep.first_note_time < 0) {
                g_prep.first_note_time = static_cast<int32_t>(out.time);
            }
            if (!is_mmf() && !note_range_check(channel, key)) {
                return false;
            }
            if (is_mmf() && channel == DRUM_CHANNEL && key < 85) {
                voice_list_add(128 + key);
            }
            count_note_on(channel, key);
        } else {
            if (g_prep.key_count[channel][key] == 0) {
                return true; // already ended by the pedal: nothing left to end
            }
            if (is_mmf() && g_prep.pedal_down[channel]) {
                g_prep.held[channel][key] = true;
                return true;
            }
            count_note_off(channel, key);
        }
        out_event(out, ev, 0);
        return true;
    }
    if ((ev.status & 0xF0) == STATUS_CONTROL_CHANGE && event_data(ev, 0) == CC_SUSTAIN) {
        if (is_mmf()) {
            pedal_mmf(out, channel, event_data(ev, 1));
        } else {
            pedal_mfi(out, channel, event_data(ev, 1));
        }
        return true;
    }
    if (is_mmf() && (ev.status & 0xF0) == STATUS_PROGRAM_CHANGE && channel != DRUM_CHANNEL) {
        voice_list_add(event_data(ev, 0) & 0x7F);
    }
    if (ev.status == STATUS_META && ev.meta_type == META_COPYRIGHT) {
        g_prep.copyright_seen = true;
    }
    if (ev.status == STATUS_META && ev.meta_type == META_CUE_POINT && !g_prep.has_cue_point) {
        g_prep.has_cue_point = true;
        g_prep.cue_time = static_cast<int32_t>(out.time);
    }
    if (ev.status == STATUS_META && ev.meta_type == META_TEMPO) {
        tempo_event(out, ev);
        return true;
    }
    out_event(out, ev, ev.meta_type);
    return true;
}

// 3. The analysis pass: the prepared list is written into the scratch slot's track 1.
PrepResult analysis_pass() {
    uint32_t out_pos = track_chunk_begin();
    PassOut out{0, 0};
    TrackWalk walk = track_walk_begin(g_song.slots[PREP_SLOT].track_pos[0]);
    TrackEvent ev;
    int32_t last_tick = 0;
    bool ok = true;
    bool more = true;
    while (more) {
        more = event_parse(walk, ev);
        out.time += fold_delta(static_cast<uint32_t>(ev.tick - last_tick));
        last_tick = ev.tick;
        if (!more) {
            break;
        }
        if (!analyse_event(out, ev)) {
            ok = false;
            break;
        }
        if (!g_prep.base_tempo_fixed && !is_mmf() &&
            (g_prep.has_cue_point || g_prep.first_note_time >= 0)) {
            g_prep.base_bpm = g_prep.current_bpm;
            g_prep.base_tempo_fixed = true;
        }
    }
    track_append_end(static_cast<uint32_t>(out.time - out.written));
    track_chunk_finish(out_pos);
    bool full = g_song.memory_over;
    track_replace(out_pos, PREP_SLOT, 1);
    if (!ok) {
        return g_prep.stopped;
    }
    return full ? PrepResult::out_of_memory : PrepResult::ready;
}

// 4. Long notes at division 48: re-strike every note longer than 255 ticks every 254 ticks
// so that no written note is longer than 255. Returns whether extra notes were added.
bool long_notes_round() {
    uint32_t extra = track_chunk_begin();
    int32_t written = 0;
    bool any = false;
    TrackWalk walk = track_walk_begin(prepared_list_pos());
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (note_kind(ev) <= 0) {
            continue;
        }
        // The length the writer will see: up to the first note-off of the key.
        TrackWalk after_off;
        int32_t length = note_length_peek(walk, ev, after_off);
        if (length <= LONG_NOTE_LIMIT) {
            continue;
        }
        int pairs = 1 + (length - LONG_NOTE_LIMIT > LONG_NOTE_LIMIT
                             ? (length - LONG_NOTE_LIMIT) / RESTRIKE_STEP
                             : 0);
        uint8_t status = ev.status;
        uint8_t key = event_data(ev, 0);
        uint8_t velocity = event_data(ev, 1);
        for (int i = 1; i <= pairs; i++) {
            int32_t at = ev.tick + i * RESTRIKE_STEP;
            uint8_t on[3] = {status, key, velocity};
            uint8_t off[3] = {status, key, 0};
            arena_append_vlq(static_cast<uint32_t>(at - written));
            arena_append(on, 3);
            arena_append_vlq(1);
            arena_append(off, 3);
            written = at + 1;
        }
        any = true;
        // The scan goes on after this note's note-off: notes that start while it sounds
        // wait for the next round, once these re-strikes are in the list.
        walk = after_off;
    }
    track_append_end(0);
    track_chunk_finish(extra);
    bool failed = g_song.memory_over;
    track_replace(extra, PREP_SLOT, 2);
    if (!any || failed) {
        track_replace(track_empty_append(), PREP_SLOT, 2);
        return false;
    }
    uint32_t merged = tracks_merge(prepared_list_pos(), g_song.slots[PREP_SLOT].track_pos[2]);
    failed = g_song.memory_over;
    track_replace(merged, PREP_SLOT, 1);
    track_replace(track_empty_append(), PREP_SLOT, 2);
    return !failed;
}

int32_t note_on_count(uint32_t list_pos) {
    int32_t count = 0;
    TrackWalk walk = track_walk_begin(list_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        count += note_kind(ev) > 0 ? 1 : 0;
    }
    return count;
}

// Rounds repeat until none adds anything. Each round leaves the first long note it meets
// at 255 ticks and adds only one-tick notes, so a list never needs more rounds than it has
// notes; the bound only keeps a damaged list from looping.
void long_notes_split() {
    int32_t rounds = note_on_count(prepared_list_pos()) + 1;
    for (int32_t round = 0; round < rounds; round++) {
        if (!long_notes_round()) {
            return;
        }
    }
}

// 5. Channel groups of four make the output tracks; 4 when no channel has notes.
void output_tracks_count() {
    int last_group = -1;
    for (int c = 0; c < PREP_CHANNELS; c++) {
        if (g_prep.voices_max[c] > 0) {
            last_group = c / 4;
        }
    }
    g_prep.output_tracks = last_group < 0 ? 4 : last_group + 1;
}

// 6. The MFi version 1 offer: made when every channel plays fewer voices than version 1
// carries (two on channels 1..4, one elsewhere) and no note needs the extended range.
bool version1_possible() {
    for (int c = 0; c < PREP_CHANNELS; c++) {
        int limit = c < 4 ? 2 : 1;
        if (g_prep.voices_max[c] >= limit) {
            return false;
        }
    }
    return !g_prep.needs_extended_notes;
}

// 8.1-8.3: slots for every voice, slot 9 kept for the drum channel. MMF fills at most 16
// slots and never stops.
bool slots_assign() {
    for (int s = 0; s < PREP_SLOTS; s++) {
        g_prep.slot_channel[s] = SLOT_FREE;
        g_prep.slot_key[s] = -1;
    }
    g_prep.slot_channel[DRUM_CHANNEL] = DRUM_CHANNEL;
    int voices = 0;
    for (int c = 0; c < PREP_CHANNELS; c++) {
        voices += g_prep.voices_max[c];
    }
    if (voices > PREP_SLOTS && !is_mmf()) {
        g_prep.stopped = PrepResult::too_many_voices;
        return false;
    }
    int s = 0;
    for (int c = 0; c < PREP_CHANNELS; c++) {
        for (int v = 0; v < g_prep.voices_max[c] && s < PREP_SLOTS; v++) {
            g_prep.slot_channel[s++] = c;
        }
    }
    if (g_prep.slot_channel[DRUM_CHANNEL] != DRUM_CHANNEL) {
        int found = -1;
        for (int i = 0; i < PREP_SLOTS && found < 0; i++) {
            if (g_prep.slot_channel[i] == DRUM_CHANNEL) {
                found = i;
            }
        }
        if (found >= 0) {
            g_prep.slot_channel[found] = g_prep.slot_channel[DRUM_CHANNEL];
            g_prep.slot_channel[DRUM_CHANNEL] = DRUM_CHANNEL;
        } else if (g_prep.slot_channel[15] == SLOT_FREE) {
            g_prep.slot_channel[15] = g_prep.slot_channel[DRUM_CHANNEL];
            g_prep.slot_channel[DRUM_CHANNEL] = DRUM_CHANNEL;
        }
    }
    if (g_prep.slot_channel[DRUM_CHANNEL] != DRUM_CHANNEL && !is_mmf()) {
        g_prep.stopped = PrepResult::no_drum_slot;
        return false;
    }
    return true;
}

int slot_find(int channel, int key) {
    for (int s = 0; s < PREP_SLOTS; s++) {
        if (g_prep.slot_channel[s] == channel && g_prep.slot_key[s] == key) {
            return s;
        }
    }
    return -1;
}

// A note that finds no slot is turned into key pressure, which no writer writes.
void note_drop(const TrackEvent& ev) {
    g_song.arena[ev.pos] = static_cast<uint8_t>(STATUS_KEY_PRESSURE | (ev.status & 0x0F));
}

// 8.4: every note event's channel nibble becomes its slot. Returns the highest slot used.
int slots_rewrite() {
    int16_t sounding[PREP_CHANNELS][128] = {};
    int highest = -1;
    TrackWalk walk = track_walk_begin(prepared_list_pos());
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        int kind = note_kind(ev);
        if (kind == 0) {
            continue;
        }
        int channel = ev.status & 0x0F;
        int key = event_data(ev, 0) & 0x7F;
        int slot;
        if (kind > 0) {
            slot = is_mmf() ? -1 : slot_find(channel, key);
            if (slot < 0) {
                slot = slot_find(channel, -1);
            }
            if (slot < 0) {
                note_drop(ev);
                continue;
            }
            g_prep.slot_key[slot] = key;
            sounding[channel][key]++;
        } else {
            slot = slot_find(channel, key);
            if (slot < 0) {
                note_drop(ev);
                continue;
            }
            // Freed once no note of the key sounds (a re-struck key holds its slot).
            if (sounding[channel][key] > 0) {
                sounding[channel][key]--;
            }
            if (sounding[channel][key] == 0 || is_mmf()) {
                g_prep.slot_key[slot] = -1;
            }
        }
        g_song.arena[ev.pos] = static_cast<uint8_t>((ev.status & 0xF0) | slot);
        highest = slot > highest ? slot : highest;
    }
    for (int s = 0; s < PREP_SLOTS; s++) {
        g_prep.slot_key[s] = -1;
    }
    return highest;
}

PrepResult separation_run() {
    if (!slots_assign()) {
        return g_prep.stopped;
    }
    int voices = 0;
    for (int c = 0; c < PREP_CHANNELS; c++) {
        voices += g_prep.voices_max[c];
    }
    int highest = slots_rewrite();
    if (is_mmf()) {
        g_prep.output_tracks = 4;
        return PrepResult::ready;
    }
    g_prep.output_tracks = voices > 0 ? (voices - 1) / 4 + 1 : 1;
    // A voice moved to slot 15 (or a drum voice kept in slot 9) must still be written.
    if (highest >= 0 && highest / 4 + 1 > g_prep.output_tracks) {
        g_prep.output_tracks = highest / 4 + 1;
    }
    return PrepResult::ready;
}

} // namespace

PrepResult prepare_song_analyse(PrepTarget target, bool version3) {
    prep_reset(target);
    g_prep.division = g_song.time_base;
    g_prep.version = version3 ? 3 : 2;
    title_take();
    mix_tracks();
    PrepResult result = analysis_pass();
    if (result != PrepResult::ready) {
        return result;
    }
    g_prep.start_time = g_prep.has_cue_point
                            ? g_prep.cue_time
                            : (g_prep.first_note_time > 0 ? g_prep.first_note_time : 0);
    if (is_mmf()) {
        return PrepResult::ready;
    }
    if (g_prep.division == 48) {
        long_notes_split();
    }
    output_tracks_count();
    g_prep.version1_possible = version1_possible();
    return PrepResult::ready;
}

PrepResult prepare_song_finish(bool version1) {
    if (is_mmf()) {
        g_prep.separation = true;
        return separation_run();
    }
    if (version1 && g_prep.version1_possible) {
        g_prep.version = 1;
        g_prep.output_tracks = 1;
    }
    char mark = input_path_mark();
    if (g_options.vel == 1) {
        g_prep.needs_extended_notes = true;
    }
    if (g_options.separation == 1 || mark == '_') {
        g_prep.separation = true;
    }
    if (mark == '%') {
        g_prep.separation = true;
        for (int8_t& v : g_prep.voices_max) {
            v = v > 1 ? 1 : v;
        }
    }
    if (g_prep.version == 1) {
        // Version 1 has neither voice slots nor the three-byte notes its header cannot
        // announce (it carries no "note" chunk).
        g_prep.separation = false;
        g_prep.needs_extended_notes = false;
    }
    if (g_prep.separation) {
        return separation_run();
    }
    return PrepResult::ready;
}
