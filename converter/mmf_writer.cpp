// The MMF (SMAF) writer: content information, four score tracks with the FM voice set-up in
// the first, sequence events in units of a 120th of a quarter note, and the CRC.
#include "converter/converter.h"
#include "converter/mmf_crc.h"
#include "converter/mmf_voices.h"
#include "converter/prepared_walk.h"
#include "converter/ringtone_io.h"
#include "converter/smf_prepare.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr int MMF_UNITS_PER_QUARTER = 120;
constexpr int64_t DELTA_FILLER = 16511; // the largest two-byte delta
constexpr int OCTAVE_FIELD[11] = {0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3};
constexpr uint8_t OCTAVE_SHIFT[11] = {0x83, 0x82, 0x81, 0x00, 0x00, 0x00,
                                      0x00, 0x01, 0x02, 0x03, 0x04};

// Change memory of one slot: the values a score track starts from, so that the first
// change of each is written.
struct MmfSlotState {
    int volume = 100;
    int expression = 127;
    int written_volume = 255; // none written yet
    int pan = 64;
    int bend = 64;
    int drum_key = 0;
    uint8_t octave_shift = 0x00;
};

// One MMF conversion. Single-threaded (the converter runs on one thread), reset for every
// conversion.
struct MmfRun {
    int track = 0; // score track being written
    MmfSlotState slots[PREP_SLOTS] = {};
    uint8_t event[64] = {}; // outputs of one source event
    uint32_t event_length = 0;
};

MmfRun g_mmf;

void event_add(std::initializer_list<uint8_t> bytes) {
    uint32_t need = static_cast<uint32_t>(bytes.size()) + (g_mmf.event_length > 0 ? 1 : 0);
    if (g_mmf.event_length + need > sizeof g_mmf.event) {
        return;
    }
    if (g_mmf.event_length > 0) {
        g_mmf.event[g_mmf.event_length++] = 0x00;
    }
    for (uint8_t b : bytes) {
        g_mmf.event[g_mmf.event_length++] = b;
    }
}

// A delta or gate time in one byte below 128, else two.
void time_write(int64_t n) {
    if (n < 128) {
        out_byte(static_cast<uint8_t>(n));
        return;
    }
    uint8_t bytes[2] = {static_cast<uint8_t>((n - 128) / 128 + 128), static_cast<uint8_t>(n & 127)};
    out_bytes(bytes, 2);
}

// Fillers stop at the size limit, so a full file still has room to close its tracks.
void delta_write(int64_t& pending) {
    static const uint8_t FILLER[4] = {0xFF, 0x7F, 0xFF, 0x00};
    while (pending > DELTA_FILLER && g_ringtone.write_pos <= RINGTONE_LIMIT) {
        out_bytes(FILLER, 4);
        pending -= DELTA_FILLER;
    }
    time_write(pending > DELTA_FILLER ? DELTA_FILLER : pending);
    pending = 0;
}

// An event that must stand before the note it belongs to: written at once.
void write_now(int64_t& pending, std::initializer_list<uint8_t> bytes) {
    delta_write(pending);
    for (uint8_t b : bytes) {
        out_byte(b);
    }
}

void note_on(const TrackEvent& ev, uint32_t ordinal, int64_t& pending) {
    int slot = ev.status & 0x0F;
    // Slots of other tracks keep their memory for their own track's pass.
    if (slot / 4 != g_mmf.track || ev.tick < g_prep.start_time) {
        return;
    }
    MmfSlotState& state = g_mmf.slots[slot];
    uint8_t p = static_cast<uint8_t>((slot % 4) * 64);
    int key = event_data(ev, 0);
    int32_t length = note_length_of(ordinal);
    if (g_prep.slot_channel[slot] == DRUM_CHANNEL) {
        if (key != state.drum_key) {
            state.drum_key = key;
            write_now(pending, {0x00, static_cast<uint8_t>(p + 0x30), static_cast<uint8_t>(key)});
        }
        key = mmf_drum_map(key);
    }
    // Key 0 has no note number (n would be 0, which opens a control event) and keys from
    // 121 on lie above the octave table.
    if (key == 0 || key >= 121) {
        return;
    }
    int o_index = (key - 1) / 12;
    int n = (key - 1) % 12 + 1;
    if (OCTAVE_SHIFT[o_index] != state.octave_shift) {
        state.octave_shift = OCTAVE_SHIFT[o_index];
        write_now(pending, {0x00, static_cast<uint8_t>(p + 0x32), state.octave_shift});
    }
    int64_t gate = static_cast<int64_t>(length) * MMF_UNITS_PER_QUARTER / g_prep.division;
    if (gate <= 1) {
        return;
    }
    gate--;
    if (gate > 127 && gate - 128 > 16383) {
        gate = 128 + 16383;
    }
    g_mmf.event[0] = static_cast<uint8_t>(p + OCTAVE_FIELD[o_index] * 16 + n);
    if (gate < 128) {
        g_mmf.event[1] = static_cast<uint8_t>(gate);
        g_mmf.event_length = 2;
    } else {
        g_mmf.event[1] = static_cast<uint8_t>((gate - 128) / 128 + 128);
        g_mmf.event[2] = static_cast<uint8_t>(gate & 127);
        g_mmf.event_length = 3;
    }
}

