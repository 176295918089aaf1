// The modal loop: queued input reaches the view, the input's end cancels it, the picture
// under it is guarded and restored, and a view on another thread keeps the song's step going.
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/midi.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/canvas.h"
#include "sequencer/shell/draw.h"
#include "tests/gui/gui_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t VIEW_COLOUR = 0x123456;

struct TestView {
    std::vector<std::string> seen;
    bool done = false;
    bool cancelled = false;
    bool paint_over_picture_on_key = false;
};

ModalView view_of(TestView& test) {
    ModalView view{};
    view.x = 100;
    view.y = 50;
    view.width = 200;
    view.height = 100;
    view.context = &test;
    view.draw = [](void*) {
        Canvas canvas = modal_canvas();
        canvas_rect(canvas, 100, 50, 300, 150, VIEW_COLOUR, VIEW_COLOUR, 1);
    };
    view.key = [](void* c, int key, bool down) {
        auto& t = *static_cast<TestView*>(c);
        t.seen.push_back("key " + std::to_string(key) + (down ? " down" : " up") +
                         (modal_shift_down() ? " shift" : ""));
        if (t.paint_over_picture_on_key) {
            fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x00FF00, 0x00FF00, 1);
        }
        if (key == VK_ENTER && !down) {
            t.done = true;
        }
    };
    view.text = [](void* c, const char* utf8) {
        static_cast<TestView*>(c)->seen.push_back(std::string("text ") + utf8);
    };
    view.mouse_button = [](void* c, MouseButton, bool down, int x, int y) {
        static_cast<TestView*>(c)->seen.push_back(std::string(down ? "press " : "release ") +
                                                  std::to_string(x) + "," + std::to_string(y));
    };
    view.finished = [](void* c) { return static_cast<TestView*>(c)->done; };
    view.cancel = [](void* c) { static_cast<TestView*>(c)->cancelled = true; };
    view.wants_text = true;
    return view;
}

uint32_t pixel_at(int x, int y) {
    return g_picture.pixels[y * PICTURE_WIDTH + x];
}

using Modal = GuiFixture;

TEST_F(Modal, QueuedInputReachesTheViewUntilItFinishes) {
    TestView test;
    ModalView view = view_of(test);
    headless_queue_key(16, true);
    headless_queue_text("ab");
    headless_queue_click(120, 60);
    headless_queue_key(16, false);
    headless_queue_stroke(VK_ENTER);
    headless_queue_text("not for the view");
    modal_run(view);
    std::vector<std::string> expected = {"key 16 down shift", "text ab",   "press 120,60",
                                         "release 120,60",    "key 16 up", "key 13 down",
                                         "key 13 up"};
    EXPECT_EQ(test.seen, expected);
    EXPECT_TRUE(test.done);
    EXPECT_FALSE(test.cancelled);
    EXPECT_FALSE(modal_active());
}

TEST_F(Modal, EndOfInputCancels) {
    TestView test;
    ModalView view = view_of(test);
    headless_queue_text("x");
    modal_run(view);
    EXPECT_TRUE(test.cancelled);
    EXPECT_FALSE(test.done);
}

TEST_F(Modal, TextInputIsOnOnlyWhileAViewWantsIt) {
    TestView test;
    ModalView view = view_of(test);
    bool on_during = false;
    static bool* s_on = &on_during;
    view.mouse_move = [](void*, int, int) { *s_on = g_headless_window.text_input; };
    headless_queue_move(1, 1);
    modal_run(view);
    EXPECT_TRUE(on_during);
    EXPECT_FALSE(g_headless_window.text_input);
}

TEST_F(Modal, OpeningCallsTheOpenedHook) {
    static int s_opened = 0;
    s_opened = 0;
    g_modal_hooks.opened = [] { s_opened++; };
    TestView test;
    ModalView view = view_of(test);
    modal_run(view);
    EXPECT_EQ(s_opened, 1);
}

