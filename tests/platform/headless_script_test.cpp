// The headless window's script runner against recording handlers.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/midi.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What the handlers saw, with the driven clock.
std::vector<std::string> g_seen;
int g_timers = 0;
int g_clock_steps = 0;

void seen(const std::string& what) {
    g_seen.push_back(std::to_string(g_headless.clock_ms) + " " + what);
}

const WindowHandlers RECORDING_HANDLERS = {
    [] {
        if (++g_timers == 1) {
            platform_window_caption("Song - ZB47");
        }
    },
    [](int key, bool down) { seen("key " + std::to_string(key) + (down ? " down" : " up")); },
    [](int x, int y) { seen("move " + std::to_string(x) + "," + std::to_string(y)); },
    [](MouseButton b, bool down) {
        seen(std::string(b == MouseButton::left ? "left" : "right") + (down ? " down" : " up"));
    },
    [](const char* path) { seen(std::string("drop ") + path); },
    [] {
        seen("close");
        platform_window_destroy();
    },
    [] { seen("wake"); },
    [] { g_clock_steps++; },
};

class HeadlessScript : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override {
        platform_select("headless");
        headless_backend_reset();
        g_headless.clock_ms = 0;
        g_seen.clear();
        g_timers = 0;
        g_clock_steps = 0;
    }
    int run(const std::string& script) {
        std::ofstream(dir.file("s.txt")) << script;
        std::string log = dir.file("log.txt");
        WindowOptions options{0, nullptr, nullptr};
        std::string script_path = dir.file("s.txt");
        options.script = script_path.c_str();
        options.log = log.c_str();
        EXPECT_TRUE(platform_window_open("caption", options));
        platform_window_run(RECORDING_HANDLERS);
        return g_headless_window.script_errors;
    }
    std::string log_text() const {
        std::ifstream in(dir.file("log.txt"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(HeadlessScript, WaitsDriveTheClockTimerAndClockSteps) {
    EXPECT_EQ(run("wait 100\n# a comment\n\nwait 30  # more\n"), 0);
    EXPECT_EQ(g_headless.clock_ms, 130u);
    EXPECT_EQ(g_clock_steps, 130);
    EXPECT_EQ(g_timers, 6);
    EXPECT_TRUE(g_headless.clock_driven);
}

TEST_F(HeadlessScript, KeysAndClicksReachTheHandlersAndTheKeyState) {
    EXPECT_EQ(run("key F1\nkeydown Shift\nclick 10 20\nkeyup Shift\nkey a\nkey 0x41\n"), 0);
    // A key is held 30 ms and followed by 20 ms up; a click is held 30 ms.
    std::vector<std::string> expected = {
        "0 key 112 down", "30 key 112 up",   "50 key 16 down", "50 move 10,20",
        "50 left down",   "80 left up",      "80 key 16 up",   "80 key 65 down",
        "110 key 65 up",  "130 key 65 down", "160 key 65 up",  "180 close",
    };
    EXPECT_EQ(g_seen, expected);
    EXPECT_FALSE(g_headless.keys_down[16]);
}

TEST_F(HeadlessScript, AnswersAndDialogPathsAreQueued) {
    EXPECT_EQ(run("answer yes\nanswer no\ndialog /tmp/x.mid\ndialog\n"), 0);
    EXPECT_EQ(g_headless.answers, (std::deque<bool>{true, false}));
    EXPECT_EQ(g_headless.dialog_paths, (std::deque<std::string>{"/tmp/x.mid", ""}));
}

TEST_F(HeadlessScript, BadLinesAreCountedAndTheRestStillRuns) {
    EXPECT_EQ(run("jump 3\nkey NoSuchKey\nwait -1\nmidi 90 3C\nmidi 1FF\nclick 5\nwait 20\n"), 5);
    EXPECT_EQ(g_headless.clock_ms, 20u);
}

TEST_F(HeadlessScript, DropsOnlyReachTheProgramWhileAccepted) {
    EXPECT_EQ(run("drop /a.mid\n"), 0);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"0 close"}));
    EXPECT_NE(log_text().find("drop refused: /a.mid"), std::string::npos);
    g_seen.clear();
    headless_window_reset();
    platform_window_drop_accept(true);
    g_headless_window.drop_accepted = true;
    EXPECT_EQ(run("drop /b.mid\n"), 0);
    EXPECT_EQ(g_seen.front(), "0 drop /b.mid");
}

TEST_F(HeadlessScript, LogListsMidiStatusAndCaptionAndScreenshotsAreWritten) {
    g_headless_midi.out_names = {"port"};
    ASSERT_TRUE(platform_midi_out_open(0));
    std::string shot = dir.file("shot.png");
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        g_picture.pixels[0] = 0x00FF0000;
    }
    const uint8_t note[3] = {0x90, 0x3C, 0x64};
    platform_midi_out_short(0, note, 3);
    platform_status_text("memory over");
    EXPECT_EQ(run("note hello\nscreenshot " + shot + "\nwait 25\n"), 0);
    std::string log = log_text();
    EXPECT_NE(log.find("midi 0: 90 3C 64"), std::string::npos) << log;
    EXPECT_NE(log.find("status: memory over"), std::string::npos) << log;
    EXPECT_NE(log.find("caption: Song - ZB47"), std::string::npos) << log;
    EXPECT_NE(log.find("note: hello"), std::string::npos) << log;
    EXPECT_NE(log.find("screenshot " + shot), std::string::npos) << log;
    std::vector<unsigned char> png = read_file_bytes(shot);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(png[2], 'N');
    platform_midi_out_close(0);
}

TEST_F(HeadlessScript, MissingScriptIsAnError) {
    WindowOptions options{0, "/no/such/script", nullptr};
    ASSERT_TRUE(platform_window_open("c", options));
    platform_window_run(RECORDING_HANDLERS);
    EXPECT_EQ(g_headless_window.script_errors, 1);
}

} // namespace
