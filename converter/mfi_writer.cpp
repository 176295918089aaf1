// The MFi (MLD) and PMD writer: header chunks, one pass over the prepared list per output
// track, what the shell's messages need to know, and the mail text.
#include "common/text_sjis.h"
#include "converter/converter.h"
#include "converter/mail_text.h"
#include "converter/prepared_walk.h"
#include "converter/ringtone_io.h"
#include "converter/smf_prepare.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

enum ChangeKind {
    KIND_VOLUME,
    KIND_EXPRESSION,
    KIND_WRITTEN_VOLUME,
    KIND_PAN,
    KIND_BEND,
    KIND_MOD
};
constexpr int CHANGE_KINDS = 6;
constexpr uint8_t CHANGE_START[CHANGE_KINDS] = {50, 63, 255, 32, 32, 0};
constexpr uint32_t MAIL_MESSAGE_BELOW = 360;
constexpr uint8_t RPN_MSB_ZERO = 1; // controller 101 value 0 seen
constexpr uint8_t RPN_LSB_ZERO = 2; // controller 100 value 0 seen

// One MFi/PMD conversion. Single-threaded (the converter runs on one thread), reset for
// every conversion; the change memory then starts from CHANGE_START.
struct MfiRun {
    bool au = false; // PMD (au) rather than MLD
    int track = 0;   // output track being written
    uint8_t last_value[CHANGE_KINDS][PREP_SLOTS] = {};
    uint8_t rpn_bits = 0; // RPN_MSB_ZERO, RPN_LSB_ZERO
    bool stopped_full = false;
    bool stopped_cut = false;
    uint8_t event[RINGTONE_EVENT_MAX] = {}; // outputs of one source event
    uint32_t event_length = 0;
};

MfiRun g_mfi;

void event_reset() {
    g_mfi.event_length = 0;
}

// Adds one output of the current source event; outputs after the first get a zero delta.
void event_add(std::initializer_list<uint8_t> bytes) {
    uint32_t need = static_cast<uint32_t>(bytes.size()) + (g_mfi.event_length > 0 ? 1 : 0);
    if (g_mfi.event_length + need > RINGTONE_EVENT_MAX) {
        return;
    }
    if (g_mfi.event_length > 0) {
        g_mfi.event[g_mfi.event_length++] = 0x00;
    }
    for (uint8_t b : bytes) {
        g_mfi.event[g_mfi.event_length++] = b;
    }
}

bool changed(int kind, int slot, uint8_t value) {
    if (slot / 4 != g_mfi.track || g_mfi.last_value[kind][slot] == value) {
        return false;
    }
    g_mfi.last_value[kind][slot] = value;
    return true;
}

// The pending delta, with a filler for every 255 ticks beyond what one byte holds. Fillers
// stop at the size limit, so a full file still has room to close its tracks.
void delta_write(int64_t& pending) {
    static const uint8_t FILLER[4] = {255, 0xFF, 0xDE, 0x00};
    while (pending > 255 && g_ringtone.write_pos <= RINGTONE_LIMIT) {
        out_bytes(FILLER, 4);
        pending -= 255;
    }
    out_byte(static_cast<uint8_t>(pending > 255 ? 255 : pending));
    pending = 0;
}

uint8_t tempo_code() {
    switch (g_prep.division) {
    case 24:
        return 0xC2;
    case 12:
        return 0xC1;
    case 6:
        return 0xC0;
    default:
        return 0xC3;
    }
}

// Note lengths count 48 ticks per quarter note above division 24, source ticks otherwise.
int note_duration(int32_t length) {
    int64_t d = length;
    if (g_prep.division > 24) {
        d = d * 48 / g_prep.division;
    }
    d = d < 1 ? 1 : (d > 255 ? 255 : d);
    if (g_mfi.au && d > 1) {
        d--;
    }
    return static_cast<int>(d);
}

