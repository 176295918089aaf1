// Chords of the auto accompaniment: the interval table by XF chord type, the analysis of the
// notes found at one tick into bass, root and intervals, and the fitting of one pattern note.
#include "sequencer/edit/accompaniment.h"

const uint8_t CHORD_INTERVALS[XF_CHORD_TYPES][3] = {
    {4, 7, 12}, {4, 7, 9},  {4, 7, 11}, {4, 11, 6}, {4, 7, 2},  {4, 11, 2}, {4, 9, 2},
    {4, 8, 12}, {3, 7, 12}, {3, 7, 9},  {3, 7, 10}, {3, 6, 10}, {3, 7, 2},  {3, 10, 2},
    {3, 10, 5}, {3, 7, 11}, {3, 11, 2}, {3, 6, 12}, {3, 6, 10}, {4, 7, 10}, {5, 7, 10},
    {4, 6, 10}, {4, 10, 2}, {4, 10, 6}, {4, 10, 9}, {4, 10, 1}, {4, 10, 8}, {4, 10, 3},
    {4, 8, 11}, {4, 8, 10}, {0, 0, 0},  {0, 0, 0},  {5, 7, 12}, {2, 7, 12}, {0, 0, 0},
};

namespace {

constexpr int BASS_DOUBLED_ABOVE = 48; // a lowest note above this is both bass and root
constexpr int ROOT_NOTE_BASE = 60;     // XF roots are read from middle C up
constexpr int BASS_NOTE_BASE = 12;

int pitch_class(int note) {
    return ((note % 12) + 12) % 12;
}

// Chord tones a note of channels 1..4 moves down to.
bool chord_tone(int note, int channel_number, const ChordInForce& chord) {
    int pc = pitch_class(note);
    int root = chord.chord_root;
    if (pc == pitch_class(root + chord.intervals[0]) ||
        pc == pitch_class(root + (chord.has_i3 ? chord.intervals[2] : chord.intervals[1]))) {
        return true;
    }
    // The two lower parts also rest on the root, the fifth and the bass; the bass is
    // compared by pitch class, so any bass counts, not only one below 12.
    return channel_number >= 3 && (pc == root || pc == pitch_class(root + chord.intervals[1]) ||
                                   pc == pitch_class(chord.chord_bass));
}

} // namespace

void chord_notes_add(ChordNotes& notes, int note) {
    if (notes.count < CHORD_NOTES_MAX) {
        notes.notes[notes.count++] = note;
    }
}

void chord_notes_from_xf(ChordNotes& notes, const XfChord& chord) {
    if (chord.bass_root < XF_NO_BASS) {
        int bass = xf_root_semitone(chord.bass_root);
        if (bass >= 0) {
            chord_notes_add(notes, bass + BASS_NOTE_BASE);
        }
    }
    int root = xf_root_semitone(chord.root);
    if (root < 0) {
        return; // a letter without a name gives no chord
    }
    chord_notes_add(notes, root + ROOT_NOTE_BASE);
    if (chord.type < XF_CHORD_TYPES && CHORD_INTERVALS[chord.type][0] != 0) {
        for (uint8_t interval : CHORD_INTERVALS[chord.type]) {
            chord_notes_add(notes, root + ROOT_NOTE_BASE + interval);
        }
    }
}

bool chord_analyse(const ChordNotes& collected, ChordInForce& chord) {
    if (collected.count <= 2) {
        return false;
    }
    // Sorted ascending by insertion: five notes at the most.
    int notes[CHORD_NOTES_MAX] = {};
    int count = collected.count < CHORD_NOTES_MAX ? collected.count : CHORD_NOTES_MAX;
    for (int i = 0; i < count; i++) {
        int j = i;
        for (; j > 0 && notes[j - 1] > collected.notes[i]; j--) {
            notes[j] = notes[j - 1];
        }
        notes[j] = collected.notes[i];
    }
    if (notes[0] > BASS_DOUBLED_ABOVE) {
        // Doubled, it serves as bass and as root; a fifth note falls off the end.
        int kept = count < CHORD_NOTES_MAX ? count : CHORD_NOTES_MAX - 1;
        for (int i = kept; i > 0; i--) {
            notes[i] = notes[i - 1];
        }
        count = kept + 1;
    }
    chord.chord_bass = notes[0];
    chord.chord_root = pitch_class(notes[1]);
    chord.intervals[0] = pitch_class(notes[2] - chord.chord_root);
    // Bass and two notes name no fifth: the pattern's fifth stays where it is.
    chord.intervals[1] = count > 3 ? pitch_class(notes[3] - chord.chord_root) : 7;
    chord.has_i3 = count > 4;
    chord.intervals[2] = chord.has_i3 ? pitch_class(notes[4] - chord.chord_root) : 0;
    return true;
}

int fold_interval(int x) {
    if (x >= 9) {
        x -= 12;
    }
    if (x < -6) {
        x += 12;
    }
    return x;
}

int accompaniment_note(int note, int channel_number, const ChordInForce& chord, bool two_below) {
    if (channel_number < 1 || channel_number > 9) {
        return note; // drum parts and the rest pass through
    }
    int n = note;
    if (channel_number >= 5) {
        int pc = pitch_class(note);
        n += channel_number == 9 ? chord.chord_root : fold_interval(chord.chord_root);
        if (pc == 4) {
            n += fold_interval(chord.intervals[0] - 4);
        } else if (pc == 7) {
            n += fold_interval(chord.intervals[1] - 7);
        } else if (pc == 10) {
            n += chord.has_i3 ? fold_interval(chord.intervals[2] - 10) : 2;
        }
        if (channel_number >= 7 && chord.chord_bass < BASS_DOUBLED_ABOVE) {
            n = chord.chord_bass;
        }
    } else {
        n = note - (two_below ? 2 : 1);
        while (n > 0 && !chord_tone(n, channel_number, chord)) {
            n--;
        }
    }
    while (n > 127) {
        n -= 12;
    }
    while (n < 0) {
        n += 12;
    }
    return n;
}
