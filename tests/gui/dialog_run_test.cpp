// The dialog runner on a small table: keyboard alone and mouse, typed text in Shift-JIS,
// refused characters, paste, limits, radio groups, check boxes and the end of input.
#include "gui/dialog_run.h"
#include "gui/modal.h"

#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/draw.h"
#include "tests/gui/gui_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

const DialogControl CONTROLS[] = {
    {ControlKind::static_text, CONTROL_NO_ID, "NAME", 10, 4, 60, 10, 0},
    {ControlKind::edit, 10, "", 10, 16, 100, 14, CONTROL_AUTO_SCROLL},
    {ControlKind::group_box, CONTROL_NO_ID, "pick", 6, 34, 150, 30, 0},
    {ControlKind::radio, 20, "one", 12, 46, 40, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 21, "two", 56, 46, 40, 10, 0},
    {ControlKind::radio, 22, "three", 100, 46, 50, 10, 0},
    {ControlKind::check_box, 30, "loud", 10, 70, 60, 10, 0},
    {ControlKind::button, 40, "MORE", 80, 68, 40, 14, CONTROL_ENDS},
    {ControlKind::button, CONTROL_OK, "OK", 10, 90, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, CONTROL_CANCEL, "CANCEL", 70, 90, 50, 14, CONTROL_ENDS},
};
const DialogTemplate TABLE = {900, "TEST",   170,
                              110, CONTROLS, static_cast<int>(std::size(CONTROLS))};

struct Result {
    std::vector<int> commands;
    std::string text;
    int radio = -1;
    bool check = false;
    std::string initial = "abc";
    size_t limit = 0;
};

Result g_result;

DialogBehaviour behaviour() {
    DialogBehaviour b;
    b.context = &g_result;
    b.init = [](void* c, DialogRun& run) {
        auto& r = *static_cast<Result*>(c);
        dialog_set_limit(run, 10, r.limit);
        dialog_set_text(run, 10, r.initial);
        dialog_select_radio(run, 20);
    };
    b.command = [](void* c, DialogRun& run, int id) {
        auto& r = *static_cast<Result*>(c);
        r.commands.push_back(id);
        if (id == CONTROL_OK) {
            r.text = dialog_get_text(run, 10, 127);
            r.radio = dialog_selected_radio(run, 21);
            r.check = dialog_get_check(run, 30);
        }
    };
    return b;
}

std::string sjis(const char* utf8) {
    return utf8_to_sjis(utf8);
}

// The centre of a control's rectangle, in picture pixels.
void click_control(int index) {
    PixelRect r = dialog_control_rect(TABLE, index);
    headless_queue_click((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
}

class DialogRunTest : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        g_result = Result{};
    }
    int run() {
        DialogBehaviour b = behaviour();
        return dialog_run(TABLE, b);
    }
    // ENTER closes the dialog with OK: the text the edit held then.
    std::string text_after_enter() {
        headless_queue_stroke(VK_ENTER);
        EXPECT_EQ(run(), CONTROL_OK);
        return g_result.text;
    }
};

TEST_F(DialogRunTest, KeyboardAloneFillsEveryControl) {
    headless_queue_text("de");       // the edit has the focus, caret at the end
    headless_queue_stroke(VK_TAB);   // to the selected radio button
    headless_queue_stroke(VK_DOWN);  // "two"
    headless_queue_stroke(VK_DOWN);  // "three"
    headless_queue_stroke(VK_TAB);   // the check box
    headless_queue_stroke(VK_SPACE); // checked
    headless_queue_stroke(VK_ENTER); // the default button
    EXPECT_EQ(run(), CONTROL_OK);
    EXPECT_EQ(g_result.text, "abcde");
    EXPECT_EQ(g_result.radio, 22);
    EXPECT_TRUE(g_result.check);
    std::vector<int> commands = {21, 22, 30, CONTROL_OK};
    EXPECT_EQ(g_result.commands, commands);
}