void note_on(const TrackEvent& ev, uint32_t ordinal) {
    int slot = ev.status & 0x0F;
    if (slot / 4 != g_mfi.track || ev.tick < g_prep.start_time) {
        return;
    }
    int part = slot % 4;
    int key = event_data(ev, 0);
    int number = prep_slot_owner(slot) == DRUM_CHANNEL ? key - (g_mfi.au ? 45 : 35)
                                                       : key + g_options.toneshift - 45;
    int octave = 0;
    if (g_prep.needs_extended_notes) {
        if (number < 0) {
            number += 12;
            octave = 3;
            if (number < 0) {
                number += 12;
                octave = 2;
            }
        } else if (number > 62) {
            number -= 12;
            octave = 1;
        }
    }
    // A number still outside 0..62 (an au drum key checked with the tone shift but written
    // without it) would spill into the part bits: it sounds in the nearest octave instead.
    while (number < 0) {
        number += 12;
    }
    while (number > 62) {
        number -= 12;
    }
    int duration = note_duration(note_length_of(ordinal));
    uint8_t first = static_cast<uint8_t>(part * 64 + number);
    if (g_prep.needs_extended_notes) {
        int velocity = event_data(ev, 1);
        event_add({first, static_cast<uint8_t>(duration),
                   static_cast<uint8_t>(((velocity * 2) & 0xFC) + octave)});
    } else {
        event_add({first, static_cast<uint8_t>(duration)});
    }
}

// A system exclusive message on track 0: Base64-carried raw bytes or the GS drum mark.
void exclusive(const TrackEvent& ev) {
    if (g_mfi.track != 0 || ev.data_length == 0) {
        return;
    }
    const uint8_t* data = g_song.arena + ev.data_pos;
    uint32_t length = ev.data_length;
    if (data[0] == 0x64) {
        uint32_t text_length = length - 1 - (data[length - 1] == STATUS_EXCLUSIVE_END ? 1 : 0);
        uint32_t groups = text_length / 4;
        if (1 + groups * 3 > RINGTONE_EVENT_MAX) {
            return;
        }
        g_mfi.event[0] = 0xFF;
        uint32_t n = 1;
        for (uint32_t g = 0; g < groups; g++) {
            uint8_t bytes[3];
            int count = base64_decode_group(reinterpret_cast<const char*>(data + 1 + g * 4), bytes);
            for (int i = 0; i < count; i++) {
                g_mfi.event[n++] = bytes[i];
            }
        }
        g_mfi.event_length = n;
        return;
    }
    if (length >= 8 && data[0] == 0x41 && data[1] == 0x10 && data[2] == 0x42 && data[3] == 0x12 &&
        data[4] == 0x40 && (data[5] & 0xF0) == 0x10 && data[6] == 0x15 && data[7] > 0) {
        int x = data[5] & 0x0F;
        if (x == 0) {
            return;
        }
        int channel = x <= 9 ? x - 1 : x;
        uint8_t mark[4] = {0x00, 0xFF, 0xBA, static_cast<uint8_t>(channel * 8 + 1)};
        out_bytes(mark, 4);
    }
}

void volume_written(int slot, uint8_t p) {
    int written =
        g_mfi.last_value[KIND_VOLUME][slot] * g_mfi.last_value[KIND_EXPRESSION][slot] / 63;
    if (changed(KIND_WRITTEN_VOLUME, slot, static_cast<uint8_t>(written))) {
        event_add({0xFF, 0xE2, static_cast<uint8_t>(p + written)});
    }
}

uint8_t six_bits(int value) {
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 63 ? 63 : value));
}

