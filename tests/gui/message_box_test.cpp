// Message boxes and questions drawn in the picture: which answer each key gives, and that
// long and Japanese texts are taken without harm.
#include "gui/message_box.h"
#include "gui/modal.h"

#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/draw.h"
#include "tests/gui/gui_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using MessageBoxTest = GuiFixture;

TEST_F(MessageBoxTest, EnterAnswersYesEscAndTheEndOfInputAnswerNo) {
    headless_queue_stroke(VK_ENTER);
    EXPECT_TRUE(gui_ask_yes_no("CONFIRM", "Replace the file?"));
    headless_queue_stroke(VK_ESC);
    EXPECT_FALSE(gui_ask_yes_no("CONFIRM", "Replace the file?"));
    EXPECT_FALSE(gui_ask_yes_no("CONFIRM", "Replace the file?"));
    EXPECT_FALSE(modal_active());
}

TEST_F(MessageBoxTest, TheSecondButtonTakenByTabAnswersNo) {
    headless_queue_stroke(VK_TAB);
    headless_queue_stroke(VK_ENTER);
    EXPECT_FALSE(gui_ask_ok_cancel("CONFIRM", "Go on?"));
    headless_queue_stroke(VK_TAB);
    headless_queue_stroke(VK_TAB); // round to OK again
    headless_queue_stroke(VK_SPACE);
    EXPECT_TRUE(gui_ask_ok_cancel("CONFIRM", "Go on?"));
}

TEST_F(MessageBoxTest, AMessageEndsWithEnterAndPutsThePictureBack) {
    uint32_t before = g_picture.pixels[240 * PICTURE_WIDTH + 320];
    headless_queue_stroke(VK_ENTER);
    gui_message_box("INFO", "Saved.\r\n", MessageIcon::information);
    EXPECT_FALSE(modal_active());
    EXPECT_EQ(g_picture.pixels[240 * PICTURE_WIDTH + 320], before);
}

// A line far wider than the picture and a text of many lines are cut to what fits, on
// character boundaries, and the box still answers.
TEST_F(MessageBoxTest, LongAndJapaneseTextsFitAndTheBoxStillAnswers) {
    std::string wide;
    for (int i = 0; i < 200; i++) {
        wide += utf8_to_sjis("音");
    }
    std::string many;
    for (int i = 0; i < 60; i++) {
        many += "line\n";
    }
    headless_queue_stroke(VK_ENTER);
    EXPECT_TRUE(gui_ask_yes_no("CONFIRM", (wide + "\n" + many).c_str()));
    headless_queue_stroke(VK_ENTER);
    gui_message_box("", "", MessageIcon::exclamation);
    EXPECT_FALSE(modal_active());
}

} // namespace
