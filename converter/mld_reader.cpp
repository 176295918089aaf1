// MLD and PMD ringtones back to SMF: header chunks, then every track's notes and commands.
// Every read goes through the byte cursor over the file data; running past it is "DATA ERROR".
#include "common/byte_cursor.h"
#include "converter/converter.h"
#include "converter/mail_text.h"
#include "converter/ringtone_io.h"
#include "converter/smf_build.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

namespace {

constexpr int DEFAULT_DIVISION = 48;
constexpr int OCTAVE_OFFSET[4] = {0, 12, -24, -12};
constexpr uint32_t LONGEST_CARRIED = 3 + 65535; // a carried event: command, length, data

// One reverse conversion of an MLD or PMD file. Single-threaded (the converter runs on one
// thread), reset as each reading begins.
struct MldReader {
    ByteCursor in = {};           // over the file; an overrun is a data error
    bool foreign = false;         // stopped at an unknown command
    uint32_t foreign_pos = 0;     // where it stood
    bool cmid = false;            // au file: drum notes count from key 45
    bool direct_channels = false; // '#' before the extension: part p of track t is channel 4t + p
    bool third_byte = false;      // notes carry a velocity/octave byte
    int channel_map[16] = {};
    int track = 0;         // ringtone track being read
    int64_t time = 0;      // in the ringtone's ticks
    int program_count = 0; // program assembly of the pair 0xE1/0xE0
    int program_sum = 0;
    int32_t division = 0;
    bool division_set = false;
    char title[256] = {};
    uint32_t title_length = 0;
    char carried[(LONGEST_CARRIED + 2) / 3 * 4 + 1] = {}; // Base64 of a carried event
};

MldReader g_mld;

bool damaged() {
    return g_mld.in.overrun;
}

bool at_tag(const char* tag) {
    return cursor_at_tag(g_mld.in, tag, 4);
}

// Channel of part p of the current track. Ringtones have at most four tracks; a longer file
// wraps round the sixteen channels rather than reading past the map.
int part_index(int part) {
    return (g_mld.track * 4 + part) & 15;
}

int part_channel(int part) {
    int e = part_index(part);
    return g_mld.direct_channels ? e : g_mld.channel_map[e];
}

// A drum part is one the map marks as channel 10, even when '#' keeps it on its own channel.
bool part_is_drum(int part) {
    return g_mld.channel_map[part_index(part)] == 9;
}

// A key folded into the MIDI range by octaves, so a high octave code cannot make a data
// byte of 128 or more.
int key_fold(int key) {
    while (key > 127) {
        key -= 12;
    }
    while (key < 0) {
        key += 12;
    }
    return key;
}

bool header_chunks() {
    cursor_seek(g_mld.in, 13);
    while (!at_tag("trac")) {
        const uint8_t* tag = cursor_take(g_mld.in, 4);
        uint32_t length = cursor_be(g_mld.in, 2);
        const uint8_t* data = cursor_take(g_mld.in, length);
        if (damaged()) {
            return false;
        }
        if (memcmp(tag, "titl", 4) == 0) {
            g_mld.title_length = length < sizeof g_mld.title ? length : sizeof g_mld.title - 1;
            memcpy(g_mld.title, data, g_mld.title_length);
        } else if (memcmp(tag, "note", 4) == 0 && length >= 2) {
            g_mld.third_byte = data[1] != 0;
        }
    }
    return true;
}

void note(uint8_t status) {
    int part = status >> 6;
    int number = status & 0x3F;
    int channel = part_channel(part);
    int key =
        part_is_drum(part) ? number + (g_mld.cmid ? 45 : 35) : number + 45 - g_options.toneshift;
    uint8_t duration = cursor_u8(g_mld.in);
    if (damaged()) {
        return;
    }
    int velocity = 100;
    if (g_mld.third_byte) {
        uint8_t b = cursor_u8(g_mld.in);
        if (damaged()) {
            return;
        }
        velocity = (b >> 2) * 2;
        key += OCTAVE_OFFSET[b & 3];
    }
    smf_note(g_mld.time, channel, key_fold(key), velocity, duration);
}

void tempo(uint8_t command, uint8_t bpm) {
    if (!g_mld.division_set) {
        g_mld.division = (command < 0xC8 ? 6 : 15) << (command & 7);
        g_mld.division_set = true;
    }
    // A tempo of 0 has no length of a quarter note: the song keeps its previous tempo. Below
    // 4 bpm the microseconds would not fit the event's three bytes.
    if (bpm == 0) {
        return;
    }
    uint32_t usec = 60000000u / bpm;
    usec = usec > 0xFFFFFF ? 0xFFFFFF : usec;
    uint8_t bytes[6] = {STATUS_META,
                        META_TEMPO,
                        0x03,
                        static_cast<uint8_t>(usec >> 16),
                        static_cast<uint8_t>(usec >> 8),
                        static_cast<uint8_t>(usec)};
    smf_event(g_mld.time, bytes, 6);
}

void part_command(uint8_t command, uint8_t d) {
    int part = d >> 6;
    uint8_t channel = static_cast<uint8_t>(part_channel(part));
    int64_t t = g_mld.time;
    switch (command) {
    case 0xE0:
    case 0xE1:
        // The two halves of a program change stand next to each other in one track.
        g_mld.program_sum += command == 0xE0 ? (d & 63) : (d & 1) * 64;
        if (++g_mld.program_count == 2) {
            smf_event2(t, static_cast<uint8_t>(STATUS_PROGRAM_CHANGE | channel),
                       static_cast<uint8_t>(g_mld.program_sum & 127));
            g_mld.program_count = 0;
            g_mld.program_sum = 0;
        }
        break;
    case 0xE2:
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_VOLUME,
                   static_cast<uint8_t>((d & 63) * 2));
        break;
    case 0xE3:
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_PAN, static_cast<uint8_t>((d & 63) * 2));
        break;
    case 0xE4:
        smf_event3(t, STATUS_PITCH_BEND | channel, 0, static_cast<uint8_t>((d & 63) * 2));
        break;
    case 0xE5:
        // The entry of this track's part: a mark in track 2 must not retune track 1.
        g_mld.channel_map[part_index(part)] = d & 15;
        break;
    case 0xE6:
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_EXPRESSION,
                   static_cast<uint8_t>((d & 0x20) != 0 ? (d & 31) * 2 : (d & 31) * 4));
        break;
    case 0xE7:
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_RPN_MSB, 0);
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_RPN_LSB, 0);
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_DATA_ENTRY_MSB,
                   static_cast<uint8_t>(d & 63));
        break;
    case 0xEA:
        smf_event3(t, STATUS_CONTROL_CHANGE | channel, CC_MODULATION,
                   static_cast<uint8_t>((d & 63) * 2));
        break;
    default: // 0xE8, 0xE9
        break;
    }
}

