// The offline render: the same output path as playback (midi_send, the device layer, the
// synthesizer's port), driven one millisecond at a time so the result never varies. Each
// message tells the port when it was due: a track event its tick's time on the song clock,
// anything else the millisecond it was sent in.
#include "sequencer/shell/song_render.h"
#include "sequencer/shell/window_events.h"

#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/platform.h"
#include "platform/synth.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/wav_file.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

SongRender g_song_render;

namespace {

constexpr int SILENT_LEVEL = 2; // dither noise stays below this

void progress_report(const RenderRequest& request) {
    int32_t end = g_song.measure_table.song_end_tick;
    int percent = end > 0 ? static_cast<int>(int64_t{g_song_clock.song_tick} * 100 / end) : 0;
    percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    if (percent != g_song_render.percent_shown) {
        g_song_render.percent_shown = percent;
        if (request.progress) {
            request.progress(percent);
        }
    }
}

// The sample frame of a moment given in driven milliseconds.
int64_t frame_of_ms(double ms) {
    return std::llround(ms * SYNTH_SAMPLE_RATE / 1000);
}

// Called by the synthesizer's port on every send. A track event is due when the song clock
// reached its tick, which lies within the last tick before this frame, never after it.
int64_t due_frame() {
    double now = g_headless.clock_ms;
    double due = now;
    if (g_player.sending_tick >= 0 && transport_mode() != MODE_STOPPED) {
        due = g_song_clock.clock_origin + elapsed_ms_at_tick(g_player.sending_tick);
        due = due > now ? now : (due < now - RENDER_LOOKAHEAD_MS ? now - RENDER_LOOKAHEAD_MS : due);
    }
    return frame_of_ms(due);
}

// Renders the samples of the next millisecond; true when they are all silent.
bool millisecond_render() {
    SongRender& r = g_song_render;
    int frames = render_frames_of_ms(r.rendered_ms);
    size_t first = r.samples.size();
    r.samples.resize(first + static_cast<size_t>(frames) * 2);
    platform_synth_render(&r.samples[first], frames);
    r.rendered_ms++;
    for (size_t i = first; i < r.samples.size(); i++) {
        if (abs(r.samples[i]) > SILENT_LEVEL) {
            return false;
        }
    }
    return true;
}

} // namespace

int render_frames_of_ms(uint32_t ms) {
    uint64_t rate = SYNTH_SAMPLE_RATE;
    return static_cast<int>(rate * (ms + 1) / 1000 - rate * ms / 1000);
}

RenderResult song_render_prepare(const RenderRequest& request) {
    g_song_render = SongRender{};
    platform_select("headless");
    headless_midi_reset(); // no virtual ports: the synthesizer is port 0 and alone
    g_headless.clock_driven = true;
    g_headless.clock_ms = 0;
    zb47_reset_all();
    settings_read();
    song_store_init(SEQUENCER_STORE);
    settings_apply();
    // The song first: a wrong file is told at once, before the sound font takes its time.
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", request.song_path);
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        return RenderResult::song_not_loaded;
    }
    // A folder that is not there or cannot be written to is told before the render, not after.
    char temp_path[1024];
    PlatformFile* probe =
        platform_file_create_beside(request.wav_path, temp_path, sizeof temp_path);
    if (probe == nullptr) {
        return RenderResult::file_not_written;
    }
    platform_file_close(probe);
    platform_file_remove(temp_path);
    SynthOptions options;
    options.mode = SynthMode::offline;
    options.soundfont_path = request.soundfont_path;
    options.due_frame = due_frame;
    if (platform_synth_start(options) != SynthStart::offline) {
        return RenderResult::no_synth;
    }
    engine_devices_open();
    position_reset();
    return RenderResult::rendered;
}

RenderResult song_render_run(const RenderRequest& request) {
    SongRender& r = g_song_render;
    // Offline there is no MIDI clock to follow and no mouse to conduct with: a settings file
    // asking for either would leave the song standing still for the longest render.
    g_settings.slots[SLOT_CLOCK_SOURCE] = CLOCK_INTERNAL;
    // Each millisecond: the clock moves on and the frame sends what is due; the samples of the
    // millisecond a lookahead earlier follow, with everything due in them already sent.
    transport_start();
    while (transport_mode() != MODE_STOPPED) {
        if (g_headless.clock_ms >= RENDER_MAX_MS) {
            transport_stop(true);
            return RenderResult::too_long;
        }
        frame_routine();
        platform_synth_render(nullptr, 0);      // the port's hand-over ring never fills up
        if (transport_mode() != MODE_STOPPED) { // a stop puts the position back to the top
            progress_report(request);
        }
        g_headless.clock_ms++;
        if (g_headless.clock_ms > RENDER_LOOKAHEAD_MS) {
            millisecond_render();
        }
    }
    while (r.rendered_ms < g_headless.clock_ms) {
        millisecond_render();
    }
    uint32_t silent_ms = 0;
    for (uint32_t tail = 0; tail < RENDER_TAIL_MAX_MS && silent_ms < RENDER_SILENCE_MS; tail++) {
        silent_ms = millisecond_render() ? silent_ms + 1 : 0;
    }
    if (request.progress && r.percent_shown != 100) {
        request.progress(100);
    }
    if (!wav_write(request.wav_path, r.samples.data(), r.samples.size() / 2, SYNTH_SAMPLE_RATE)) {
        return RenderResult::file_not_written;
    }
    return RenderResult::rendered;
}

void song_render_finish() {
    engine_devices_close();
    platform_synth_stop();
    g_song_render = SongRender{};
}

RenderResult song_render(const RenderRequest& request) {
    RenderResult result = song_render_prepare(request);
    if (result == RenderResult::rendered) {
        result = song_render_run(request);
    }
    song_render_finish();
    return result;
}

const char* render_result_text(RenderResult result) {
    switch (result) {
    case RenderResult::rendered:
        return "rendered";
    case RenderResult::no_synth:
        return "the synthesizer could not start";
    case RenderResult::song_not_loaded:
        return "the song could not be loaded (not a Standard MIDI File, or missing)";
    case RenderResult::too_long:
        return "the song plays longer than a WAV file can hold";
    default:
        return "the WAV file could not be written";
    }
}
