// The MIDI part of a backend's table.
// Implemented in: headless/headless_midi.cpp, linux/alsa_midi.cpp (one table each).
#pragma once
#include "platform/midi.h"

struct PlatformMidiBackend {
    int (*out_count)();
    bool (*out_name)(int device, char* out, size_t out_size);
    bool (*mapper_available)();
    bool (*out_open)(int device);
    void (*out_short)(int device, const uint8_t* bytes, int length);
    bool (*out_long)(int device, const uint8_t* bytes, uint32_t length);
    bool (*out_long_done)(int device);
    void (*out_close)(int device);
    int (*in_count)();
    bool (*in_name)(int device, char* out, size_t out_size);
    int (*in_open)(int device, const MidiInCallbacks& callbacks);
    void (*in_close)();
};

extern const PlatformMidiBackend HEADLESS_MIDI;
#ifdef ZB_WITH_ALSA
extern const PlatformMidiBackend ALSA_MIDI;
#endif