TEST_F(DialogRunTest, ShiftTabGoesBackAndSpacePressesTheFocusedButton) {
    headless_queue_key(VK_SHIFT, true);
    headless_queue_stroke(VK_TAB); // from the edit back to CANCEL
    headless_queue_stroke(VK_TAB); // OK
    headless_queue_stroke(VK_TAB); // MORE
    headless_queue_key(VK_SHIFT, false);
    headless_queue_stroke(VK_SPACE);
    EXPECT_EQ(run(), 40);
    std::vector<int> commands = {40};
    EXPECT_EQ(g_result.commands, commands);
}

TEST_F(DialogRunTest, EscIsCancel) {
    headless_queue_text("zzz");
    headless_queue_stroke(VK_ESC);
    EXPECT_EQ(run(), CONTROL_CANCEL);
    std::vector<int> commands = {CONTROL_CANCEL};
    EXPECT_EQ(g_result.commands, commands);
}

// Where id 2 is a command (melconv's store), pressing it keeps the dialog open, and Esc and
// the end of input close the dialog without pressing it.
TEST_F(DialogRunTest, WhereId2IsACommandEscClosesWithoutPressingIt) {
    DialogControl controls[std::size(CONTROLS)];
    std::copy(std::begin(CONTROLS), std::end(CONTROLS), controls);
    controls[9].flags = 0; // id 2 without the end flag
    DialogTemplate table = TABLE;
    table.controls = controls;
    table.flags = DIALOG_ID2_IS_COMMAND;
    click_control(9); // a command here: the dialog stays
    headless_queue_stroke(VK_ESC);
    DialogBehaviour b = behaviour();
    EXPECT_EQ(dialog_run(table, b), DIALOG_CLOSED);
    std::vector<int> commands = {CONTROL_CANCEL};
    EXPECT_EQ(g_result.commands, commands);
    g_result = Result{};
    EXPECT_EQ(dialog_run(table, b), DIALOG_CLOSED); // no input left
    EXPECT_TRUE(g_result.commands.empty());
}

TEST_F(DialogRunTest, AReadOnlyEditTakesNoTypingNorDeleting) {
    DialogControl controls[std::size(CONTROLS)];
    std::copy(std::begin(CONTROLS), std::end(CONTROLS), controls);
    controls[1].flags |= CONTROL_READ_ONLY;
    DialogTemplate table = TABLE;
    table.controls = controls;
    headless_queue_text("de");
    headless_queue_stroke(VK_BACKSPACE);
    headless_queue_stroke(VK_ENTER);
    DialogBehaviour b = behaviour();
    EXPECT_EQ(dialog_run(table, b), CONTROL_OK);
    EXPECT_EQ(g_result.text, "abc");
}

TEST_F(DialogRunTest, TheMouseWorksEveryControl) {
    click_control(4); // "two"
    click_control(6); // the check box
    click_control(6); // and off again
    click_control(5); // "three"
    click_control(8); // OK
    EXPECT_EQ(run(), CONTROL_OK);
    EXPECT_EQ(g_result.radio, 22);
    EXPECT_FALSE(g_result.check);
}

TEST_F(DialogRunTest, APressOutsideTheControlDoesNotPressIt) {
    PixelRect ok = dialog_control_rect(TABLE, 8);
    headless_queue_move(ok.x1 + 2, ok.y1 + 2);
    headless_queue_key(VK_ENTER, false); // the release of the key that opened the dialog
    HeadlessEvent release{HeadlessEventKind::button};
    g_headless_window.queued.push_back(release); // and of the button: no press here first
    headless_queue_move(ok.x1 + 2, ok.y1 + 2);
    HeadlessEvent press{HeadlessEventKind::button};
    press.down = true;
    g_headless_window.queued.push_back(press);
    headless_queue_move(0, 0);
    g_headless_window.queued.push_back(release);
    EXPECT_EQ(run(), CONTROL_CANCEL); // the input ended with nothing pressed
    EXPECT_TRUE(g_result.commands.empty());
}

TEST_F(DialogRunTest, TypedTextIsStoredAsShiftJis) {
    g_result.initial = "";
    headless_queue_text("あa");
    EXPECT_EQ(text_after_enter(), sjis("あa"));
}

