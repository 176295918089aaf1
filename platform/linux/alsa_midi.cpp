// MIDI ports on Linux: the ALSA sequencer through RtMidi. Output devices are the system's
// output ports, input is one input port. Without a sequencer there are no ports at all.
#include "platform/midi_backend.h"

#include <RtMidi.h>

#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int MAX_DEVICES = 8;

// The ALSA ports through RtMidi. Opened, closed and sent to by whichever thread runs the
// device layer (frames, or the window thread while stopped; never two at once). RtMidi's
// input thread reads only `callbacks`, which is set before the input port opens and cleared
// after it closes.
struct AlsaMidi {
    bool probed = false;
    std::vector<std::string> out_names;
    std::vector<std::string> in_names;
    std::vector<unsigned> out_numbers; // RtMidi's port number of each device
    std::vector<unsigned> in_numbers;
    std::unique_ptr<RtMidiOut> out_ports[MAX_DEVICES];
    std::unique_ptr<RtMidiIn> in_port;
    MidiInCallbacks callbacks{};
};

AlsaMidi g_alsa;

void quiet_errors(RtMidiError::Type, const std::string&, void*) {}

// The system's "Midi Through" port makes no sound: it goes last, so that port 0, where every
// track plays by default, is a real synthesiser or interface whenever there is one.
void ports_list(RtMidi& midi, std::vector<std::string>& names, std::vector<unsigned>& numbers) {
    unsigned count = midi.getPortCount();
    for (int pass = 0; pass < 2; pass++) {
        for (unsigned i = 0; i < count && names.size() < MAX_DEVICES; i++) {
            std::string name = midi.getPortName(i);
            bool through = name.find("Midi Through") != std::string::npos;
            if (through == (pass == 1)) {
                names.push_back(name);
                numbers.push_back(i);
            }
        }
    }
}

// RtMidi reports failure by exceptions; none may leave this file.
void probe() {
    if (g_alsa.probed) {
        return;
    }
    g_alsa.probed = true;
    // Without the sequencer device there is nothing to open: stay silent rather than let the
    // libraries complain on the terminal.
    if (access("/dev/snd/seq", R_OK | W_OK) != 0) {
        return;
    }
    try {
        RtMidiOut out(RtMidi::LINUX_ALSA, "ZB47");
        out.setErrorCallback(quiet_errors, nullptr);
        ports_list(out, g_alsa.out_names, g_alsa.out_numbers);
        RtMidiIn in(RtMidi::LINUX_ALSA, "ZB47");
        in.setErrorCallback(quiet_errors, nullptr);
        ports_list(in, g_alsa.in_names, g_alsa.in_numbers);
    } catch (const RtMidiError&) {
        g_alsa.out_names.clear();
        g_alsa.in_names.clear();
        g_alsa.out_numbers.clear();
        g_alsa.in_numbers.clear();
    }
}

bool copy_name(const std::vector<std::string>& names, int device, char* out, size_t out_size) {
    if (device < 0 || device >= static_cast<int>(names.size()) || out_size == 0) {
        return false;
    }
    size_t n = names[device].size() < out_size - 1 ? names[device].size() : out_size - 1;
    memcpy(out, names[device].data(), n);
    out[n] = '\0';
    return true;
}

int out_count() {
    probe();
    return static_cast<int>(g_alsa.out_names.size());
}

bool out_name(int device, char* out, size_t out_size) {
    probe();
    return copy_name(g_alsa.out_names, device, out, out_size);
}

bool mapper_available() {
    return false; // no mapper here: port 0 is the first real port
}

bool out_open(int device) {
    probe();
    if (device < 0 || device >= static_cast<int>(g_alsa.out_names.size())) {
        return false;
    }
    try {
        auto port = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "ZB47");
        port->setErrorCallback(quiet_errors, nullptr);
        port->openPort(g_alsa.out_numbers[device], "ZB47 out");
        g_alsa.out_ports[device] = std::move(port);
        return true;
    } catch (const RtMidiError&) {
        return false;
    }
}

void send(int device, const uint8_t* bytes, size_t length) {
    if (device < 0 || device >= MAX_DEVICES || !g_alsa.out_ports[device]) {
        return;
    }
    try {
        g_alsa.out_ports[device]->sendMessage(bytes, length);
    } catch (const RtMidiError&) {
    }
}

void out_short(int device, const uint8_t* bytes, int length) {
    send(device, bytes, static_cast<size_t>(length));
}

bool out_long(int device, const uint8_t* bytes, uint32_t length) {
    send(device, bytes, length);
    return true;
}

bool out_long_done(int) {
    return true; // the sequencer has taken the whole message when the send returns
}

void out_close(int device) {
    if (device < 0 || device >= MAX_DEVICES || !g_alsa.out_ports[device]) {
        return;
    }
    // All notes off and reset controllers on every channel, as a device reset would.
    for (uint8_t channel = 0; channel < 16; channel++) {
        uint8_t notes_off[3] = {static_cast<uint8_t>(0xB0 | channel), 123, 0};
        uint8_t reset[3] = {static_cast<uint8_t>(0xB0 | channel), 121, 0};
        send(device, notes_off, 3);
        send(device, reset, 3);
    }
    g_alsa.out_ports[device].reset();
}

int in_count() {
    probe();
    return static_cast<int>(g_alsa.in_names.size());
}

bool in_name(int device, char* out, size_t out_size) {
    probe();
    return copy_name(g_alsa.in_names, device, out, out_size);
}

// RtMidi's own thread: whole messages arrive here.
void on_input(double, std::vector<unsigned char>* message, void*) {
    if (!message || message->empty()) {
        return;
    }
    if ((*message)[0] == 0xF0 || message->size() > 3) {
        if (g_alsa.callbacks.long_message) {
            g_alsa.callbacks.long_message(message->data(), static_cast<uint32_t>(message->size()));
        }
        return;
    }
    uint32_t packed = 0;
    for (size_t i = 0; i < message->size(); i++) {
        packed |= static_cast<uint32_t>((*message)[i]) << (8 * i);
    }
    if (g_alsa.callbacks.short_message) {
        g_alsa.callbacks.short_message(packed);
    }
}

void in_close() {
    if (g_alsa.in_port) {
        try {
            g_alsa.in_port->closePort();
        } catch (const RtMidiError&) {
        }
        g_alsa.in_port.reset();
    }
    g_alsa.callbacks = {};
}

int in_open(int device, const MidiInCallbacks& callbacks) {
    probe();
    in_close();
    if (device < 0 || device >= static_cast<int>(g_alsa.in_names.size())) {
        return 1;
    }
    try {
        auto port = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, "ZB47");
        port->setErrorCallback(quiet_errors, nullptr);
        // Keep system exclusive and clock; drop active sensing only when the user does.
        port->ignoreTypes(false, false, false);
        g_alsa.callbacks = callbacks;
        port->setCallback(on_input, nullptr);
        port->openPort(g_alsa.in_numbers[device], "ZB47 in");
        g_alsa.in_port = std::move(port);
        return 0;
    } catch (const RtMidiError&) {
        g_alsa.callbacks = {};
        return 2;
    }
}

} // namespace

const PlatformMidiBackend ALSA_MIDI = {
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
