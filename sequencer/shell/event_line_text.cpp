// The text of one line of the event list: time, channel and the event's own fields, laid
// out in fixed text cells for every kind of event.
#include "common/text_sjis.h"
#include "sequencer/edit/xf_events.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/screen_layout.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int TEXT_META_LAST = 15; // meta types 1..15 are texts
constexpr int TEXT_OFFSET = 16;    // where a text event's text starts
constexpr int TEXT_BYTES = 18;     // what a line keeps of it
constexpr int XF_VERSION_OFFSET = 25;
constexpr const char NOTE_MARK[] = "\x81\xF4"; // the eighth note of Shift-JIS
constexpr int NUMBER_CELLS_MAX = 8;
constexpr int32_t MICROSECONDS_PER_MINUTE = 60000000;

// Never 0, whatever a header said: it divides.
int32_t time_base() {
    return g_song.time_base > 0 ? g_song.time_base : 1;
}

void put(char* out, int offset, const char* text) {
    size_t n = strlen(text);
    if (offset + n > EVENT_LINE_CELLS) {
        n = EVENT_LINE_CELLS - offset;
    }
    memcpy(out + offset, text, n);
}

// A number in `width` cells, zero-padded or blank-padded; a value too wide for its cells
// shows the largest (or smallest) one that fits, never more cells.
void put_number(char* out, int offset, int width, int32_t value, bool zeros) {
    int32_t high = 1;
    for (int i = 0; i < width; i++) {
        high *= 10;
    }
    high -= 1;
    int32_t low = value < 0 ? -(high / 10) : 0;
    value = value > high ? high : (value < low ? low : value);
    char text[NUMBER_CELLS_MAX + 2];
    snprintf(text, sizeof text, zeros ? "%0*d" : "%*d", width, static_cast<int>(value));
    put(out, offset, text);
}

void put_hex2(char* out, int offset, uint8_t value) {
    char text[4];
    snprintf(text, sizeof text, "%02X", value);
    put(out, offset, text);
}

uint8_t data_byte(const TrackEvent& ev, uint32_t i) {
    return i < ev.data_length ? g_song.arena[ev.data_pos + i] : 0;
}

// Meta data as one big-endian number of the first `width` bytes there are.
uint32_t data_be(const TrackEvent& ev, uint32_t width) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; i++) {
        value = (value << 8) | data_byte(ev, i);
    }
    return value;
}

void channel_line(const EventLineView& v, char* out) {
    const TrackEvent& ev = v.ev;
    int channel = ev.status & 0x0F;
    put_number(out, EVENT_CHANNEL_OFFSET, 2, channel + 1, true);
    int v1 = v.value1;
    int v2 = v.value2;
    switch (ev.status & 0xF0) {
    case STATUS_NOTE_ON:
        put(out, EVENT_KIND_OFFSET,
            "|  "
            "      [   ]   :   ");
        put(out, EVENT_KIND_OFFSET + 1, NOTE_MARK);
        put(out, EVENT_NOTE_OFFSET, note_name(v1));
        put_number(out, EVENT_VALUE_OFFSET, 3, v2, true);
        put_number(out, EVENT_GATE_OFFSET, 3, v.gate / time_base(), true);
        put_number(out, EVENT_GATE_OFFSET + 4, 3, v.gate % time_base(), true);
        break;
    case STATUS_KEY_PRESSURE:
        put(out, EVENT_KIND_OFFSET, "|k press             ");
        put(out, EVENT_VALUE_OFFSET, note_name(v1));
        put_number(out, EVENT_VALUE_OFFSET + 7, 3, v2, true);
        break;
    case STATUS_CONTROL_CHANGE:
        put(out, EVENT_KIND_OFFSET, "|Cont                ");
        put_number(out, EVENT_VALUE_OFFSET, 3, v1, true);
        put_number(out, EVENT_VALUE_OFFSET + 5, 3, v2, true);
        break;
    case STATUS_PROGRAM_CHANGE: {
        put(out, EVENT_KIND_OFFSET, "|                    ");
        put_number(out, EVENT_KIND_OFFSET + 1, 3, v1 + 1, true);
        put(out, EVENT_KIND_OFFSET + 5, tone_name(v1 + g_channel_state.drum_channel[channel]));
        break;
    }
    case STATUS_CHANNEL_PRESSURE:
        put(out, EVENT_KIND_OFFSET, "|c press             ");
        put_number(out, EVENT_VALUE_OFFSET, 3, v1, true);
        break;
    default: // pitch bend
        put(out, EVENT_KIND_OFFSET, "|Pitch B             ");
        put_number(out, EVENT_VALUE_OFFSET, 5, v2 * 128 + v1 - 8192, false);
        break;
    }
}