TEST_F(Modal, OtherDrawingKeepsOutOfTheViewAndTheCloseRestoresThePicture) {
    fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x0000FF, 0x0000FF, 1);
    uint32_t before = pixel_at(150, 100);
    TestView test;
    test.paint_over_picture_on_key = true;
    ModalView view = view_of(test);
    static uint32_t s_inside = 0, s_outside = 0;
    view.mouse_move = [](void*, int, int) {
        s_inside = pixel_at(150, 100);
        s_outside = pixel_at(10, 10);
    };
    headless_queue_stroke('A'); // the view paints the whole picture green meanwhile
    headless_queue_move(0, 0);
    headless_queue_stroke(VK_ENTER);
    modal_run(view);
    EXPECT_EQ(s_inside, pixel_from_colour(VIEW_COLOUR));
    EXPECT_EQ(s_outside, pixel_from_colour(0x00FF00));
    // What was drawn under the view while it was open shows once it closes.
    EXPECT_NE(pixel_at(150, 100), before);
    EXPECT_EQ(pixel_at(150, 100), pixel_from_colour(0x00FF00));
    EXPECT_EQ(pixel_at(10, 10), pixel_from_colour(0x00FF00));
}

TEST_F(Modal, TheCloseRestoresThePictureUnderTheView) {
    fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x0000FF, 0x0000FF, 1);
    std::vector<uint32_t> before(g_picture.pixels,
                                 g_picture.pixels + PICTURE_WIDTH * PICTURE_HEIGHT);
    TestView test;
    ModalView view = view_of(test);
    static uint32_t s_inside = 0;
    view.mouse_move = [](void*, int, int) { s_inside = pixel_at(150, 100); };
    headless_queue_move(0, 0);
    headless_queue_stroke(VK_ENTER);
    modal_run(view);
    EXPECT_EQ(s_inside, pixel_from_colour(VIEW_COLOUR));
    std::vector<uint32_t> after(g_picture.pixels,
                                g_picture.pixels + PICTURE_WIDTH * PICTURE_HEIGHT);
    EXPECT_EQ(after, before);
}

TEST_F(Modal, NestedViewsEachKeepTheirOwnPicture) {
    fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x0000FF, 0x0000FF, 1);
    TestView outer;
    ModalView outer_view = view_of(outer);
    static uint32_t s_inner_shown = 0;
    outer_view.text = [](void*, const char*) {
        TestView inner;
        ModalView inner_view = view_of(inner);
        inner_view.x = 250; // overlapping the outer view's right part
        inner_view.draw = [](void*) {
            canvas_rect(modal_canvas(), 250, 50, 450, 150, 0xABCDEF, 0xABCDEF, 1);
        };
        inner_view.mouse_move = [](void*, int, int) {
            fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x00FF00, 0x00FF00, 1);
            s_inner_shown = pixel_at(260, 60);
        };
        modal_run(inner_view);
    };
    headless_queue_text("open the inner view");
    headless_queue_move(1, 1);       // the inner view's: everything painted green under both
    headless_queue_stroke(VK_ENTER); // closes the inner view
    headless_queue_stroke(VK_ENTER); // and the outer one
    modal_run(outer_view);
    EXPECT_EQ(s_inner_shown, pixel_from_colour(0xABCDEF));
    EXPECT_EQ(pixel_at(150, 100), pixel_from_colour(0x00FF00));
    EXPECT_EQ(pixel_at(400, 100), pixel_from_colour(0x00FF00));
    EXPECT_FALSE(modal_active());
}

TEST_F(Modal, CloseEndsTheViewAsCancelled) {
    TestView test;
    ModalView view = view_of(test);
    modal_post_close();
    headless_queue_stroke(VK_ENTER);
    modal_run(view);
    EXPECT_TRUE(test.cancelled);
    EXPECT_FALSE(test.done);
}

// A view opened on a thread other than the window's takes posted input only and runs the
// song's step between events.
std::atomic<int> g_steps{0};

TEST_F(Modal, OffTheWindowThreadTheViewTakesPostedInputAndKeepsPlaying) {
    static const WindowHandlers NO_HANDLERS = {};
    modal_attach(&NO_HANDLERS);
    g_steps = 0;
    g_modal_hooks.keep_playing = [] { g_steps++; };
    TestView test;
    ModalView view = view_of(test);
    headless_queue_stroke(VK_ENTER); // the window's own queue is not the view's
    std::thread frame([&view] { modal_run(view); });
    while (g_steps.load() < 5) {
        platform_sleep_ms(1);
    }
    EXPECT_TRUE(modal_active());
    modal_post_text("typed");
    modal_post_key(VK_ENTER, true);
    modal_post_key(VK_ENTER, false);
    frame.join();
    std::vector<std::string> expected = {"text typed", "key 13 down", "key 13 up"};
    EXPECT_EQ(test.seen, expected);
    EXPECT_TRUE(test.done);
    EXPECT_GE(g_steps.load(), 5);
    EXPECT_EQ(g_headless_window.queued.size(), 2u);
}

} // namespace
