// The name of the chord sounding on a channel and port ("C", "Cm7", "Csus4"), shown while a
// chord is played from the computer keyboard with Shift held.
#pragma once

constexpr int CHORD_NAME_SIZE = 16;

// Names the notes counted as sounding; false (out unchanged) when none sounds.
bool chord_name_of_sounding(int channel_index, int port, char out[CHORD_NAME_SIZE]);