void control_change(int slot, uint8_t p, int controller, int value) {
    switch (controller) {
    case CC_DATA_ENTRY_MSB:
        if (g_mfi.rpn_bits == (RPN_MSB_ZERO | RPN_LSB_ZERO) && g_options.pb == 1) {
            event_add({0xFF, 0xE7, static_cast<uint8_t>(p + six_bits(value))});
        }
        break;
    case CC_MODULATION:
        if (g_options.mod == 1 && changed(KIND_MOD, slot, static_cast<uint8_t>(value / 2))) {
            if (g_prep.separation && g_prep.version < 3) {
                event_add({0xFF, 0xFF, 0x00, 0x04, 0x11, 0xF1, static_cast<uint8_t>(p + 1),
                           static_cast<uint8_t>(value / 2)});
            } else {
                event_add({0xFF, 0xEA, static_cast<uint8_t>(p + value / 2)});
            }
        }
        break;
    case CC_VOLUME:
        if (changed(KIND_VOLUME, slot, static_cast<uint8_t>(value / 2))) {
            volume_written(slot, p);
        }
        break;
    case CC_EXPRESSION:
        if (g_options.exp == 1 && changed(KIND_EXPRESSION, slot, static_cast<uint8_t>(value / 2))) {
            volume_written(slot, p);
        }
        break;
    case CC_PAN:
        if (g_options.pan == 1 && changed(KIND_PAN, slot, static_cast<uint8_t>(value / 2))) {
            event_add({0xFF, 0xE3, static_cast<uint8_t>(p + value / 2)});
        }
        break;
    default:
        break;
    }
}

// The slots of this output track that play a channel.
int target_slots(int channel, int* slots) {
    int n = 0;
    if (!g_prep.separation) {
        if (channel / 4 == g_mfi.track) {
            slots[n++] = channel;
        }
        return n;
    }
    for (int s = 0; s < PREP_SLOTS; s++) {
        if (g_prep.slot_channel[s] == channel && s / 4 == g_mfi.track) {
            slots[n++] = s;
        }
    }
    return n;
}

void channel_event(const TrackEvent& ev) {
    int slots[PREP_SLOTS];
    int n = target_slots(ev.status & 0x0F, slots);
    if (n == 0) {
        return;
    }
    int kind = ev.status & 0xF0;
    int d0 = event_data(ev, 0);
    int d1 =
        kind == STATUS_PROGRAM_CHANGE || kind == STATUS_CHANNEL_PRESSURE ? 0 : event_data(ev, 1);
    if (kind == STATUS_CONTROL_CHANGE && (d0 == CC_RPN_MSB || d0 == CC_RPN_LSB)) {
        // Another parameter number than 0 selects something else than the bend range.
        uint8_t bit = d0 == CC_RPN_MSB ? RPN_MSB_ZERO : RPN_LSB_ZERO;
        g_mfi.rpn_bits = d1 == 0 ? (g_mfi.rpn_bits | bit) : (g_mfi.rpn_bits & ~bit);
        return;
    }
    for (int i = 0; i < n; i++) {
        int slot = slots[i];
        uint8_t p = static_cast<uint8_t>((slot % 4) * 64);
        if (kind == STATUS_PROGRAM_CHANGE) {
            event_add({0xFF, 0xE1, static_cast<uint8_t>(p + d0 / 64 + 2), 0x00, 0xFF, 0xE0,
                       static_cast<uint8_t>(p + (d0 & 63))});
        } else if (kind == STATUS_PITCH_BEND) {
            if (g_options.pb == 1 && changed(KIND_BEND, slot, static_cast<uint8_t>(d1 / 2))) {
                event_add({0xFF, 0xE4, static_cast<uint8_t>(p + d1 / 2)});
            }
        } else if (kind == STATUS_CONTROL_CHANGE) {
            control_change(slot, p, d0, d1);
        }
    }
    if (kind == STATUS_CONTROL_CHANGE && d0 == CC_DATA_ENTRY_MSB &&
        g_mfi.rpn_bits == (RPN_MSB_ZERO | RPN_LSB_ZERO) && g_options.pb == 1) {
        g_mfi.rpn_bits = RPN_MSB_ZERO;
    }
}

void tempo(const TrackEvent& ev) {
    if (g_mfi.track != 0 || ev.data_length < 3) {
        return;
    }
    uint32_t usec = arena_get_be(ev.data_pos, 3);
    if (usec == 0) {
        return;
    }
    uint32_t bpm = 60000000u / usec;
    bpm = bpm < 20 ? 20 : (bpm > 255 ? 255 : bpm);
    event_add({0xFF, tempo_code(), static_cast<uint8_t>(bpm)});
}

uint32_t cut_bytes() {
    return g_options.autocut == 1 ? 300u : static_cast<uint32_t>(g_options.autocut) * 1024u;
}

