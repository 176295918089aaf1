// Shell test fixture.
#include "tests/shell/shell_fixture.h"

#include "platform/picture.h"
#include "platform/platform.h"
#include "sequencer/engine/engine.h"
#include "sequencer/shell/screen_modes.h"
#include "tests/support/smf_builder.h"

#include <cstring>

std::vector<int> ShellFixture::shown_commands;
std::vector<std::pair<int, int>> ShellFixture::panel_clicks;

namespace {

void record_show_command(int page) {
    ShellFixture::shown_commands.push_back(page);
    if (page < NO_PAGE_SHOWN) {
        g_menu.menu_page = page;
        g_menu.shown_page = static_cast<uint8_t>(page);
    }
}

void record_panel_click(int x, int y) {
    ShellFixture::panel_clicks.push_back({x, y});
}

} // namespace

::testing::AssertionResult picture_shows_text(int x, int y, FontSize size, const char* text,
                                              uint32_t ink, uint32_t paper) {
    std::vector<uint32_t> scratch(PICTURE_WIDTH * PICTURE_HEIGHT, 0x123456u);
    int width = font_draw_text(scratch.data(), x, y, size, text, strlen(text), ink, paper);
    for (int row = y; row < y + font_height(size) && row < PICTURE_HEIGHT; row++) {
        for (int col = x; col < x + width && col < PICTURE_WIDTH; col++) {
            uint32_t seen = g_picture.pixels[row * PICTURE_WIDTH + col];
            if (scratch[row * PICTURE_WIDTH + col] != seen) {
                return ::testing::AssertionFailure()
                       << "\"" << text << "\" differs at (" << col << ", " << row
                       << "): " << std::hex << seen << " instead of "
                       << scratch[row * PICTURE_WIDTH + col];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

Bytes little_tune_song() {
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, "Little Tune"), tempo_event(0, 500000), end_of_track(1920)}),
         concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track()})});
}

void ShellFixture::SetUp() {
    SongFixture::SetUp();
    g_headless_midi.out_names = {"Synth 1"};
    g_headless_midi.in_names = {"Keyboard"};
    g_headless.program_directory = dir.path;
    g_headless.clock_driven = true;
    g_headless.clock_ms = 1000;
    shell_hooks_install();
    g_shell.frames_follow_clock = true;
    shown_commands.clear();
    panel_clicks.clear();
    g_menu_hooks.show_command = record_show_command;
    g_menu_hooks.panel_click = record_panel_click;
    WindowOptions options{};
    ASSERT_TRUE(platform_window_open("ZB47 MIDI MUSIC SEQUENCER", options));
}

void ShellFixture::TearDown() {
    engine_devices_close();
    g_menu_hooks = MenuHooks{};
    headless_midi_reset();
}

void ShellFixture::start(const std::string& command_line) {
    command_line_set(command_line.c_str());
    run_ms(20);
    ASSERT_EQ(g_shell.app_state, STATE_RUN);
    clear_sent();
}

void ShellFixture::run_ms(int ms) {
    const WindowHandlers& h = SHELL_WINDOW_HANDLERS;
    for (int i = 0; i < ms && !g_headless_window.destroyed; i++) {
        g_headless.clock_ms++;
        h.clock_step();
        if (headless_window_take_wake()) {
            h.wake();
        }
        if (++timer_phase >= 20) {
            timer_phase = 0;
            h.timer();
        }
    }
}

void ShellFixture::key_down(int code) {
    g_headless.keys_down[code] = true;
    SHELL_WINDOW_HANDLERS.key(code, true);
}

void ShellFixture::key_up(int code) {
    g_headless.keys_down[code] = false;
    SHELL_WINDOW_HANDLERS.key(code, false);
}

void ShellFixture::key(int code) {
    key_down(code);
    run_ms(30);
    key_up(code);
    run_ms(20); // a frame sees the key up before the next key comes
}

void ShellFixture::move(int x, int y) {
    SHELL_WINDOW_HANDLERS.mouse_move(x, y);
}

void ShellFixture::press(int x, int y) {
    move(x, y);
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, true);
}

void ShellFixture::release() {
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::left, false);
}

void ShellFixture::click(int x, int y) {
    press(x, y);
    run_ms(30);
    release();
    run_ms(20); // the next timer tick sees the release
}

std::vector<Bytes> ShellFixture::sent() const {
    std::vector<Bytes> out;
    for (const HeadlessMidiMessage& m : headless_midi_sent()) {
        if (m.bytes.size() == 1 && m.bytes[0] >= 0xF8) {
            continue;
        }
        out.push_back(m.bytes);
    }
    return out;
}
