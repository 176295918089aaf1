// The last note played on the computer keyboard, which the event editor's KEY button takes.
#pragma once

constexpr int LAST_KEY_NOTE_START = 60;
constexpr int LAST_KEY_VELOCITY_START = 100;

// Frames only: written by the computer keyboard's note keys, read by the event editor.
struct LastKey {
    int note = LAST_KEY_NOTE_START;         // the last note released
    int velocity = LAST_KEY_VELOCITY_START; // the velocity of the last note pressed
};

extern LastKey g_last_key;
void last_key_reset();
