// The last note played on the computer keyboard: its one instance and its start state.
#include "sequencer/engine/last_key.h"

LastKey g_last_key;

void last_key_reset() {
    g_last_key = LastKey{};
}
