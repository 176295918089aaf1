// Chord names from the sounding notes: the lowest note is the root, the next three give
// intervals, whose suffixes are written by their place in the name.
#include "sequencer/engine/chord_name.h"

#include "sequencer/engine/channel_state.h"

#include <cstring>

namespace {

const char* const ROOT_NAMES[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                    "F#", "G",  "G#", "A",  "A#", "B"};

struct IntervalSuffix {
    const char* text;
    int place; // 0: adds nothing
};

const IntervalSuffix SUFFIXES[12] = {
    {"", 0},   {"-9", 2}, {"9", 2},  {"m", 1}, {"", 0},  {"sus4", 3},
    {"-5", 3}, {"", 0},   {"+5", 3}, {"6", 2}, {"7", 2}, {"M7", 2},
};

} // namespace

bool chord_name_of_sounding(int channel, int port, char out[CHORD_NAME_SIZE]) {
    if (channel < 0 || channel > 15 || port < 0 || port >= LOGICAL_PORTS) {
        return false;
    }
    int root = -1;
    int intervals[3];
    int found = 0;
    for (int key = 0; key < 128 && found < 3; key++) {
        if (g_channel_state.sounding_notes[channel * 128 + key][port] <= 0) {
            continue;
        }
        if (root < 0) {
            root = key;
        } else {
            intervals[found++] = (key - root) % 12;
        }
    }
    if (root < 0) {
        return false;
    }
    char name[CHORD_NAME_SIZE] = {};
    strcpy(name, ROOT_NAMES[root % 12]);
    for (int place = 1; place <= 3; place++) {
        for (int i = 0; i < found; i++) {
            const IntervalSuffix& suffix = SUFFIXES[intervals[i]];
            if (suffix.place == place && strlen(name) + strlen(suffix.text) < CHORD_NAME_SIZE) {
                strcat(name, suffix.text);
            }
        }
    }
    memcpy(out, name, CHORD_NAME_SIZE);
    return true;
}
