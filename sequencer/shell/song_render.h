// Renders a song to a WAV file: the engine plays it on a driven clock into the synthesizer's
// port in offline mode, one frame per millisecond, and the samples follow a second behind, so
// each event, sent up to a tick late, still sounds at its own time.
// Implemented in: song_render.cpp.
#pragma once
#include <cstdint>
#include <vector>

constexpr uint32_t RENDER_TAIL_MAX_MS = 5000;   // sound dying away after the song's end
constexpr uint32_t RENDER_SILENCE_MS = 200;     // this much silence ends the tail
constexpr uint32_t RENDER_MAX_MS = 3 * 3600000; // a WAV file holds a little more
// How far the engine's frames run ahead of the samples: an event can be rendered at its time
// when it is sent no later than this after it (one tick at 1 BPM and 480 ticks a beat is
// 125 ms; a later one sounds at once).
constexpr uint32_t RENDER_LOOKAHEAD_MS = 1000;

enum class RenderResult {
    rendered,
    no_synth,         // the synthesizer could not start (no sound font, or not built)
    song_not_loaded,  // not a song file, or missing
    too_long,         // longer than RENDER_MAX_MS
    file_not_written, // the WAV file could not be written
};

struct RenderRequest {
    const char* song_path = nullptr;
    const char* wav_path = nullptr;
    const char* soundfont_path = nullptr;    // null: the system's General MIDI sound font
    void (*progress)(int percent) = nullptr; // called each time the percentage moves on
};

// The render in progress; the main thread runs every frame of it itself.
struct SongRender {
    std::vector<int16_t> samples; // interleaved stereo, everything rendered so far
    uint32_t rendered_ms = 0;     // driven milliseconds whose samples are in `samples`
    int percent_shown = -1;
};

extern SongRender g_song_render;

// Samples of driven millisecond `ms`: the cumulative count is floor(44100 * ms / 1000), so the
// sum over a second is exactly 44100.
int render_frames_of_ms(uint32_t ms);

// The three steps, apart so that tests can set mutes and maps between load and render:
// the headless backend on a driven clock with no virtual ports, the synthesizer offline as
// the only port, the engine with the settings file, and the song loaded at its start; a WAV
// file that cannot be created in its folder is reported here, before any rendering.
RenderResult song_render_prepare(const RenderRequest& request);
// Plays the song to its end, then its dying sound, and writes the WAV file.
RenderResult song_render_run(const RenderRequest& request);
// Closes the ports and stops the synthesizer.
void song_render_finish();
RenderResult song_render(const RenderRequest& request);
// An English line for the terminal.
const char* render_result_text(RenderResult result);