void text_meta_line(const TrackEvent& ev, char* out) {
    put(out, EVENT_CHANNEL_OFFSET, "TXT                    ");
    char digit[2] = {"0123456789ABCDEF"[ev.meta_type & 0x0F], 0};
    put(out, EVENT_CHANNEL_OFFSET + 3, digit);
    uint32_t n = ev.data_length < TEXT_BYTES ? ev.data_length : TEXT_BYTES;
    const char* text = reinterpret_cast<const char*>(g_song.arena + ev.data_pos);
    n = static_cast<uint32_t>(sjis_cut_length(text, ev.data_length, n));
    for (uint32_t i = 0; i < n; i++) {
        uint8_t b = static_cast<uint8_t>(text[i]);
        out[TEXT_OFFSET + i] = b < 0x20 ? ' ' : static_cast<char>(b); // no control codes drawn
    }
}

void xf_line(const TrackEvent& ev, int type, char* out) {
    const char* name = "other XF               ";
    switch (type) {
    case XF_VERSION:
        put(out, EVENT_CHANNEL_OFFSET, "XF Version ID          ");
        for (uint32_t i = 0; i < 4 && 3 + i < ev.data_length; i++) {
            uint8_t b = data_byte(ev, 3 + i);
            out[XF_VERSION_OFFSET + i] = b < 0x20 ? ' ' : static_cast<char>(b);
        }
        return;
    case XF_CHORD:
    case XF_REHEARSAL: {
        put(out, EVENT_CHANNEL_OFFSET, "                       ");
        XfChord chord{};
        uint8_t mark = 0;
        if (type == XF_CHORD && xf_chord_read(ev, chord)) {
            put(out, EVENT_CHANNEL_OFFSET,
                xf_chord_name(chord.root, chord.type, chord.bass_root, chord.bass_type));
        } else if (type == XF_REHEARSAL && xf_rehearsal_read(ev, mark)) {
            put(out, EVENT_CHANNEL_OFFSET, xf_rehearsal_name(mark));
        }
        return;
    }
    case 3:
        name = "Phrase mark            ";
        break;
    case 4:
        name = "Max Level8 Phrase mark ";
        break;
    case 5:
        name = "Fingering Number       ";
        break;
    case 12:
        name = "Guide Track Flag       ";
        break;
    case XF_GUITAR_INFO:
        name = "Information flag for Gt";
        break;
    case XF_GUITAR_VOICING:
        name = "Chord Voicing for Gt   ";
        break;
    default:
        break;
    }
    put(out, EVENT_CHANNEL_OFFSET, name);
}