void track_write(int j) {
    g_mfi.track = j;
    g_mfi.rpn_bits = 0;
    out_text("trac");
    uint32_t length_pos = g_ringtone.write_pos;
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4);
    if (j == 0) {
        out_bytes(reinterpret_cast<const uint8_t*>("\x00\xFF\xD0\x00"), 4);
        if (g_prep.version != 1 && g_options.msvol > 0) {
            uint8_t volume[4] = {0x00, 0xFF, 0xB0, static_cast<uint8_t>(g_options.msvol)};
            out_bytes(volume, 4);
        }
    }
    if (g_prep.separation) {
        for (int part = 0; part < 4; part++) {
            if (g_prep.slot_channel[j * 4 + part] == DRUM_CHANNEL) {
                uint8_t mark[4] = {0x00, 0xFF, 0xE5, static_cast<uint8_t>(part * 64 + 9)};
                out_bytes(mark, 4);
            }
        }
        static const int CHANNEL_ORDER[PREP_SLOTS] = {9, 0, 1,  2,  3,  4,  5,  6,
                                                      7, 8, 10, 11, 12, 13, 14, 15};
        for (int i = 0; i < PREP_SLOTS && j == 0; i++) {
            int s = CHANNEL_ORDER[i];
            if (g_prep.slot_channel[s] == DRUM_CHANNEL) {
                uint8_t mark[4] = {0x00, 0xFF, 0xBA, static_cast<uint8_t>(s * 8 + 1)};
                out_bytes(mark, 4);
            }
        }
    }
    uint32_t list_start = prepared_list_pos();
    TrackWalk walk = track_walk_begin(list_start);
    TrackEvent ev;
    DeltaScale scale =
        delta_scale_begin(g_prep.start_time, 48, g_prep.division > 24 ? g_prep.division : 0);
    int64_t pending = 0;
    uint32_t note_ordinal = 0;
    bool stopped = false;
    while (!stopped && event_parse(walk, ev)) {
        if (ev.pos - list_start > cut_bytes()) {
            g_mfi.stopped_cut = true;
            stopped = true;
            break;
        }
        if (g_ringtone.write_pos > RINGTONE_LIMIT || g_ringtone.overflow) {
            g_mfi.stopped_full = true;
            stopped = true;
            break;
        }
        pending += delta_scale_step(scale, ev.tick);
        event_reset();
        int kind = note_kind(ev);
        if (kind > 0) {
            note_on(ev, note_ordinal++);
        } else if (ev.status == STATUS_EXCLUSIVE || ev.status == STATUS_EXCLUSIVE_END) {
            exclusive(ev);
        } else if (ev.status == STATUS_META) {
            if (ev.meta_type == META_TEMPO) {
                tempo(ev);
            }
        } else if (kind == 0 && ev.status >= STATUS_NOTE_OFF && ev.status < STATUS_EXCLUSIVE &&
                   (ev.status & 0xF0) != STATUS_KEY_PRESSURE) {
            channel_event(ev);
        }
        if (g_mfi.event_length > 0) {
            delta_write(pending);
            out_bytes(g_mfi.event, g_mfi.event_length);
        }
    }
    if (!stopped) {
        // The rest up to the list's end keeps the ringtone as long as the song.
        pending += delta_scale_step(scale, ev.tick);
    }
    if (g_ringtone.write_pos > RINGTONE_LIMIT) {
        pending = 0; // a full file only closes its tracks
    }
    delta_write(pending);
    if (j == 0) {
        out_bytes(reinterpret_cast<const uint8_t*>("\xFF\xD0\x01\x00"), 4);
    }
    out_bytes(reinterpret_cast<const uint8_t*>("\xFF\xDF\x00"), 3);
    out_put_be(length_pos, 4, g_ringtone.write_pos - length_pos - 4);
}

