// The last note played or received, kept for the event editor's KEY button.
#include "sequencer/engine/last_key.h"

LastKey g_last_key;

void last_key_reset() {
    g_last_key = LastKey{};
}

void last_key_set(uint8_t note, uint8_t velocity) {
    if (velocity == 0) {
        return; // a note-off, whatever its status byte says
    }
    g_last_key.last_key_note = static_cast<uint8_t>(note & 0x7F);
    g_last_key.last_key_velocity = static_cast<uint8_t>(velocity & 0x7F);
}
