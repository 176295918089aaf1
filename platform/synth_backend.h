// The table a synthesizer backend exports, and the MIDI table the free port functions call
// through, which synth_ports.cpp swaps for one that adds the synthesizer's port.
// Implemented in: fluidsynth/fluid_midi.cpp (the table), platform.cpp (the MIDI table switch).
#pragma once
#include "platform/midi_backend.h"
#include "platform/synth.h"

struct PlatformSynthBackend {
    // Fills `message` (terminal line) and `status` (status-line text) unless all is well.
    SynthStart (*start)(const SynthOptions& options, char* message, size_t message_size,
                        char* status, size_t status_size);
    void (*stop)();
    bool (*render)(int16_t* interleaved, int frames);
    double (*latency_ms)();
    uint32_t (*dropped)();
    const PlatformMidiBackend* midi; // one output port, no input
};

#ifdef ZB_WITH_FLUIDSYNTH
extern const PlatformSynthBackend FLUID_SYNTH;
#endif

const PlatformMidiBackend* platform_midi_table();
void platform_midi_table_set(const PlatformMidiBackend* table);
