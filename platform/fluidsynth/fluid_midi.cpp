// The built-in synthesizer port through FluidSynth: a General MIDI sound font, the system's
// audio through FluidSynth's own drivers, and an offline mode that renders on request.
//
// Sends never wait on audio work: the port only puts whole messages into a lock-free ring,
// and the audio thread (offline: the rendering thread) takes them out and hands them to the
// synthesizer at the start of each period, just before it renders. FluidSynth's own
// thread-safe calls were not used for this: they take the synthesizer's mutex, which the
// audio thread holds for the whole of a period's rendering. So every FluidSynth call after
// start is made on the consuming thread alone, and its thread-safe API is switched off.
//
// Offline, each message carries the frame it is due at through the ring; the rendering thread
// keeps it waiting and renders block by block, applying it between the two blocks nearest
// that frame, so a render puts every note where its time says, not where it was sent.
#include "platform/midi_event_ring.h"
#include "platform/synth_backend.h"
#include "platform/synth_due_queue.h"

#include <fluidsynth.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace {

// Where Debian's sound-font packages put the system's choice of General MIDI font (an
// alternatives link), then the file fluidr3mono-gm-soundfont installs.
const char* const SOUNDFONT_SEARCH[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf3/FluidR3Mono_GM.sf3",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// Tried in order; the first that opens plays.
const char* const AUDIO_DRIVERS[] = {"pipewire", "pulseaudio", "alsa"};
constexpr int AUDIO_PERIODS = 2;
constexpr double SYNTH_GAIN = 0.5; // FluidSynth's 0.2 is faint beside other programs
constexpr int GS_DEVICE_ID = 0x10; // the device number GS messages carry

// Start and stop run on the main thread while no audio thread exists and no port is open.
// Between them the ring is filled by the thread running frames and emptied by the audio
// thread (offline: by the rendering thread), which alone calls into `synth`.
struct FluidSynthState {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    SynthMode mode = SynthMode::audio;
    int audio_period = SYNTH_DEFAULT_AUDIO_PERIOD;
    MidiEventRing ring;
    // Offline only. `due_frame` is called by the sending thread; the rest belongs to the
    // rendering thread.
    int64_t (*due_frame)() = nullptr;
    DueQueue waiting;
    int64_t frames_written = 0; // since start: FluidSynth's blocks begin at multiples of 64
    // The last stopped synthesizer, kept with its sound font: FluidSynth shares decoded samples
    // between synthesizers loading the same file, so the next start (a second render, a test)
    // takes a fraction of a second instead of decoding a compressed font again.
    fluid_settings_t* kept_settings = nullptr;
    fluid_synth_t* kept_synth = nullptr;
};

FluidSynthState g_fluid;

void log_quietly(int, const char*, void*) {}

void logs_quiet() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; level++) {
        fluid_set_log_function(level, log_quietly, nullptr);
    }
}

// The first of the search list under `root` ("" for the system's own folders).
bool soundfont_find(const char* root, char* path, size_t path_size) {
    for (const char* candidate : SOUNDFONT_SEARCH) {
        snprintf(path, path_size, "%s%s", root, candidate);
        if (access(path, F_OK) == 0) {
            return true;
        }
    }
    return false;
}

// A running-status-free channel message or a complete system exclusive message.
void apply(const uint8_t* m, uint32_t length) {
    fluid_synth_t* synth = g_fluid.synth;
    uint8_t status = m[0];
    if (status == 0xF0) {
        // Without F0 and F7. Messages FluidSynth does not know it ignores.
        if (length >= 3 && m[length - 1] == 0xF7) {
            fluid_synth_sysex(synth, reinterpret_cast<const char*>(m + 1),
                              static_cast<int>(length - 2), nullptr, nullptr, nullptr, 0);
        }
        return;
    }
    if (status < 0x80 || status >= 0xF0) {
        return; // clock, start, stop and the like mean nothing to a synthesizer
    }
    int channel = status & 0x0F;
    int data1 = length > 1 ? m[1] & 0x7F : 0;
    int data2 = length > 2 ? m[2] & 0x7F : 0;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, data1);
        break;
    case 0x90:
        if (data2 == 0) {
            fluid_synth_noteoff(synth, channel, data1);
        } else {
            fluid_synth_noteon(synth, channel, data1, data2);
        }
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, data1, data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, data1);
        break;
    default:
        fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
        break;
    }
}

void apply_pending() {
    uint8_t message[MIDI_EVENT_MAX_BYTES];
    for (uint32_t length = midi_event_ring_take(g_fluid.ring, message); length != 0;
         length = midi_event_ring_take(g_fluid.ring, message)) {
        apply(message, length);
    }
}

// The audio thread. The drivers other than JACK give no effects buffers: reverb and chorus
// are mixed into the dry pair.
int audio_period_render(void*, int length, int effects_count, float* effects[], int out_count,
                        float* out[]) {
    apply_pending();
    if (effects_count == 0) {
        float* mixed[4] = {out[0], out[1], out[0], out[1]};
        return fluid_synth_process(g_fluid.synth, length, 4, mixed, out_count, out);
    }
    return fluid_synth_process(g_fluid.synth, length, effects_count, effects, out_count, out);
}

