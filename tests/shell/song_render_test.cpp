// The offline render to WAV: it sounds, its notes start where the tempo map puts them, a muted
// track is not in it, two renders are the same bytes, and a bad song or target is reported.
#include "platform/synth.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/song_render.h"
#include "sequencer/shell/wav_file.h"
#include "tests/support/song_fixture.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint16_t DIVISION = 480;

struct Tempo {
    uint32_t tick;
    uint32_t usec_per_quarter;
};

// 120 BPM, then 100 BPM from beat 2 and 150 BPM from beat 4.
const Tempo TEMPOS[] = {{0, 500000}, {960, 600000}, {1920, 400000}};
constexpr uint32_t SONG_END_TICK = 8 * DIVISION;

// Milliseconds of a tick through the tempo map.
double tick_ms(uint32_t tick) {
    double ms = 0;
    for (size_t i = 0; i < std::size(TEMPOS); i++) {
        uint32_t from = TEMPOS[i].tick;
        uint32_t to = i + 1 < std::size(TEMPOS) ? TEMPOS[i + 1].tick : UINT32_MAX;
        if (tick <= from) {
            break;
        }
        uint32_t span = (tick < to ? tick : to) - from;
        ms += span * (TEMPOS[i].usec_per_quarter / 1000.0) / DIVISION;
    }
    return ms;
}

Bytes conductor_track() {
    Bytes track = time_signature(0, 4, 2);
    uint32_t at = 0;
    for (const Tempo& t : TEMPOS) {
        Bytes tempo = tempo_event(t.tick - at, t.usec_per_quarter);
        track.insert(track.end(), tempo.begin(), tempo.end());
        at = t.tick;
    }
    Bytes end = end_of_track(SONG_END_TICK - at);
    track.insert(track.end(), end.begin(), end.end());
    return track;
}

// Short notes on `channel` at the given ticks, reverb and chorus off so each dies away fast.
Bytes note_track(uint8_t channel, uint8_t program, uint8_t key,
                 const std::vector<uint32_t>& ticks) {
    uint8_t control = static_cast<uint8_t>(0xB0 | channel);
    Bytes track = concat({ev(0, {static_cast<uint8_t>(0xC0 | channel), program}),
                          ev(0, {control, 91, 0}), ev(0, {control, 93, 0})});
    uint32_t at = 0;
    for (uint32_t tick : ticks) {
        Bytes on = ev(tick - at, {static_cast<uint8_t>(0x90 | channel), key, 112});
        Bytes off = ev(60, {static_cast<uint8_t>(0x80 | channel), key, 0});
        track.insert(track.end(), on.begin(), on.end());
        track.insert(track.end(), off.begin(), off.end());
        at = tick + 60;
    }
    Bytes end = end_of_track(0);
    track.insert(track.end(), end.begin(), end.end());
    return track;
}

std::vector<uint32_t> beats() {
    std::vector<uint32_t> ticks;
    for (uint32_t beat = 0; beat < 8; beat++) {
        ticks.push_back(beat * DIVISION);
    }
    return ticks;
}

std::vector<uint32_t> off_beats() {
    std::vector<uint32_t> ticks;
    for (uint32_t beat = 0; beat < 7; beat++) {
        ticks.push_back(beat * DIVISION + DIVISION / 2);
    }
    return ticks;
}

class SongRenderTest : public SongFixture {
protected:
    void SetUp() override {
        SongFixture::SetUp();
#ifndef ZB_WITH_FLUIDSYNTH
        GTEST_SKIP() << "built without the synthesizer (libfluidsynth-dev was missing)";
#endif
    }
    void TearDown() override {
        song_render_finish();
    }

    // Prepares the song of these tracks; false (the test skips) when there is no sound font.
    bool prepare(const std::vector<Bytes>& tracks, const std::string& name = "song.mid") {
        song_path = dir.file(name);
        write_file_bytes(song_path, smf_file(1, DIVISION, tracks));
        request.song_path = song_path.c_str();
        request.wav_path = wav_path.c_str();
        RenderResult prepared = song_render_prepare(request);
        if (prepared == RenderResult::no_synth) {
            return false;
        }
        EXPECT_EQ(prepared, RenderResult::rendered);
        return prepared == RenderResult::rendered;
    }
    // The samples of the render just written, as left plus right.
    std::vector<int> mono_of_file() {
        Bytes wav = read_file_bytes(wav_path);
        std::vector<int> mono;
        for (size_t at = WAV_HEADER_SIZE; at + 3 < wav.size(); at += 4) {
            int16_t left = static_cast<int16_t>(wav[at] | wav[at + 1] << 8);
            int16_t right = static_cast<int16_t>(wav[at + 2] | wav[at + 3] << 8);
            mono.push_back(left + right);
        }
        return mono;
    }
    std::string song_path;
    std::string wav_path = dir.file("out.wav");
    RenderRequest request;
};