TEST_F(DialogRunTest, ACharacterShiftJisCannotHoldIsRefusedWithAStatusText) {
    g_result.initial = "x";
    headless_queue_text("\xF0\x9F\x8E\xB5"); // a musical note emoji
    headless_queue_text("\xC3\xA9");         // e acute
    EXPECT_EQ(text_after_enter(), "x");
    ASSERT_EQ(g_headless.status_texts.size(), 2u);
    EXPECT_EQ(g_headless.status_texts[0], "That character cannot be entered");
}

TEST_F(DialogRunTest, BackspaceAndDeleteTakeWholeDoubleByteCharacters) {
    g_result.initial = sjis("aあ表b");   // 表 has a trail byte 0x5C, a backslash on its own
    headless_queue_stroke(VK_LEFT);      // before b
    headless_queue_stroke(VK_BACKSPACE); // 表 goes whole
    headless_queue_stroke(VK_LEFT);      // before あ
    headless_queue_stroke(VK_DELETE);    // あ goes whole
    EXPECT_EQ(text_after_enter(), "ab");
}

TEST_F(DialogRunTest, CaretMovesByCharacters) {
    g_result.initial = sjis("あい");
    headless_queue_stroke(VK_HOME);
    headless_queue_stroke(VK_RIGHT);
    headless_queue_text("x");
    EXPECT_EQ(text_after_enter(), sjis("あxい"));
}

TEST_F(DialogRunTest, CtrlVPastesTheFirstLineOfTheClipboard) {
    g_result.initial = "a";
    g_headless.clipboard = sjis("貼りtext\r\nsecond line");
    headless_queue_key(VK_CONTROL, true);
    headless_queue_stroke('V');
    headless_queue_key(VK_CONTROL, false);
    EXPECT_EQ(text_after_enter(), "a" + sjis("貼りtext"));
}

TEST_F(DialogRunTest, VWithoutCtrlDoesNotPaste) {
    g_result.initial = "a";
    g_headless.clipboard = "b";
    headless_queue_stroke('V');
    EXPECT_EQ(text_after_enter(), "a");
}

TEST_F(DialogRunTest, TheLimitKeepsWholeCharacters) {
    g_result.initial = "abc";
    g_result.limit = 6;
    headless_queue_text("dあい"); // room for d and あ, not for い
    EXPECT_EQ(text_after_enter(), "abcd" + sjis("あ"));
}

TEST_F(DialogRunTest, CompositionIsShownButNotStored) {
    g_result.initial = "a";
    headless_queue_composition("にほん", 3);
    EXPECT_EQ(text_after_enter(), "a");
}

TEST_F(DialogRunTest, ComposedTextArrivesAsTextWhenCommitted) {
    g_result.initial = "";
    headless_queue_composition("にほん", 3);
    headless_queue_text("日本");
    EXPECT_EQ(text_after_enter(), sjis("日本"));
}

TEST_F(DialogRunTest, TheInputMethodIsToldWhereTheCaretIs) {
    g_result.initial = "";
    headless_queue_text("abc");
    headless_queue_stroke(VK_ENTER);
    EXPECT_EQ(run(), CONTROL_OK);
    PixelRect edit = dialog_control_rect(TABLE, 1);
    EXPECT_EQ(g_headless_window.text_area_y, edit.y1);
    EXPECT_GT(g_headless_window.text_area_x, edit.x1 + 4); // after the three characters
    EXPECT_LT(g_headless_window.text_area_x, edit.x2);
}

TEST_F(DialogRunTest, TheEndOfInputIsCancel) {
    headless_queue_text("more");
    EXPECT_EQ(run(), CONTROL_CANCEL);
    EXPECT_TRUE(g_result.commands.empty());
}

TEST_F(DialogRunTest, ADialogFitsThePictureCentred) {
    const DialogTemplate* largest = dialog_template(115);
    ASSERT_NE(largest, nullptr);
    PixelRect frame = dialog_frame_rect(*largest);
    EXPECT_GE(frame.x1, 0);
    EXPECT_GE(frame.y1, 0);
    EXPECT_LE(frame.x2, PICTURE_WIDTH);
    EXPECT_LE(frame.y2, PICTURE_HEIGHT);
    EXPECT_EQ(frame.x1 + frame.x2, PICTURE_WIDTH - (PICTURE_WIDTH - frame.x2 - frame.x1) % 2);
}

} // namespace
