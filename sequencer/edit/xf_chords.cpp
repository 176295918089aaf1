// XF chord, rehearsal-mark and guitar events: names, root arithmetic, reading and writing.
#include "sequencer/edit/xf_events.h"
#include "songcore/midi_bytes.h"

#include "songcore/song_store.h"

#include <cstdio>
#include <cstring>

XfText g_xf_text;

void xf_reset() {
    g_xf_text = XfText{};
}

namespace {

const char* const CHORD_TYPES[35] = {
    "",      "6",     "M7",     "M7(#11)", "add9",  "M7(9)",  "6(9)",  "aug",    "m",
    "m6",    "m7",    "m7(-5)", "madd9",   "m7(9)", "m7(11)", "mM7",   "mM7(9)", "dim",
    "dim7",  "7",     "7sus4",  "7(-5)",   "7(9)",  "7(#11)", "7(13)", "7(b9)",  "7(b13)",
    "7(#9)", "M7aug", "7(+5)",  "1+8",     "1+5",   "sus4",   "1+2+5", "cc"};

const char* const LETTERS = "CDEFGAB";
const int LETTER_SEMITONES[7] = {0, 2, 4, 5, 7, 9, 11};
const uint8_t SHARP_ROOTS[12] = {0x31, 0x41, 0x32, 0x42, 0x33, 0x34,
                                 0x44, 0x35, 0x45, 0x36, 0x46, 0x37};

const char* const REHEARSAL_NAMES[16] = {"Intro", "Ending", "Fill-in", "A", "B", "C", "D", "E",
                                         "F",     "G",      "H",       "I", "J", "K", "L", "M"};

const char* xf_type_text(int type) {
    switch (type) {
    case 0:
        return "XF Version ID";
    case 3:
        return "Phrase mark";
    case 4:
        return "Max Level8 Phrase mark";
    case 5:
        return "Fingering Number";
    case 12:
        return "Guide Track Flag";
    case 16:
        return "Information flag for Gt";
    case 18:
        return "Chord Voicing for Gt";
    default:
        return "other XF";
    }
}

// Letter and sign of a root byte; letter 0 (or beyond B) has no name and shows a blank.
size_t root_text(char* out, uint8_t root) {
    int letter = root & 0x07;
    size_t n = 0;
    out[n++] = letter >= 1 && letter <= 7 ? LETTERS[letter - 1] : ' ';
    int accidental = root >> 4;
    if (accidental < 3) {
        out[n++] = 'b';
    } else if (accidental > 3) {
        out[n++] = '#';
    }
    return n;
}

uint8_t xf_data(const TrackEvent& ev, uint32_t i) {
    return g_song.arena[ev.data_pos + i];
}

void xf_append(uint32_t delta, const uint8_t* body, uint8_t length) {
    const uint8_t head[6] = {STATUS_META, META_SEQUENCER_SPECIFIC, length, 0x43, 0x7B, body[0]};
    arena_append_vlq(delta);
    arena_append(head, sizeof head);
    arena_append(body + 1, static_cast<uint32_t>(length - 3));
}

} // namespace

int xf_event_type(const TrackEvent& ev) {
    if (ev.status != STATUS_META || ev.meta_type != META_SEQUENCER_SPECIFIC || ev.data_length < 3 ||
        xf_data(ev, 0) != 0x43 || xf_data(ev, 1) != 0x7B) {
        return -1;
    }
    return xf_data(ev, 2);
}

const char* xf_type_name(const TrackEvent& ev) {
    int type = xf_event_type(ev);
    if (type < 0) {
        return "other";
    }
    if (type == XF_CHORD) {
        XfChord chord;
        if (xf_chord_read(ev, chord)) {
            return xf_chord_name(chord.root, chord.type, chord.bass_root, chord.bass_type);
        }
        return "other XF";
    }
    if (type == XF_REHEARSAL) {
        uint8_t mark = 0;
        if (xf_rehearsal_read(ev, mark)) {
            return xf_rehearsal_name(mark);
        }
        return "other XF";
    }
    return xf_type_text(type);
}

const char* xf_chord_name(uint8_t root, uint8_t type, uint8_t bass_root, uint8_t bass_type) {
    (void)bass_type; // not shown
    char* out = g_xf_text.text;
    size_t n = root_text(out, root);
    const char* name = type < 35 ? CHORD_TYPES[type] : "";
    size_t length = strlen(name);
    memcpy(out + n, name, length);
    n += length;
    if (bass_root < XF_NO_BASS) {
        out[n++] = '/';
        n += root_text(out + n, bass_root);
    }
    out[n] = '\0';
    return out;
}

const char* xf_rehearsal_name(uint8_t mark) {
    snprintf(g_xf_text.text, sizeof g_xf_text.text, "%s%.*s", REHEARSAL_NAMES[mark & 0x0F],
             mark >> 4, "'''''''");
    return g_xf_text.text;
}

int xf_root_semitone(uint8_t root) {
    int letter = root & 0x0F;
    if (letter < 1 || letter > 7) {
        return -1;
    }
    int semitone = LETTER_SEMITONES[letter - 1];
    int accidental = root >> 4;
    if (accidental < 3) {
        semitone--;
    } else if (accidental > 3) {
        semitone++;
    }
    return (semitone + 12) % 12;
}

uint8_t xf_root_from_semitone(int semitone) {
    return SHARP_ROOTS[((semitone % 12) + 12) % 12];
}

bool xf_chord_read(const TrackEvent& ev, XfChord& chord) {
    if (xf_event_type(ev) != XF_CHORD || ev.data_length < 7) {
        return false;
    }
    chord = {xf_data(ev, 3), xf_data(ev, 4), xf_data(ev, 5), xf_data(ev, 6)};
    return true;
}

bool xf_rehearsal_read(const TrackEvent& ev, uint8_t& mark) {
    if (xf_event_type(ev) != XF_REHEARSAL || ev.data_length < 4) {
        return false;
    }
    mark = xf_data(ev, 3);
    return true;
}

int xf_guitar_read(const TrackEvent& ev, uint8_t* data, int capacity) {
    int type = xf_event_type(ev);
    uint32_t length = type == XF_GUITAR_INFO ? 12 : type == XF_GUITAR_VOICING ? 16 : 0;
    if (length == 0 || ev.data_length != length || static_cast<int>(length) - 3 > capacity) {
        return 0;
    }
    for (uint32_t i = 3; i < length; i++) {
        data[i - 3] = xf_data(ev, i);
    }
    return static_cast<int>(length) - 3;
}

void xf_chord_append(uint32_t delta, const XfChord& chord) {
    const uint8_t body[5] = {XF_CHORD, chord.root, chord.type, chord.bass_root, chord.bass_type};
    xf_append(delta, body, 7);
}

void xf_rehearsal_append(uint32_t delta, uint8_t mark) {
    const uint8_t body[2] = {XF_REHEARSAL, mark};
    xf_append(delta, body, 4);
}

bool xf_guitar_append(uint32_t delta, uint8_t type, const uint8_t* data, int count) {
    if (!((type == XF_GUITAR_INFO && count == 9) || (type == XF_GUITAR_VOICING && count == 13))) {
        return false;
    }
    uint8_t body[14];
    body[0] = type;
    memcpy(body + 1, data, static_cast<size_t>(count));
    xf_append(delta, body, static_cast<uint8_t>(count + 3));
    return true;
}