// Onsets: where the energy over 16 samples first passes both 1/1000 of the loudest (3% of its
// level) and ten times what it was 20 ms before, at least 100 ms after the last onset; the
// onset is the first sample of that window.
std::vector<double> onsets_ms(const std::vector<int>& mono) {
    constexpr size_t WINDOW = 16;
    constexpr size_t LOOK_BACK = SYNTH_SAMPLE_RATE / 50;
    constexpr size_t APART = SYNTH_SAMPLE_RATE / 10;
    std::vector<double> energy(mono.size(), 0);
    double sum = 0;
    double peak = 0;
    for (size_t i = 0; i < mono.size(); i++) {
        sum += double(mono[i]) * mono[i];
        if (i >= WINDOW) {
            sum -= double(mono[i - WINDOW]) * mono[i - WINDOW];
        }
        energy[i] = sum / WINDOW;
        peak = std::max(peak, energy[i]);
    }
    std::vector<double> onsets;
    size_t last = 0;
    for (size_t i = 0; i < energy.size(); i++) {
        double before = i >= LOOK_BACK ? energy[i - LOOK_BACK] : 0;
        bool apart = onsets.empty() || i - last >= APART;
        if (apart && energy[i] > peak / 1000 && energy[i] > 10 * before) {
            size_t first = i + 1 >= WINDOW ? i + 1 - WINDOW : 0;
            onsets.push_back(first * 1000.0 / SYNTH_SAMPLE_RATE);
            last = i;
        }
    }
    return onsets;
}

// The synthesizer starts a note only between blocks of 64 frames.
double block_ms() {
    return SYNTH_BLOCK_FRAMES * 1000.0 / SYNTH_SAMPLE_RATE;
}

// The block boundary nearest a time, in milliseconds.
double nearest_block_ms(double ms) {
    return std::round(ms / block_ms()) * block_ms();
}

// Every note starts within 2 ms of its time from the tempo map, though the engine sends it up
// to a tick and a driven millisecond late: the render applies it at the block boundary nearest
// that time (at most 0.73 ms away), so every note lies the same short way (the instrument's
// attack as the detector sees it) behind that boundary, half a block being the most it may
// vary by without a note having gone into the wrong block.
void expect_beats_on_the_tempo_map(const std::vector<int>& mono) {
    ASSERT_GT(mono.size(), static_cast<size_t>(tick_ms(SONG_END_TICK) * 44.1));
    std::vector<double> onsets = onsets_ms(mono);
    std::vector<uint32_t> ticks = beats();
    ASSERT_EQ(onsets.size(), ticks.size()) << ::testing::PrintToString(onsets);
    double attack = onsets[0] - nearest_block_ms(tick_ms(ticks[0]));
    for (size_t i = 0; i < ticks.size(); i++) {
        EXPECT_NEAR(onsets[i], tick_ms(ticks[i]), 2.0) << "note " << i;
        EXPECT_NEAR(onsets[i] - nearest_block_ms(tick_ms(ticks[i])), attack, block_ms() / 2)
            << "note " << i;
    }
}

TEST_F(SongRenderTest, SoundsWithEachNoteWithinTwoMillisecondsOfItsTempoMapTime) {
    if (!prepare({conductor_track(), note_track(0, 0, 72, beats())})) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    expect_beats_on_the_tempo_map(mono_of_file());
}

// Settings that make playback follow MIDI clock or the mouse baton would leave the render with
// a song standing still; it plays on its own clock.
TEST_F(SongRenderTest, PlaysOnItsOwnClockWhicheverClockTheSettingsFollow) {
    for (int source : {CLOCK_MIDI, CLOCK_BATON}) {
        if (!prepare({conductor_track(), note_track(0, 0, 72, beats())})) {
            GTEST_SKIP() << "no General MIDI sound font installed";
        }
        g_settings.slots[SLOT_CLOCK_SOURCE] = source;
        ASSERT_EQ(song_render_run(request), RenderResult::rendered) << source;
        expect_beats_on_the_tempo_map(mono_of_file());
        song_render_finish();
    }
}

TEST_F(SongRenderTest, AMutedTrackIsAbsent) {
    // The render with track 3 muted is the render of the song without its notes.
    if (!prepare({conductor_track(), note_track(0, 0, 72, beats()), end_of_track(0)},
                 "without.mid")) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> without = mono_of_file();
    song_render_finish();

    std::vector<Bytes> with_track3 = {conductor_track(), note_track(0, 0, 72, beats()),
                                      note_track(1, 56, 60, off_beats())};
    ASSERT_TRUE(prepare(with_track3, "with.mid"));
    g_song.track_play[2] = 0;
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> muted = mono_of_file();
    song_render_finish();

    ASSERT_TRUE(prepare(with_track3, "with.mid"));
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> heard = mono_of_file();

    EXPECT_TRUE(muted == without);
    EXPECT_FALSE(heard == without);
}