// A playback device node ("pcmC0D0p"). Without one the ALSA library only fills the terminal
// with complaints; a sound server reached another way was already tried.
bool alsa_playback_device_present() {
    DIR* dir = opendir("/dev/snd");
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    for (dirent* entry = readdir(dir); entry != nullptr && !found; entry = readdir(dir)) {
        size_t length = strlen(entry->d_name);
        found = strncmp(entry->d_name, "pcmC", 4) == 0 && entry->d_name[length - 1] == 'p';
    }
    closedir(dir);
    return found;
}

fluid_audio_driver_t* audio_driver_open() {
    for (const char* name : AUDIO_DRIVERS) {
        if (strcmp(name, "alsa") == 0 && !alsa_playback_device_present()) {
            continue;
        }
        if (fluid_settings_setstr(g_fluid.settings, "audio.driver", name) != FLUID_OK) {
            continue; // not built into this FluidSynth
        }
        fluid_audio_driver_t* driver =
            new_fluid_audio_driver2(g_fluid.settings, audio_period_render, nullptr);
        if (driver != nullptr) {
            return driver;
        }
    }
    return nullptr;
}

void settings_fill(const SynthOptions& options) {
    fluid_settings_t* s = g_fluid.settings;
    fluid_settings_setnum(s, "synth.sample-rate", SYNTH_SAMPLE_RATE);
    fluid_settings_setnum(s, "synth.gain", SYNTH_GAIN);
    fluid_settings_setint(s, "synth.device-id", GS_DEVICE_ID);
    fluid_settings_setint(s, "synth.threadsafe-api", 0);
    fluid_settings_setint(s, "audio.period-size", options.audio_period);
    fluid_settings_setint(s, "audio.periods", AUDIO_PERIODS);
    fluid_settings_setstr(s, "audio.sample-format", "float");
}

void synth_delete(fluid_synth_t*& synth, fluid_settings_t*& settings) {
    if (synth != nullptr) {
        delete_fluid_synth(synth);
    }
    if (settings != nullptr) {
        delete_fluid_settings(settings);
    }
    synth = nullptr;
    settings = nullptr;
}

void kept_release() {
    synth_delete(g_fluid.kept_synth, g_fluid.kept_settings);
}

// A synthesizer whose sound font loaded is kept; one that failed goes.
void release() {
    if (g_fluid.driver != nullptr) {
        delete_fluid_audio_driver(g_fluid.driver); // joins the audio thread
    }
    if (g_fluid.synth != nullptr && fluid_synth_sfcount(g_fluid.synth) > 0) {
        kept_release();
        g_fluid.kept_synth = g_fluid.synth;
        g_fluid.kept_settings = g_fluid.settings;
    } else {
        synth_delete(g_fluid.synth, g_fluid.settings);
    }
    g_fluid.driver = nullptr;
    g_fluid.synth = nullptr;
    g_fluid.settings = nullptr;
    g_fluid.due_frame = nullptr;
    g_fluid.frames_written = 0;
    due_queue_reset(g_fluid.waiting);
    midi_event_ring_reset(g_fluid.ring);
}

SynthStart start(const SynthOptions& options, char* message, size_t message_size, char* status,
                 size_t status_size) {
    release();
    message[0] = '\0';
    status[0] = '\0';
    logs_quiet();
    char found[512];
    const char* soundfont = options.soundfont_path;
    if (soundfont == nullptr &&
        soundfont_find(options.search_root ? options.search_root : "", found, sizeof found)) {
        soundfont = found;
    }
    if (soundfont == nullptr) {
        snprintf(message, message_size,
                 "no General MIDI sound font found (install fluidr3mono-gm-soundfont or give "
                 "--soundfont FILE): no %s port",
                 SYNTH_PORT_NAME);
        snprintf(status, status_size, "No sound font: %s is off", SYNTH_PORT_NAME);
        return SynthStart::no_soundfont;
    }
    g_fluid.mode = options.mode;
    g_fluid.due_frame = options.mode == SynthMode::offline ? options.due_frame : nullptr;
    g_fluid.audio_period = options.audio_period;
    if (g_fluid.audio_period < SYNTH_MIN_AUDIO_PERIOD) {
        g_fluid.audio_period = SYNTH_MIN_AUDIO_PERIOD;
    }
    if (g_fluid.audio_period > SYNTH_MAX_AUDIO_PERIOD) {
        g_fluid.audio_period = SYNTH_MAX_AUDIO_PERIOD;
    }
    g_fluid.settings = new_fluid_settings();
    SynthOptions used = options;
    used.audio_period = g_fluid.audio_period;
    settings_fill(used);
    g_fluid.synth = g_fluid.settings ? new_fluid_synth(g_fluid.settings) : nullptr;
    // The header is checked first: a file of another kind would make the loaders complain
    // on the terminal.
    if (g_fluid.synth == nullptr || access(soundfont, R_OK) != 0 ||
        !fluid_is_soundfont(soundfont) ||
        fluid_synth_sfload(g_fluid.synth, soundfont, 1) == FLUID_FAILED) {
        release();
        snprintf(message, message_size, "the sound font %s cannot be read: no %s port", soundfont,
                 SYNTH_PORT_NAME);
        snprintf(status, status_size, "Sound font unreadable: %s is off", SYNTH_PORT_NAME);
        return SynthStart::soundfont_unreadable;
    }
    kept_release(); // the samples now belong to this synthesizer too
    if (options.mode == SynthMode::offline) {
        return SynthStart::offline;
    }
    g_fluid.driver = audio_driver_open();
    if (g_fluid.driver == nullptr) {
        snprintf(message, message_size,
                 "no audio output (PipeWire, PulseAudio or ALSA): %s is silent", SYNTH_PORT_NAME);
        snprintf(status, status_size, "No audio output: %s is silent", SYNTH_PORT_NAME);
        return SynthStart::no_audio_output;
    }
    return SynthStart::sounding;
}

