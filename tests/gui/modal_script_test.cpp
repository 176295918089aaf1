// A dialog opened by a script line runs the following lines itself: keys, typed text and
// waits reach it through the pump, and the script goes on after it.
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

struct ScriptedView {
    std::vector<std::string> seen;
    bool done = false;
    bool cancelled = false;
};
ScriptedView g_view;
std::vector<std::string> g_main_window;
int g_clock_steps_in_dialog = 0;
int g_timers_in_dialog = 0;

void open_view() {
    ModalView view{};
    view.x = 10;
    view.y = 10;
    view.width = 50;
    view.height = 50;
    view.context = &g_view;
    view.key = [](void* c, int key, bool down) {
        auto& v = *static_cast<ScriptedView*>(c);
        v.seen.push_back("key " + std::to_string(key) + (down ? " down" : " up"));
        v.done = key == VK_ENTER && !down;
    };
    view.text = [](void* c, const char* utf8) {
        static_cast<ScriptedView*>(c)->seen.push_back(std::string("text ") + utf8);
    };
    view.composition = [](void* c, const char* utf8, int caret) {
        static_cast<ScriptedView*>(c)->seen.push_back(std::string("compose ") + utf8 + " " +
                                                      std::to_string(caret));
    };
    view.finished = [](void* c) { return static_cast<ScriptedView*>(c)->done; };
    view.cancel = [](void* c) { static_cast<ScriptedView*>(c)->cancelled = true; };
    view.wants_text = true;
    modal_run(view);
}

// The program's handlers: F2 opens the view; while it runs, input goes to it.
const WindowHandlers PROGRAM_HANDLERS = {
    [] {
        if (modal_active()) {
            g_timers_in_dialog++;
        }
    },
    [](int key, bool down) {
        if (modal_active()) {
            modal_post_key(key, down);
        } else if (key == 113 && down) {
            open_view();
        } else {
            g_main_window.push_back("key " + std::to_string(key) + (down ? " down" : " up"));
        }
    },
    [](int, int) {},
    [](MouseButton, bool) {},
    nullptr,
    [] {
        if (modal_active()) {
            modal_post_close();
        } else {
            platform_window_destroy();
        }
    },
    nullptr,
    [] {
        if (modal_active()) {
            g_clock_steps_in_dialog++;
        }
    },
    [](const char* utf8) {
        if (modal_active()) {
            modal_post_text(utf8);
        }
    },
    [](const char* utf8, int caret) {
        if (modal_active()) {
            modal_post_composition(utf8, caret);
        }
    },
};

class ModalScript : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override {
        platform_select("headless");
        headless_reset();
        headless_midi_reset();
        headless_window_reset();
        modal_reset();
        modal_attach(&PROGRAM_HANDLERS);
        g_view = ScriptedView{};
        g_main_window.clear();
        g_clock_steps_in_dialog = 0;
        g_timers_in_dialog = 0;
    }
    int run(const std::string& script) {
        std::string script_path = dir.file("s.txt");
        std::ofstream(script_path) << script;
        std::string log = dir.file("log.txt");
        WindowOptions options{0, script_path.c_str(), log.c_str()};
        EXPECT_TRUE(platform_window_open("caption", options));
        platform_window_run(PROGRAM_HANDLERS);
        return g_headless_window.script_errors;
    }
};

TEST_F(ModalScript, LinesAfterTheOpeningOneOperateTheDialog) {
    EXPECT_EQ(run("wait 20\nkeydown F2\ncompose ab\ntext ab\nwait 100\nkey Enter\nkey A\n"), 0);
    std::vector<std::string> expected = {"compose ab 2", "text ab", "key 13 down", "key 13 up"};
    EXPECT_EQ(g_view.seen, expected);
    EXPECT_TRUE(g_view.done);
    EXPECT_GE(g_clock_steps_in_dialog, 100);
    EXPECT_GE(g_timers_in_dialog, 5);
    std::vector<std::string> after = {"key 65 down", "key 65 up"};
    EXPECT_EQ(g_main_window, after);
}

TEST_F(ModalScript, TheScriptsEndCancelsAnOpenDialog) {
    EXPECT_EQ(run("wait 20\nkeydown F2\ntext ab\n"), 0);
    EXPECT_TRUE(g_view.cancelled);
    EXPECT_FALSE(g_view.done);
}

} // namespace