// Written volume = volume x expression / 127 x 127 / msvol; a "msvol" of 0 scales nothing
// (it would divide by zero) and the result never passes 127, the largest value MMF takes.
void volume_written(int slot, uint8_t p) {
    MmfSlotState& state = g_mmf.slots[slot];
    int divisor = g_options.msvol > 0 ? g_options.msvol : 127;
    int written = state.volume * state.expression / 127 * 127 / divisor;
    written = written > 127 ? 127 : written;
    if (written != state.written_volume) {
        state.written_volume = written;
        event_add({0x00, static_cast<uint8_t>(p + 0x37), static_cast<uint8_t>(written)});
    }
}

void slot_event(int slot, const TrackEvent& ev) {
    MmfSlotState& state = g_mmf.slots[slot];
    uint8_t p = static_cast<uint8_t>((slot % 4) * 64);
    int kind = ev.status & 0xF0;
    int d0 = event_data(ev, 0) & 0x7F;
    int d1 = kind == STATUS_PROGRAM_CHANGE || kind == STATUS_CHANNEL_PRESSURE
                 ? 0
                 : event_data(ev, 1) & 0x7F;
    if (kind == STATUS_PROGRAM_CHANGE) {
        if (g_prep.slot_channel[slot] != DRUM_CHANNEL) {
            event_add({0x00, static_cast<uint8_t>(p + 0x30), static_cast<uint8_t>(d0)});
        }
    } else if (kind == STATUS_PITCH_BEND) {
        if (g_options.pb == 1 && d1 != state.bend) {
            state.bend = d1;
            event_add({0x00, static_cast<uint8_t>(p + 0x34), static_cast<uint8_t>(d1)});
        }
    } else if (kind == STATUS_CONTROL_CHANGE) {
        if (d0 == CC_MODULATION && g_options.mod == 1) {
            event_add({0x00, static_cast<uint8_t>(p + 0x33), static_cast<uint8_t>(d1)});
        } else if (d0 == CC_PAN && g_options.pan == 1 && d1 != state.pan) {
            state.pan = d1;
            event_add({0x00, static_cast<uint8_t>(p + 0x3A), static_cast<uint8_t>(d1)});
        } else if (d0 == CC_VOLUME && d1 != state.volume) {
            state.volume = d1;
            volume_written(slot, p);
        } else if (d0 == CC_EXPRESSION && g_options.exp == 1 && d1 != state.expression) {
            state.expression = d1;
            volume_written(slot, p);
        }
    }
}

void channel_event(const TrackEvent& ev) {
    int channel = ev.status & 0x0F;
    for (int s = g_mmf.track * 4; s < g_mmf.track * 4 + 4; s++) {
        if (g_prep.slot_channel[s] == channel) {
            slot_event(s, ev);
        }
    }
}

uint32_t chunk_open(const char* tag) {
    out_text(tag);
    uint32_t length_pos = g_ringtone.write_pos;
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4);
    return length_pos;
}

void chunk_close(uint32_t length_pos) {
    out_put_be(length_pos, 4, g_ringtone.write_pos - length_pos - 4);
}