void stop() {
    release();
}

void offline_take_sent() {
    uint8_t message[MIDI_EVENT_MAX_BYTES];
    int64_t due = 0;
    for (uint32_t length = midi_event_ring_take(g_fluid.ring, message, &due); length != 0;
         length = midi_event_ring_take(g_fluid.ring, message, &due)) {
        due_queue_add(g_fluid.waiting, due, message, length);
    }
}

// At a block boundary: every message whose nearest boundary this is, or one already passed.
void offline_apply_due() {
    int64_t before = g_fluid.frames_written + SYNTH_BLOCK_FRAMES / 2;
    for (const DueMessage* m = due_queue_take(g_fluid.waiting, before); m != nullptr;
         m = due_queue_take(g_fluid.waiting, before)) {
        apply(g_fluid.waiting.bytes.data() + m->at, m->length);
    }
}

bool render(int16_t* interleaved, int frames) {
    if (g_fluid.synth == nullptr || g_fluid.mode != SynthMode::offline) {
        return false;
    }
    offline_take_sent();
    while (frames > 0) {
        int into_block = static_cast<int>(g_fluid.frames_written % SYNTH_BLOCK_FRAMES);
        if (into_block == 0) {
            offline_apply_due();
        }
        int step = SYNTH_BLOCK_FRAMES - into_block;
        step = step < frames ? step : frames;
        if (fluid_synth_write_s16(g_fluid.synth, step, interleaved, 0, 2, interleaved, 1, 2) !=
            FLUID_OK) {
            return false;
        }
        g_fluid.frames_written += step;
        interleaved += 2 * step;
        frames -= step;
    }
    return true;
}

double latency_ms() {
    return 1000.0 * g_fluid.audio_period * AUDIO_PERIODS / SYNTH_SAMPLE_RATE;
}

uint32_t dropped() {
    return g_fluid.ring.dropped.load(std::memory_order_relaxed);
}

// The one output port.

bool out_name(int device, char* out, size_t out_size) {
    if (device != 0 || out_size == 0) {
        return false;
    }
    snprintf(out, out_size, "%s", SYNTH_PORT_NAME);
    return true;
}

int out_count() {
    return 1;
}

bool mapper_available() {
    return false;
}

bool out_open(int device) {
    return device == 0 && g_fluid.synth != nullptr;
}

// With no audio output nobody would empty the ring: the message goes nowhere.
void send(const uint8_t* bytes, uint32_t length) {
    if (g_fluid.synth != nullptr &&
        (g_fluid.driver != nullptr || g_fluid.mode == SynthMode::offline)) {
        int64_t due = g_fluid.due_frame != nullptr ? g_fluid.due_frame() : 0;
        midi_event_ring_put(g_fluid.ring, bytes, length, due);
    }
}

void out_short(int, const uint8_t* bytes, int length) {
    send(bytes, static_cast<uint32_t>(length));
}

bool out_long(int, const uint8_t* bytes, uint32_t length) {
    send(bytes, length);
    return true;
}

bool out_long_done(int) {
    return true; // the ring took the whole message
}

// All notes off and controllers reset on every channel, as a device reset would.
void out_close(int) {
    for (uint8_t channel = 0; channel < 16; channel++) {
        uint8_t notes_off[3] = {static_cast<uint8_t>(0xB0 | channel), 123, 0};
        uint8_t reset[3] = {static_cast<uint8_t>(0xB0 | channel), 121, 0};
        send(notes_off, 3);
        send(reset, 3);
    }
}

int in_count() {
    return 0;
}

bool in_name(int, char*, size_t) {
    return false;
}

int in_open(int, const MidiInCallbacks&) {
    return 1;
}

void in_close() {}

const PlatformMidiBackend FLUID_MIDI = {
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

} // namespace

const PlatformSynthBackend FLUID_SYNTH = {
    .start = start,
    .stop = stop,
    .render = render,
    .latency_ms = latency_ms,
    .dropped = dropped,
    .midi = &FLUID_MIDI,
};
