// Start state of the whole engine and the opening and closing of its devices.
#include "sequencer/engine/engine.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/songcore_reset.h"

void engine_reset() {
    playback_thread_join();
    engine_hooks_reset();
    engine_display_reset();
    settings_reset();
    midi_devices_reset();
    midi_in_queue_reset();
    channel_state_reset();
    midi_maps_reset();
    transport_reset();
    input_reset();
    recorder_reset();
    last_key_reset();
    metronome_messages_build();
}

void engine_reset_all() {
    playback_thread_join();
    songcore_reset_all(SEQUENCER_STORE);
    engine_reset();
}

void engine_devices_open() {
    midi_out_open_all();
    midi_out_check_settings();
    midi_in_open();
}

void engine_devices_close() {
    transport_mode_set(MODE_STOPPED);
    playback_thread_join();
    midi_in_close();
    midi_out_close_all();
}
