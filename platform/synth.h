// The built-in software synthesizer: one more MIDI output port, "ZB47 Synth", beside the ports
// of the chosen MIDI backend, sounding through the system's audio or rendered offline.
// Implemented in: synth_ports.cpp (the synthesizer itself: fluidsynth/fluid_midi.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr const char* SYNTH_PORT_NAME = "ZB47 Synth";
constexpr int SYNTH_SAMPLE_RATE = 44100;
constexpr int SYNTH_DEFAULT_AUDIO_PERIOD = 512; // frames: 11.6 ms at 44.1 kHz
constexpr int SYNTH_BLOCK_FRAMES = 64;          // the synthesizer applies messages between blocks
constexpr int SYNTH_MIN_AUDIO_PERIOD = SYNTH_BLOCK_FRAMES;
constexpr int SYNTH_MAX_AUDIO_PERIOD = 8192;

enum class SynthMode {
    audio,   // an audio thread of the synthesizer's own plays what is sent
    offline, // nothing plays by itself: platform_synth_render() turns what was sent into samples
};

struct SynthOptions {
    SynthMode mode = SynthMode::audio;
    const char* soundfont_path = nullptr; // null: the system's General MIDI sound font
    const char* search_root = "";         // put before the system's sound-font folders (tests)
    int audio_period = SYNTH_DEFAULT_AUDIO_PERIOD; // frames per audio period
    // Offline: asked on every send for the sample frame (from the render's start) the message
    // is due at, so that a message sent late still sounds on time. Null: at once.
    int64_t (*due_frame)() = nullptr;
};

enum class SynthStart {
    sounding,             // the port is there and plays through the audio output
    no_audio_output,      // the port is there but nothing is heard
    offline,              // the port is there for platform_synth_render()
    not_built,            // no port: this build has no synthesizer
    no_soundfont,         // no port: no General MIDI sound font was found
    soundfont_unreadable, // no port: the sound font cannot be read
};

// Call after platform_select() and before the MIDI ports are opened; the port then sits
// right after the backend's synthesizers and interfaces, so it is port 0 when there are none.
SynthStart platform_synth_start(const SynthOptions& options);
// Silences and removes the port; call after the MIDI ports are closed.
void platform_synth_stop();
bool platform_synth_running();
// What start-up tells the user when the port is missing or silent ("" when all is well): a
// short status-line text, and a full line for the terminal (it names the sound font).
const char* platform_synth_status_text();
const char* platform_synth_message();
// Offline mode: writes the next `frames` stereo frames, interleaved 16-bit, at
// SYNTH_SAMPLE_RATE. The synthesizer works in blocks of SYNTH_BLOCK_FRAMES; each message sent
// takes effect at the block boundary nearest its due frame, or at the next boundary when that
// one is already written. `frames` 0 only takes in what was sent.
bool platform_synth_render(int16_t* interleaved, int frames);
// From a send to its sound, at most: the audio periods queued in the driver.
double platform_synth_latency_ms();
// Messages dropped because the hand-over ring was full or they were too long.
uint32_t platform_synth_dropped();
