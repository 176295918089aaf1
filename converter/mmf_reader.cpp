// MMF (SMAF) ringtones back to SMF: CRC and magic, the title, then up to four score tracks
// of sequence events. Every read goes through the byte cursor; a damaged file writes nothing.
#include "common/byte_cursor.h"
#include "converter/converter.h"
#include "converter/mmf_crc.h"
#include "converter/ringtone_io.h"
#include "converter/smf_build.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

namespace {

constexpr int MMF_SCORE_TRACKS = 4;
constexpr int EXPRESSION_TABLE[15] = {0, 0, 16, 32, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 127};
constexpr int MODULATION_TABLE[15] = {0, 0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 96, 112, 127};
// Time bases the score tracks name, and the division each becomes at 480,000 us per quarter.
constexpr struct {
    uint8_t code;
    int32_t division;
} TIME_BASES[] = {{0, 480}, {1, 240}, {2, 120}, {3, 96}, {16, 48}, {17, 24}, {18, 12}, {19, 12}};
// A time base outside the list keeps the 4 ms unit the writer uses, rather than a division
// of 0 that no reader accepts.
constexpr int32_t UNKNOWN_TIME_BASE_DIVISION = 120;

// One reverse conversion of an MMF file. Single-threaded (the converter runs on one thread),
// reset as each reading begins.
struct MmfReader {
    ByteCursor score = {};    // the file up to its CRC
    ByteCursor sequence = {}; // the body of the sequence chunk being read
    bool data_error = false;
    int track = 0;    // score track being read
    int64_t time = 0; // in the track's time base
    int channel_map[16] = {};
    int octave_shift[16] = {};
    int drum_key[16] = {};
    uint8_t time_base = 0; // code of the last score track's time base
};

MmfReader g_rd;

// A time of the sequence: one byte below 128, else two, the second adding 128.
bool time_read(int64_t& out) {
    uint8_t b0 = cursor_u8(g_rd.sequence);
    if (g_rd.sequence.overrun) {
        return false;
    }
    if (b0 < 128) {
        out = b0;
        return true;
    }
    uint8_t b1 = cursor_u8(g_rd.sequence);
    if (g_rd.sequence.overrun) {
        return false;
    }
    out = ((b0 & 127) << 7) + b1 + 128;
    return true;
}

int table_value(const int* table, int low) {
    // Fifteen entries: the sixteenth index reads as the last one.
    return table[low < 15 ? low : 14];
}

// The text after "ST:" up to the next ',' of the content information, past its five class
// bytes, becomes the sequence name.
void title_read(ByteCursor content) {
    cursor_skip(content, 5);
    while (cursor_remaining(content) >= 3) {
        if (!cursor_at_tag(content, "ST:", 3)) {
            cursor_skip(content, 1);
            continue;
        }
        cursor_skip(content, 3);
        const uint8_t* text = content.data + content.pos;
        size_t length = 0;
        while (length < cursor_remaining(content) && text[length] != ',') {
            length++;
        }
        smf_sequence_name(text, static_cast<uint32_t>(length));
        return;
    }
}

void control(int e, uint8_t b) {
    int kind = (b >> 4) & 3;
    int low = b & 15;
    uint8_t controller_status = static_cast<uint8_t>(STATUS_CONTROL_CHANGE | e);
    int64_t t = g_rd.time;
    if (kind == 0) {
        smf_event3(t, controller_status, CC_EXPRESSION,
                   static_cast<uint8_t>(table_value(EXPRESSION_TABLE, low)));
        return;
    }
    if (kind == 1) {
        smf_event3(t, static_cast<uint8_t>(STATUS_PITCH_BEND | e), 0,
                   static_cast<uint8_t>(low * 8));
        return;
    }
    if (kind == 2) {
        smf_event3(t, controller_status, CC_MODULATION,
                   static_cast<uint8_t>(table_value(MODULATION_TABLE, low)));
        return;
    }
    uint8_t v = cursor_u8(g_rd.sequence);
    if (g_rd.sequence.overrun) {
        return;
    }
    // Values keep to seven bits: a data byte of 128 or more would be a status byte.
    uint8_t v7 = v & 127;
    switch (low) {
    case 0:
        g_rd.drum_key[e] = v7;
        if (g_rd.channel_map[e] != 9) {
            smf_event2(t, static_cast<uint8_t>(STATUS_PROGRAM_CHANGE | e), v7);
        }
        break;
    case 1:
        g_rd.channel_map[e] = v >= 128 ? 9 : e;
        break;
    case 2:
        g_rd.octave_shift[e] = (v & 0x80) != 0 ? -(v & 7) : (v & 7);
        break;
    case 3:
        smf_event3(t, controller_status, CC_MODULATION, v7);
        break;
    case 4:
        smf_event3(t, static_cast<uint8_t>(STATUS_PITCH_BEND | e), 0, v7);
        break;
    case 7:
        smf_event3(t, controller_status, CC_VOLUME, v7);
        break;
    case 10:
        smf_event3(t, controller_status, CC_PAN, v7);
        break;
    case 11:
        smf_event3(t, controller_status, CC_EXPRESSION, v7);
        break;
    default:
        break;
    }
}

// Events of one sequence chunk (g_rd.sequence); false on damage.
bool sequence() {
    ByteCursor& in = g_rd.sequence;
    g_rd.time = 0;
    bool ended = false;
    while (!ended && !in.overrun) {
        int64_t delta;
        if (!time_read(delta)) {
            break;
        }
        g_rd.time += delta;
        smf_offs_due(g_rd.time);
        uint8_t c = cursor_u8(in);
        if (in.overrun) {
            break;
        }
        if (c == 0xFF) {
            cursor_skip(in, 1);
        } else if (c != 0) {
            int e = (g_rd.track * 4 + (c >> 6)) & 15;
            int key = g_rd.channel_map[e] == 9
                          ? g_rd.drum_key[e]
                          : ((c & 15) + (((c >> 4) & 3) + g_rd.octave_shift[e] + 3) * 12) & 127;
            int64_t gate;
            if (time_read(gate)) {
                smf_note(g_rd.time, g_rd.channel_map[e], key, 127, static_cast<int>(gate));
            }
        } else if (cursor_at_tag(in, "\0\0", 2)) {
            ended = true;
        } else {
            uint8_t b = cursor_u8(in);
            if (!in.overrun) {
                control((g_rd.track * 4 + (b >> 6)) & 15, b);
            }
        }
    }
    return ended && !in.overrun;
}

// The length of the chunk whose tag the cursor stands on, moving past both; 0 and a data
// error when the length is cut or claims more than the score holds.
uint32_t chunk_length() {
    cursor_skip(g_rd.score, 4);
    uint32_t length = cursor_be(g_rd.score, 4);
    if (g_rd.score.overrun || length > cursor_remaining(g_rd.score)) {
        g_rd.data_error = true;
        return 0;
    }
    return length;
}

// One score track; false when the list ends (no "Mtsq") or on damage (data_error set).
bool score_track() {
    ByteCursor& score = g_rd.score;
    if (!cursor_at_tag(score, "MTR", 3)) {
        return false;
    }
    uint32_t length = chunk_length();
    if (g_rd.data_error || length < 6) {
        g_rd.data_error = true;
        return false;
    }
    size_t track_end = score.pos + length;
    // Format, sequence type, the two time bases and the channel status.
    const uint8_t* head = cursor_take(score, 6);
    g_rd.time_base = head[2];
    // The chunks inside a track are measured against the score, not the track: a sequence
    // that runs past its track's end is read whole.
    while (cursor_at_tag(score, "MspI", 4) || cursor_at_tag(score, "Mtsu", 4)) {
        uint32_t skip = chunk_length();
        if (g_rd.data_error) {
            return false;
        }
        cursor_skip(score, skip);
    }
    if (!cursor_at_tag(score, "Mtsq", 4)) {
        return false;
    }
    uint32_t sequence_length = chunk_length();
    if (g_rd.data_error) {
        return false;
    }
    g_rd.sequence = cursor_sub(score, sequence_length);
    // The first score track continues the track that holds the tempo and the title.
    if (g_rd.track > 0 && !smf_track_begin()) {
        return false;
    }
    g_smf_build.pending_count = 0;
    if (!sequence()) {
        g_rd.data_error = true;
        return false;
    }
    smf_track_end(g_rd.time);
    if (track_end > score.pos) {
        cursor_seek(score, track_end);
    }
    return true;
}

int32_t division_of(uint8_t code) {
    for (const auto& base : TIME_BASES) {
        if (base.code == code) {
            return base.division;
        }
    }
    return UNKNOWN_TIME_BASE_DIVISION;
}

} // namespace

