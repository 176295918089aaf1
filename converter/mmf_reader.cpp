// MMF (SMAF) ringtones back to SMF: CRC and magic, the title, then up to four score tracks
// of sequence events. Every read is bounds-checked; a damaged file writes nothing.
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

// One reverse conversion of an MMF file. Single-threaded.
struct MmfReader {
    uint32_t pos;
    uint32_t end; // end of the data being read (the file, then one sequence chunk)
    bool data_error;
    int track;
    int64_t time;
    int channel_map[16];
    int octave_shift[16];
    int drum_key[16];
    uint8_t time_base;
};

MmfReader g_rd;

bool read_byte(uint8_t& out) {
    if (g_rd.pos >= g_rd.end) {
        g_rd.data_error = true;
        return false;
    }
    out = g_ringtone.data[g_rd.pos++];
    return true;
}

bool read_be32(uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; i++) {
        uint8_t b;
        if (!read_byte(b)) {
            return false;
        }
        out = (out << 8) | b;
    }
    return true;
}

bool tag_at(uint32_t pos, const char* tag, uint32_t length) {
    return pos + length <= g_rd.end && memcmp(g_ringtone.data + pos, tag, length) == 0;
}

bool time_read(int64_t& out) {
    uint8_t b0;
    if (!read_byte(b0)) {
        return false;
    }
    if (b0 < 128) {
        out = b0;
        return true;
    }
    uint8_t b1;
    if (!read_byte(b1)) {
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
void title_read(uint32_t data_start, uint32_t data_end) {
    uint32_t start = data_start + 5;
    uint32_t end = data_end;
    for (uint32_t p = start; p + 3 <= end; p++) {
        if (memcmp(g_ringtone.data + p, "ST:", 3) != 0) {
            continue;
        }
        uint32_t q = p + 3;
        while (q < end && g_ringtone.data[q] != ',') {
            q++;
        }
        smf_sequence_name(g_ringtone.data + p + 3, q - (p + 3));
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
    uint8_t v;
    if (!read_byte(v)) {
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

// Events of one sequence chunk; false on damage.
bool sequence(uint32_t end) {
    uint32_t file_end = g_rd.end;
    g_rd.end = end;
    g_rd.time = 0;
    bool ended = false;
    while (!ended && !g_rd.data_error) {
        int64_t delta;
        if (!time_read(delta)) {
            break;
        }
        g_rd.time += delta;
        smf_offs_due(g_rd.time);
        uint8_t c;
        if (!read_byte(c)) {
            break;
        }
        if (c == 0xFF) {
            uint8_t skipped;
            read_byte(skipped);
        } else if (c != 0) {
            int e = (g_rd.track * 4 + (c >> 6)) & 15;
            int key = g_rd.channel_map[e] == 9
                          ? g_rd.drum_key[e]
                          : ((c & 15) + (((c >> 4) & 3) + g_rd.octave_shift[e] + 3) * 12) & 127;
            int64_t gate;
            if (time_read(gate)) {
                smf_note(g_rd.time, g_rd.channel_map[e], key, 127, static_cast<int>(gate));
            }
        } else if (tag_at(g_rd.pos, "\0\0", 2)) {
            ended = true;
        } else {
            uint8_t b;
            if (read_byte(b)) {
                control((g_rd.track * 4 + (b >> 6)) & 15, b);
            }
        }
    }
    g_rd.end = file_end;
    return ended && !g_rd.data_error;
}

// One score track; false when the list ends (no "Mtsq") or on damage (data_error set).
bool score_track() {
    if (!tag_at(g_rd.pos, "MTR", 3)) {
        return false;
    }
    g_rd.pos += 4;
    uint32_t length;
    if (!read_be32(length) || length > g_rd.end - g_rd.pos || length < 6) {
        g_rd.data_error = true;
        return false;
    }
    uint32_t track_end = g_rd.pos + length;
    g_rd.time_base = g_ringtone.data[g_rd.pos + 2];
    g_rd.pos += 6;
    while (tag_at(g_rd.pos, "MspI", 4) || tag_at(g_rd.pos, "Mtsu", 4)) {
        g_rd.pos += 4;
        uint32_t skip;
        if (!read_be32(skip) || skip > g_rd.end - g_rd.pos) {
            g_rd.data_error = true;
            return false;
        }
        g_rd.pos += skip;
    }
    if (!tag_at(g_rd.pos, "Mtsq", 4)) {
        return false;
    }
    g_rd.pos += 4;
    uint32_t sequence_length;
    if (!read_be32(sequence_length) || sequence_length > g_rd.end - g_rd.pos) {
        g_rd.data_error = true;
        return false;
    }
    uint32_t sequence_end = g_rd.pos + sequence_length;
    // The first score track continues the track that holds the tempo and the title.
    if (g_rd.track > 0 && !smf_track_begin()) {
        return false;
    }
    g_smf_build.pending_count = 0;
    if (!sequence(sequence_end)) {
        g_rd.data_error = true;
        return false;
    }
    smf_track_end(g_rd.time);
    g_rd.pos = track_end > sequence_end ? track_end : sequence_end;
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

void mmf_to_smf() {
    memset(&g_rd, 0, sizeof g_rd);
    if (!ringtone_read_file(g_converter.input_path)) {
        return;
    }
    g_rd.end = g_ringtone.size;
    // 1. CRC over the file chunk (length + 6 bytes), then the magic.
    uint32_t file_length = g_ringtone.size >= 8
                               ? (g_ringtone.data[4] << 24) | (g_ringtone.data[5] << 16) |
                                     (g_ringtone.data[6] << 8) | g_ringtone.data[7]
                               : 0;
    bool crc_ok = g_ringtone.size >= 8 && file_length <= g_ringtone.size - 8;
    if (crc_ok) {
        uint32_t covered = file_length + 6;
        uint16_t stored =
            static_cast<uint16_t>((g_ringtone.data[covered] << 8) | g_ringtone.data[covered + 1]);
        crc_ok = mmf_crc16(g_ringtone.data, covered) == stored;
    }
    if (!crc_ok || !tag_at(0, "MMMD", 4)) {
        converter_message("正常なデータではありません。", nullptr);
        return;
    }
    g_rd.end = file_length + 6; // the score data ends where the CRC begins
    for (int i = 0; i < 16; i++) {
        g_rd.channel_map[i] = i;
    }
    // 2. The first track begins with the fixed tempo of 125 bpm.
    smf_build_begin();
    smf_track_begin();
    uint8_t tempo[6] = {STATUS_META, META_TEMPO, 0x03, 0x07, 0x53, 0x00};
    smf_event(0, tempo, 6);
    // 3. The content information, when present.
    g_rd.pos = 8;
    if (tag_at(8, "CNTI", 4)) {
        g_rd.pos = 12;
        uint32_t cnti_length;
        if (!read_be32(cnti_length) || cnti_length > g_rd.end - g_rd.pos) {
            converter_message("正常なデータではありません。", nullptr);
            return;
        }
        title_read(g_rd.pos, g_rd.pos + cnti_length);
        g_rd.pos += cnti_length;
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
        converter_message("正常なデータではありません。", nullptr);
        return;
    }
    if (!any) {
        smf_track_end(0);
    }
    // 6. Division of the last score track's time base; format 0 with one track.
    input_path_set_extension("mid");
    if (smf_build_write(division_of(g_rd.time_base))) {
        g_converter.output_written = true;
    }
}