void meta_line(const EventLineView& v, char* out) {
    const TrackEvent& ev = v.ev;
    uint8_t type = ev.meta_type;
    if (type >= 1 && type <= TEXT_META_LAST) {
        text_meta_line(ev, out);
        return;
    }
    switch (type) {
    case META_PORT_PREFIX:
        put(out, EVENT_CHANNEL_OFFSET, "PORT                   ");
        put_number(out, EVENT_VALUE_OFFSET, 3, data_byte(ev, 0) + 1, true);
        break;
    case META_TEMPO:
        put(out, EVENT_CHANNEL_OFFSET, "tempo                  ");
        put_number(out, EVENT_VALUE_OFFSET, 3, v.value1, true);
        break;
    case META_TIME_SIGNATURE: {
        put(out, EVENT_CHANNEL_OFFSET, "sign          /        ");
        put_number(out, EVENT_VALUE_OFFSET, 2, data_byte(ev, 0), true);
        uint8_t power = data_byte(ev, 1);
        put_number(out, EVENT_VALUE_OFFSET + 3, 2, power < 30 ? (1 << power) : 99, true);
        break;
    }
    case META_KEY_SIGNATURE: {
        put(out, EVENT_CHANNEL_OFFSET, "key           :        ");
        int8_t key = static_cast<int8_t>(data_byte(ev, 0));
        put(out, EVENT_VALUE_OFFSET - 2, key >= 0 ? "#" : "b");
        put_number(out, EVENT_VALUE_OFFSET, 2, key >= 0 ? key : -key, true);
        put(out, EVENT_VALUE_OFFSET + 3, data_byte(ev, 1) != 0 ? "minor" : "major");
        break;
    }
    case 0x54: // SMPTE offset
        put(out, EVENT_CHANNEL_OFFSET, "SMPTE                  ");
        break;
    case META_SEQUENCER_SPECIFIC: {
        int xf = xf_event_type(ev);
        if (xf >= 0) {
            xf_line(ev, xf, out);
        } else {
            put(out, EVENT_CHANNEL_OFFSET, "other                  ");
        }
        break;
    }
    default:
        put(out, EVENT_CHANNEL_OFFSET, "                       ");
        put_number(out, EVENT_CHANNEL_OFFSET, 3, type, true);
        break;
    }
}

void time_text(int32_t tick, char* out) {
    put(out, 0, "   :  :   |");
    int measure_number = 0, beat = 0, clock = 0;
    tick_position(tick, measure_number, beat, clock);
    put_number(out, 0, 3, measure_number, true);
    put_number(out, 4, 2, beat, true);
    put_number(out, 7, 3, clock, true);
}

void blank(char* out) {
    memset(out, ' ', EVENT_LINE_CELLS);
    out[EVENT_LINE_CELLS] = 0;
}

} // namespace

void tick_position(int32_t tick, int& measure_number, int& beat, int& clock) {
    const MeasureTable& table = g_song.measure_table;
    // The measure whose successor starts later; past the last one, the one after it.
    int m = 0;
    while (m <= table.last_measure && measure_entry(m + 1).start_tick <= tick) {
        m++;
    }
    int32_t from = tick - measure_entry(m).start_tick;
    int32_t base = time_base();
    if (from < 0) {
        from = 0;
    }
    measure_number = m + 1;
    beat = from / base + 1;
    clock = from % base;
}

EventLineView event_line_view(const TrackEvent& ev, int32_t gate) {
    EventLineView v{ev, ev.tick, gate, 0, 0};
    if (ev.status == STATUS_META) {
        uint32_t usec = data_be(ev, 3);
        if (ev.meta_type == META_TEMPO && usec != 0) {
            v.value1 = static_cast<int32_t>(MICROSECONDS_PER_MINUTE / usec);
        }
    } else if (ev.status >= STATUS_NOTE_OFF && ev.status < STATUS_EXCLUSIVE) {
        v.value1 = event_data(ev, 0);
        v.value2 = channel_message_length(ev.status) == 3 ? event_data(ev, 1) : 0;
    }
    return v;
}

void event_line_text(const EventLineView& v, char out[EVENT_LINE_CELLS + 1]) {
    blank(out);
    time_text(v.tick, out);
    const TrackEvent& ev = v.ev;
    if (ev.status >= STATUS_NOTE_OFF && ev.status < STATUS_EXCLUSIVE) {
        channel_line(v, out);
    } else if (ev.status == STATUS_EXCLUSIVE) {
        put(out, EVENT_CHANNEL_OFFSET, "exec ID                ");
        put_hex2(out, EVENT_VALUE_OFFSET + 1, data_byte(ev, 0));
    } else if (ev.status == STATUS_META) {
        meta_line(v, out);
    } else {
        put(out, EVENT_CHANNEL_OFFSET, "other                  ");
    }
}

void event_end_line_text(int32_t tick, char out[EVENT_LINE_CELLS + 1]) {
    blank(out);
    time_text(tick, out);
    put(out, EVENT_CHANNEL_OFFSET, "End of track           ");
}