void chunk(const char* tag, const uint8_t* data, uint32_t length) {
    out_text(tag);
    uint8_t size[2] = {static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
    out_bytes(size, 2);
    out_bytes(data, length);
}

void version_text(char* out) {
    const char* text = g_prep.version == 1 ? "0100" : (g_prep.version == 3 ? "0300" : "0200");
    // An option shorter than four characters cannot fill the field: the standard text stays.
    if (g_options.model == 3 && atoi(g_options.vers) > 300 && strlen(g_options.vers) >= 4) {
        text = g_options.vers;
    }
    memcpy(out, text, 4);
}

void header_write() {
    out_text(g_mfi.au ? "cmid" : "melo");
    out_bytes(reinterpret_cast<const uint8_t*>("\0\0\0\0\0\0"), 6);
    uint8_t fields[3] = {static_cast<uint8_t>(g_prep.version == 1 ? 1 : 2), 1,
                         static_cast<uint8_t>(g_prep.output_tracks)};
    out_bytes(fields, 3);
    uint8_t sorc = g_options.link == 1 ? 4 : (g_prep.copyright_seen ? 1 : 0);
    chunk("sorc", &sorc, 1);
    chunk("titl", reinterpret_cast<const uint8_t*>(g_prep.title),
          static_cast<uint32_t>(g_prep.title_length));
    char vers[4];
    version_text(vers);
    chunk("vers", reinterpret_cast<const uint8_t*>(vers), 4);
    chunk("copy", reinterpret_cast<const uint8_t*>("03C0"), 4);
    if (g_prep.version != 1) {
        uint8_t note[2] = {0x00, static_cast<uint8_t>(g_prep.needs_extended_notes ? 1 : 0)};
        chunk("note", note, 2);
        if (!g_prep.separation || g_mfi.au) {
            uint8_t exst[2] = {0x00, 0x00};
            chunk("exst", exst, 2);
        }
    }
    // The header never reaches 256 bytes (the title is at most 128): the high byte stays 0.
    out_put_be(8, 2, (g_ringtone.write_pos - 10) & 0xFF);
}

// The size warning of the file's format: i-mode files (not MFi3) past 10 KB, au files past
// the largest of the three steps they pass.
MfiSizeWarning size_warning(uint32_t size) {
    if (!g_mfi.au) {
        bool warned = size > 10240 && g_options.model != 3;
        return warned ? MfiSizeWarning::over_10k : MfiSizeWarning::none;
    }
    if (size > 102400) {
        return MfiSizeWarning::over_100k;
    }
    if (size > 76800) {
        return MfiSizeWarning::over_75k;
    }
    return size > 61440 ? MfiSizeWarning::over_60k : MfiSizeWarning::none;
}

} // namespace

PrepResult mfi_begin() {
    char mark = input_path_mark();
    g_mfi = MfiRun{};
    g_mfi.au = g_options.model == 1 || mark == '!';
    for (int kind = 0; kind < CHANGE_KINDS; kind++) {
        memset(g_mfi.last_value[kind], CHANGE_START[kind], PREP_SLOTS);
    }
    bool version3 = g_options.model == 3 || mark == '3';
    return prepare_song_analyse(g_mfi.au ? PrepTarget::pmd : PrepTarget::mfi, version3);
}

MfiBuildReport mfi_build(bool version1) {
    MfiBuildReport report;
    report.prep = prepare_song_finish(version1);
    if (report.prep != PrepResult::ready) {
        return report;
    }
    ringtone_reset();
    header_write();
    note_lengths_measure(prepared_list_pos(), g_prep.start_time);
    for (int j = 0; j < g_prep.output_tracks; j++) {
        track_write(j);
    }
    uint32_t size = g_ringtone.write_pos;
    out_put_be(4, 4, size - 8);
    report.size_exceeded = g_mfi.stopped_full;
    report.size_cut = g_mfi.stopped_cut;
    report.separated = g_prep.separation;
    report.velocity_fixed = g_prep.version != 1 && !g_prep.needs_extended_notes;
    report.size_warning = size_warning(size);
    input_path_set_extension(g_mfi.au ? "PMD" : "MLD");
    report.mail_tool = true;
    if (!g_mfi.au) {
        report.mail_on_clipboard = mail_text_build(g_ringtone.data, size);
        report.mail_size = size < MAIL_MESSAGE_BELOW;
        // An i-mode file too large for a mail ends the run without the mail tool.
        report.mail_tool = report.mail_size;
    }
    return report;
}
