// The last note played on the computer keyboard or received from the MIDI input, which the
// event editor's KEY button takes as a note's new key and velocity.
#pragma once

#include <cstdint>

// Frames only: the MIDI input is processed inside frames, and the computer keyboard's note
// keys are polled there too.
struct LastKey {
    uint8_t last_key_note = 60; // middle C until a key is played
    uint8_t last_key_velocity = 100;
};

extern LastKey g_last_key;
void last_key_reset();
// A note-on with velocity above 0 was played or received.
void last_key_set(uint8_t note, uint8_t velocity);