// The render goes through the same output path as playback: the transposition moves its
// notes, and a port map pointing at a port that is not there silences them.
TEST_F(SongRenderTest, TranspositionAndPortMapApplyAsInPlayback) {
    if (!prepare({conductor_track(), note_track(0, 0, 72, beats())}, "c5.mid")) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> octave_up = mono_of_file();
    song_render_finish();

    ASSERT_TRUE(prepare({conductor_track(), note_track(0, 0, 60, beats())}, "c4.mid"));
    transpose_amount_set(12);
    transpose_switch(true);
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> transposed = mono_of_file();
    song_render_finish();

    ASSERT_TRUE(prepare({conductor_track(), note_track(0, 0, 60, beats())}, "c4.mid"));
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> as_written = mono_of_file();
    song_render_finish();

    ASSERT_TRUE(prepare({conductor_track(), note_track(0, 0, 60, beats())}, "c4.mid"));
    g_midi_devices.port_map[0] = 5;
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    std::vector<int> mapped_away = mono_of_file();

    EXPECT_TRUE(transposed == octave_up);
    EXPECT_FALSE(as_written == octave_up);
    ASSERT_FALSE(mapped_away.empty());
    int loudest = 0;
    for (int sample : mapped_away) {
        loudest = std::max(loudest, std::abs(sample));
    }
    EXPECT_LE(loudest, 4); // the dither noise of both channels
    EXPECT_FALSE(mapped_away == as_written);
}

TEST_F(SongRenderTest, TwoRendersAreTheSameBytes) {
    std::vector<Bytes> tracks = {conductor_track(), note_track(0, 0, 72, beats()),
                                 note_track(9, 0, 38, off_beats())};
    if (!prepare(tracks)) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    Bytes first = read_file_bytes(wav_path);
    song_render_finish();
    wav_path = dir.file("again.wav");
    ASSERT_TRUE(prepare(tracks));
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    Bytes second = read_file_bytes(wav_path);
    ASSERT_GT(first.size(), static_cast<size_t>(WAV_HEADER_SIZE));
    EXPECT_TRUE(first == second);
}

TEST_F(SongRenderTest, TheFileIsAStereoSixteenBitWavOfTheRightLength) {
    if (!prepare({conductor_track(), note_track(0, 0, 72, beats())})) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(song_render_run(request), RenderResult::rendered);
    Bytes wav = read_file_bytes(wav_path);
    ASSERT_GE(wav.size(), static_cast<size_t>(WAV_HEADER_SIZE));
    Bytes header(wav.begin(), wav.begin() + WAV_HEADER_SIZE);
    uint8_t expected[WAV_HEADER_SIZE];
    wav_header(expected, (wav.size() - WAV_HEADER_SIZE) / 4, 44100);
    EXPECT_EQ(header, Bytes(expected, expected + WAV_HEADER_SIZE));
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wav[22], 2);                    // channels
    EXPECT_EQ(wav[34], 16);                   // bits
    EXPECT_EQ(wav[24] | wav[25] << 8, 44100); // rate
    EXPECT_EQ((wav.size() - WAV_HEADER_SIZE) % 4, 0u);
    // Every driven millisecond of the song is in it, then the dying sound.
    EXPECT_GE((wav.size() - WAV_HEADER_SIZE) / 4,
              static_cast<size_t>(tick_ms(SONG_END_TICK) * 44.1));
}

TEST_F(SongRenderTest, EachMillisecondHasItsShareOfTheSecond) {
    uint64_t frames = 0;
    for (uint32_t ms = 0; ms < 1000; ms++) {
        int share = render_frames_of_ms(ms);
        EXPECT_TRUE(share == 44 || share == 45) << ms;
        frames += static_cast<uint64_t>(share);
    }
    EXPECT_EQ(frames, 44100u);
}

TEST_F(SongRenderTest, ASongThatDoesNotLoadIsReported) {
    song_path = dir.file("not_a_song.mid");
    write_file_bytes(song_path, {'n', 'o', 't', ' ', 'M', 'I', 'D', 'I'});
    request.song_path = song_path.c_str();
    request.wav_path = wav_path.c_str();
    EXPECT_EQ(song_render(request), RenderResult::song_not_loaded);
    EXPECT_FALSE(platform_file_exists(wav_path.c_str()));
}

TEST_F(SongRenderTest, AFolderThatIsNotThereIsReportedBeforeTheRender) {
    song_path = dir.file("song.mid");
    write_file_bytes(song_path,
                     smf_file(1, DIVISION, {conductor_track(), note_track(0, 0, 72, beats())}));
    std::string missing = dir.file("missing/out.wav");
    request.song_path = song_path.c_str();
    request.wav_path = missing.c_str();
    EXPECT_EQ(song_render_prepare(request), RenderResult::file_not_written);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"song.mid"});
}

TEST_F(SongRenderTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    if (!prepare({conductor_track(), note_track(0, 0, 72, beats())})) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    g_headless.fail_write_after = 1000;
    EXPECT_EQ(song_render_run(request), RenderResult::file_not_written);
    EXPECT_FALSE(platform_file_exists(wav_path.c_str()));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"song.mid"}); // no temporary file either
}

} // namespace