void setup_chunk() {
    uint32_t length_pos = chunk_open("Mtsu");
    for (int i = 0; i < g_prep.voice_count; i++) {
        int voice = g_prep.voice_list[i];
        uint8_t message[21] = {0xFF,
                               0xF0,
                               0x12,
                               0x43,
                               0x03,
                               static_cast<uint8_t>(i),
                               static_cast<uint8_t>(voice >= 128 ? 0x80 : 0x00)};
        mmf_voice_row(voice, message + 7);
        message[20] = 0xF7;
        out_bytes(message, 21);
    }
    chunk_close(length_pos);
}

void sequence_chunk() {
    uint32_t length_pos = chunk_open("Mtsq");
    for (int part = 0; part < 4; part++) {
        if (g_prep.slot_channel[g_mmf.track * 4 + part] == DRUM_CHANNEL) {
            uint8_t bank[4] = {0x00, 0x00, static_cast<uint8_t>(part * 64 + 0x31), 0x80};
            out_bytes(bank, 4);
        }
    }
    uint32_t cut = static_cast<uint32_t>(g_options.autocut) * 1024u;
    uint32_t list_start = prepared_list_pos();
    TrackWalk walk = track_walk_begin(list_start);
    TrackEvent ev;
    DeltaScale scale = delta_scale_begin(g_prep.start_time, MMF_UNITS_PER_QUARTER, g_prep.division);
    int64_t pending = 0;
    uint32_t note_ordinal = 0;
    bool stopped = false;
    while (event_parse(walk, ev)) {
        if (ev.pos - list_start > cut || g_ringtone.write_pos > RINGTONE_LIMIT ||
            g_ringtone.overflow) {
            stopped = true;
            break;
        }
        pending += delta_scale_step(scale, ev.tick);
        g_mmf.event_length = 0;
        int kind = note_kind(ev);
        if (kind > 0) {
            note_on(ev, note_ordinal++, pending);
        } else if (kind == 0 && ev.status >= STATUS_CONTROL_CHANGE &&
                   ev.status < STATUS_EXCLUSIVE && (ev.status & 0xF0) != STATUS_CHANNEL_PRESSURE) {
            channel_event(ev);
        }
        if (g_mmf.event_length > 0) {
            delta_write(pending);
            out_bytes(g_mmf.event, g_mmf.event_length);
        }
    }
    if (!stopped) {
        pending += delta_scale_step(scale, ev.tick);
    }
    if (g_ringtone.write_pos > RINGTONE_LIMIT) {
        pending = 0; // a full file only closes its tracks
    }
    delta_write(pending);
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4);
    chunk_close(length_pos);
}

void score_track(int j) {
    g_mmf.track = j;
    out_text("MTR");
    out_byte(static_cast<uint8_t>(j + 1));
    uint32_t length_pos = g_ringtone.write_pos;
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4);
    uint8_t header[6] = {0x00,
                         0x00,
                         0x02,
                         0x02,
                         static_cast<uint8_t>(g_options.pmmf),
                         static_cast<uint8_t>(g_options.pmmf)};
    out_bytes(header, 6);
    if (j == 0) {
        setup_chunk();
    }
    sequence_chunk();
    chunk_close(length_pos);
}

void content_information() {
    uint32_t length_pos = chunk_open("CNTI");
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0\0"), 5);
    if (g_options.m2 == 1) {
        out_bytes(reinterpret_cast<const uint8_t*>("M2:\x04,"), 5);
    }
    out_text("ST:");
    out_bytes(reinterpret_cast<const uint8_t*>(g_prep.title),
              static_cast<uint32_t>(g_prep.title_length));
    out_byte(',');
    out_text(g_options.a0);
    chunk_close(length_pos);
}

} // namespace

PrepResult mmf_build() {
    g_mmf = MmfRun{};
    PrepResult result = prepare_song_analyse(PrepTarget::mmf, false);
    if (result == PrepResult::ready) {
        result = prepare_song_finish(false);
    }
    if (result != PrepResult::ready) {
        return result;
    }
    ringtone_reset();
    out_text("MMMD");
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4);
    content_information();
    note_lengths_measure(prepared_list_pos(), g_prep.start_time);
    for (int j = 0; j < 4; j++) {
        score_track(j);
    }
    uint32_t size = g_ringtone.write_pos;
    out_put_be(4, 4, size + 2 - 8);
    uint16_t crc = mmf_crc16(g_ringtone.data, size);
    out_byte(static_cast<uint8_t>(crc >> 8));
    out_byte(static_cast<uint8_t>(crc));
    input_path_set_extension("mmf");
    return PrepResult::ready;
}
