// Common start for shell tests: the headless window, a driven clock, one virtual output
// and input port, the shell's hooks installed, and helpers that deliver window events the
// way the script runner does (a timer tick every 20 ms, frames following the clock while
// music runs).
#pragma once
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/font.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "sequencer/shell/window_events.h"
#include "tests/support/song_fixture.h"

#include <string>
#include <vector>

// Palette colours as the picture holds them: text ink, inverse text and its paper.
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t GREY = 0x7F7F7F;
constexpr uint32_t BLUE = 0x0000C0;
constexpr uint32_t RED = 0xC00000;
constexpr uint32_t BRIGHT_RED = 0xFF0000;

// Whether the picture holds exactly `text` drawn at pixel (x, y) in these colours, compared
// with the same text drawn into a scratch picture.
::testing::AssertionResult picture_shows_text(int x, int y, FontSize size, const char* text,
                                              uint32_t ink, uint32_t paper);

// Two tracks: "Little Tune" at 120 bpm, one note in track 2.
Bytes little_tune_song();

class ShellFixture : public SongFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    void reset_all() override { zb47_reset_all(); }
    // Runs the start-up frame (the first timer tick) with this command line.
    void start(const std::string& command_line = "");
    // The clock runs on `ms` milliseconds as in a scripted run.
    void run_ms(int ms);
    void key_down(int code);
    void key_up(int code);
    // Down, 30 ms, up, 20 ms.
    void key(int code);
    void move(int x, int y);
    void press(int x, int y);
    void release();
    // Press, 30 ms, release, and the timer tick that sees the release.
    void click(int x, int y);
    // Messages sent since the last clear, without real-time bytes.
    std::vector<Bytes> sent() const;
    void clear_sent() { headless_midi_clear_sent(); }
    int timer_phase = 0;

public:
    // Pages handed to show_command and clicks handed to the panels, recorded by the hooks.
    static std::vector<int> shown_commands;
    static std::vector<std::pair<int, int>> panel_clicks;
};