RingtoneReadReport mmf_read() {
    g_rd = MmfReader{};
    if (!ringtone_read_file(g_converter.input_path)) {
        return {RingtoneReadResult::cannot_open, 0};
    }
    // 1. CRC over the file chunk (length + 6 bytes), then the magic.
    ByteCursor file = byte_cursor(g_ringtone.data, g_ringtone.size);
    bool magic_ok = cursor_at_tag(file, "MMMD", 4);
    cursor_skip(file, 4);
    uint32_t file_length = cursor_be(file, 4);
    bool crc_ok = !file.overrun && file_length <= cursor_remaining(file);
    uint32_t covered = file_length + 6;
    if (crc_ok) {
        cursor_seek(file, covered);
        uint16_t stored = static_cast<uint16_t>(cursor_be(file, 2));
        crc_ok = mmf_crc16(g_ringtone.data, covered) == stored;
    }
    if (!crc_ok || !magic_ok) {
        return {RingtoneReadResult::damaged, 0};
    }
    // The score data ends where the CRC begins.
    g_rd.score = byte_cursor(g_ringtone.data, covered);
    for (int i = 0; i < 16; i++) {
        g_rd.channel_map[i] = i;
    }
    // 2. The first track begins with the fixed tempo of 125 bpm.
    smf_build_begin();
    smf_track_begin();
    uint8_t tempo[6] = {STATUS_META, META_TEMPO, 0x03, 0x07, 0x53, 0x00};
    smf_event(0, tempo, 6);
    // 3. The content information, when present.
    cursor_seek(g_rd.score, 8);
    if (cursor_at_tag(g_rd.score, "CNTI", 4)) {
        uint32_t cnti_length = chunk_length();
        if (g_rd.data_error) {
            return {RingtoneReadResult::damaged, 0};
        }
        title_read(cursor_sub(g_rd.score, cnti_length));
    }
    // 4. Up to four score tracks.
    bool any = false;
    for (g_rd.track = 0; g_rd.track < MMF_SCORE_TRACKS; g_rd.track++) {
        if (!score_track()) {
            break;
        }
        any = true;
    }
    if (g_rd.data_error) {
        return {RingtoneReadResult::damaged, 0};
    }
    if (!any) {
        smf_track_end(0);
    }
    // 6. Division of the last score track's time base; format 0 with one track.
    input_path_set_extension("mid");
    if (!smf_build_finish(division_of(g_rd.time_base))) {
        return {RingtoneReadResult::not_written, 0};
    }
    return {RingtoneReadResult::built, 0};
}
