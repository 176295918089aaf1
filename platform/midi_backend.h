// The MIDI part of a backend's table.
// Implemented in: headless/headless_midi.cpp, linux/alsa_midi.cpp (one table each).
#pragma once
#include "platform/midi.h"

struct PlatformMidiBackend {
    int (*out_count)() = nullptr;
    bool (*out_name)(int device, char* out, size_t out_size) = nullptr;
    bool (*mapper_available)() = nullptr;
    bool (*out_open)(int device) = nullptr;
    void (*out_short)(int device, const uint8_t* bytes, int length) = nullptr;
    bool (*out_long)(int device, const uint8_t* bytes, uint32_t length) = nullptr;
    bool (*out_long_done)(int device) = nullptr;
    void (*out_close)(int device) = nullptr;
    int (*in_count)() = nullptr;
    bool (*in_name)(int device, char* out, size_t out_size) = nullptr;
    int (*in_open)(int device, const MidiInCallbacks& callbacks) = nullptr;
    void (*in_close)() = nullptr;
};

extern const PlatformMidiBackend HEADLESS_MIDI;
#ifdef ZB_WITH_ALSA
extern const PlatformMidiBackend ALSA_MIDI;
#endif