// Commands with data that SMF has no event for travel as Base64 in a system exclusive
// message that the writer turns back into the same bytes.
void carried(size_t start, uint32_t length) {
    base64_encode(g_mld.in.data + start, g_mld.carried, length);
    uint32_t text = static_cast<uint32_t>(strlen(g_mld.carried));
    uint32_t sysex_length = text + 2;
    uint8_t head[6];
    uint32_t n = 0;
    head[n++] = STATUS_EXCLUSIVE;
    uint8_t vlq[4];
    int v = 0;
    uint32_t value = sysex_length;
    vlq[v++] = static_cast<uint8_t>(value & 0x7F);
    while ((value >>= 7) != 0) {
        vlq[v++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
    }
    while (v > 0) {
        head[n++] = vlq[--v];
    }
    head[n++] = 0x64;
    smf_event(g_mld.time, head, n);
    arena_append(reinterpret_cast<const uint8_t*>(g_mld.carried), text);
    arena_append_byte(STATUS_EXCLUSIVE_END);
}

void long_command(uint8_t command) {
    size_t start = g_mld.in.pos - 1; // the command byte
    if (command == 0xDD) {
        cursor_skip(g_mld.in, 1);
        if (!damaged()) {
            carried(start, 2);
        }
        return;
    }
    uint32_t length = cursor_be(g_mld.in, 2);
    const uint8_t* data = cursor_take(g_mld.in, length);
    if (damaged()) {
        return;
    }
    if (command == 0xFF && length == 4 && data[0] == 0x11 && data[1] == 0xF1) {
        // The modulation form names its MIDI channel by the part number alone: neither the
        // track nor the channel map applies.
        int channel = data[2] >> 6;
        smf_event3(g_mld.time, static_cast<uint8_t>(STATUS_CONTROL_CHANGE | channel), CC_MODULATION,
                   static_cast<uint8_t>((data[3] * 2) & 127));
        return;
    }
    carried(start, length + 3);
}

// One 0xFF command; false at the end of the track or when the conversion stops.
bool command() {
    uint8_t c = cursor_u8(g_mld.in);
    if (damaged()) {
        return false;
    }
    if (c == 0xDD || c == 0xF0 || c == 0xF1 || c == 0xFF) {
        long_command(c);
        return !damaged();
    }
    bool one_byte = c == 0xB0 || c == 0xD0 || c == 0xDE || c == 0xBA || c == 0xDF ||
                    (c >= 0xC0 && c <= 0xC6) || (c >= 0xC8 && c <= 0xCE) ||
                    (c >= 0xE0 && c <= 0xEA);
    if (!one_byte) {
        g_mld.foreign = true;
        g_mld.foreign_pos = static_cast<uint32_t>(g_mld.in.pos - 1);
        return false;
    }
    uint8_t d = cursor_u8(g_mld.in);
    if (damaged()) {
        return false;
    }
    if (c == 0xDF) {
        return false;
    }
    if (c == 0xBA) {
        if ((d & 1) != 0) {
            g_mld.channel_map[(d >> 3) & 15] = 9;
        }
    } else if (c >= 0xC0 && c <= 0xCE) {
        tempo(c, d);
    } else if (c >= 0xE0) {
        part_command(c, d);
    }
    return true;
}

// One "trac" chunk; false when the conversion stops.
bool track() {
    cursor_skip(g_mld.in, 8); // the tag and the length: a track runs to its end command
    if (damaged() || !smf_track_begin()) {
        return false;
    }
    if (g_mld.track == 0) {
        smf_sequence_name(reinterpret_cast<const uint8_t*>(g_mld.title), g_mld.title_length);
    }
    g_mld.time = 0;
    g_mld.program_count = 0;
    g_mld.program_sum = 0;
    for (;;) {
        uint8_t delta = cursor_u8(g_mld.in);
        if (damaged()) {
            return false;
        }
        g_mld.time += delta;
        smf_offs_due(g_mld.time);
        uint8_t status = cursor_u8(g_mld.in);
        if (damaged()) {
            return false;
        }
        if (status != 0xFF) {
            note(status);
        } else if (!command()) {
            break;
        }
        if (damaged()) {
            return false;
        }
    }
    if (damaged() || g_mld.foreign) {
        return false;
    }
    smf_track_end(g_mld.time);
    return true;
}

} // namespace

