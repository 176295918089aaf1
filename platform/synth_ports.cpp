// The synthesizer's port among the MIDI backend's ports: a MIDI table that numbers the
// synthesizer in after the backend's real output ports and forwards everything else.
#include "platform/synth_backend.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int MAX_DEVICES_SEEN = 8; // the device layer opens at most this many

// Set on the main thread by start and stop, while no port is open; the port calls read it
// from whichever thread runs frames.
struct SynthPorts {
    const PlatformSynthBackend* synth = nullptr; // null while not started
    const PlatformMidiBackend* base = nullptr;   // the backend's own ports
    int synth_device = 0;                        // device number of the synthesizer's port
    char message[320] = "";
    char status[64] = "";
};

SynthPorts g_synth_ports;

// The system's "Midi Through" port makes no sound, so it does not count as a synthesizer.
bool sounding_port(const char* name) {
    return strstr(name, "Midi Through") == nullptr;
}

// After the ports that may sound and before the through ports, within the devices opened.
int synth_device_choose(const PlatformMidiBackend* base) {
    int count = base->out_count();
    int sounding = 0;
    for (int device = 0; device < count; device++) {
        char name[128] = "";
        if (base->out_name(device, name, sizeof name) && sounding_port(name)) {
            sounding++;
        }
    }
    return sounding < MAX_DEVICES_SEEN - 1 ? sounding : MAX_DEVICES_SEEN - 1;
}

bool is_synth(int device) {
    return device == g_synth_ports.synth_device;
}

// The backend's number of a device that is not the synthesizer's.
int base_device(int device) {
    return device > g_synth_ports.synth_device ? device - 1 : device;
}

int out_count() {
    return g_synth_ports.base->out_count() + 1;
}

bool out_name(int device, char* out, size_t out_size) {
    if (is_synth(device)) {
        return g_synth_ports.synth->midi->out_name(0, out, out_size);
    }
    return g_synth_ports.base->out_name(base_device(device), out, out_size);
}

bool mapper_available() {
    return g_synth_ports.base->mapper_available();
}

bool out_open(int device) {
    if (is_synth(device)) {
        return g_synth_ports.synth->midi->out_open(0);
    }
    return g_synth_ports.base->out_open(base_device(device));
}

void out_short(int device, const uint8_t* bytes, int length) {
    if (is_synth(device)) {
        g_synth_ports.synth->midi->out_short(0, bytes, length);
    } else {
        g_synth_ports.base->out_short(base_device(device), bytes, length);
    }
}

bool out_long(int device, const uint8_t* bytes, uint32_t length) {
    if (is_synth(device)) {
        return g_synth_ports.synth->midi->out_long(0, bytes, length);
    }
    return g_synth_ports.base->out_long(base_device(device), bytes, length);
}

bool out_long_done(int device) {
    if (is_synth(device)) {
        return g_synth_ports.synth->midi->out_long_done(0);
    }
    return g_synth_ports.base->out_long_done(base_device(device));
}

void out_close(int device) {
    if (is_synth(device)) {
        g_synth_ports.synth->midi->out_close(0);
    } else {
        g_synth_ports.base->out_close(base_device(device));
    }
}

int in_count() {
    return g_synth_ports.base->in_count();
}

bool in_name(int device, char* out, size_t out_size) {
    return g_synth_ports.base->in_name(device, out, out_size);
}

int in_open(int device, const MidiInCallbacks& callbacks) {
    return g_synth_ports.base->in_open(device, callbacks);
}

void in_close() {
    g_synth_ports.base->in_close();
}

const PlatformMidiBackend PORTS_WITH_SYNTH = {
    .out_count = out_count,
    .out_name = out_name,
    .mapper_available = mapper_available,
    .out_open = out_open,
    .out_short = out_short,
    .out_long = out_long,
    .out_long_done = out_long_done,
    .out_close = out_close,
    .in_count = in_count,
    .in_name = in_name,
    .in_open = in_open,
    .in_close = in_close,
};

const PlatformSynthBackend* built_synth() {
#ifdef ZB_WITH_FLUIDSYNTH
    return &FLUID_SYNTH;
#else
    return nullptr;
#endif
}

} // namespace

SynthStart platform_synth_start(const SynthOptions& options) {
    platform_synth_stop();
    SynthPorts& s = g_synth_ports;
    const PlatformSynthBackend* synth = built_synth();
    if (synth == nullptr) {
        snprintf(s.message, sizeof s.message,
                 "built without the synthesizer (libfluidsynth-dev was missing): no %s port",
                 SYNTH_PORT_NAME);
        snprintf(s.status, sizeof s.status, "No %s in this build", SYNTH_PORT_NAME);
        return SynthStart::not_built;
    }
    SynthStart started =
        synth->start(options, s.message, sizeof s.message, s.status, sizeof s.status);
    if (started != SynthStart::sounding && started != SynthStart::no_audio_output &&
        started != SynthStart::offline) {
        return started;
    }
    s.synth = synth;
    s.base = platform_midi_table();
    s.synth_device = synth_device_choose(s.base);
    platform_midi_table_set(&PORTS_WITH_SYNTH);
    return started;
}

void platform_synth_stop() {
    SynthPorts& s = g_synth_ports;
    if (s.synth != nullptr) {
        if (platform_midi_table() == &PORTS_WITH_SYNTH) {
            platform_midi_table_set(s.base);
        }
        s.synth->stop();
    }
    s = SynthPorts{};
}

bool platform_synth_running() {
    return g_synth_ports.synth != nullptr;
}

const char* platform_synth_status_text() {
    return g_synth_ports.status;
}

const char* platform_synth_message() {
    return g_synth_ports.message;
}

bool platform_synth_render(int16_t* interleaved, int frames) {
    return g_synth_ports.synth != nullptr && g_synth_ports.synth->render(interleaved, frames);
}

double platform_synth_latency_ms() {
    return g_synth_ports.synth != nullptr ? g_synth_ports.synth->latency_ms() : 0.0;
}

uint32_t platform_synth_dropped() {
    return g_synth_ports.synth != nullptr ? g_synth_ports.synth->dropped() : 0;
}