RingtoneReadReport mld_read() {
    g_mld = MldReader{};
    if (!ringtone_read_file(g_converter.input_path)) {
        return {RingtoneReadResult::cannot_open, 0};
    }
    g_mld.in = byte_cursor(g_ringtone.data, g_ringtone.size);
    if (!at_tag("melo") && !at_tag("cmid")) {
        return {RingtoneReadResult::not_a_ringtone, 0};
    }
    g_mld.cmid = at_tag("cmid");
    g_mld.direct_channels = input_path_mark() == '#';
    g_mld.division = DEFAULT_DIVISION;
    for (int i = 0; i < 16; i++) {
        g_mld.channel_map[i] = i;
    }
    smf_build_begin();
    bool ok = header_chunks();
    while (ok) {
        ok = track();
        g_mld.track++;
        if (!ok || !at_tag("trac")) {
            break;
        }
    }
    if (g_mld.foreign) {
        return {RingtoneReadResult::unknown_command, g_mld.foreign_pos};
    }
    if (damaged() || !ok) {
        return {RingtoneReadResult::damaged, 0};
    }
    input_path_set_extension("MID");
    if (!smf_build_finish(g_mld.division)) {
        return {RingtoneReadResult::not_written, 0};
    }
    return {RingtoneReadResult::built, 0};
}
