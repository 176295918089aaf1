// Key edges, deadline slots, message boxes and questions, and the Shift-JIS text helpers.
#include "common/common_reset.h"
#include "common/deadline.h"
#include "common/key_edge.h"
#include "common/messages.h"
#include "common/profile.h"
#include "common/text_sjis.h"

#include "platform/headless/headless.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "メッセージ" in code page 932.
const std::string CAPTION_SJIS = "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57";

class UtilitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless_backend_reset();
        common_reset_all();
    }
    static void clock_at(uint32_t ms) {
        g_headless.clock_driven = true;
        g_headless.clock_ms = ms;
    }
    // Not passed at `due`, passed one millisecond later.
    static void expect_passes_just_after(int slot, uint32_t due) {
        clock_at(due);
        EXPECT_FALSE(deadline_passed(slot)) << due;
        clock_at(due + 1);
        EXPECT_TRUE(deadline_passed(slot)) << due + 1;
    }
    // Not reached one millisecond before `due`, reached at `due`.
    static void expect_reached_at(int slot, uint32_t due) {
        clock_at(due - 1);
        EXPECT_FALSE(deadline_reached(slot)) << due - 1;
        clock_at(due);
        EXPECT_TRUE(deadline_reached(slot)) << due;
    }
};

TEST_F(UtilitiesTest, KeyEdgeStepsThroughPressHoldRelease) {
    const int key = 0x11;
    int state = 0;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_UP);
    g_headless.keys_down[key] = true;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_PRESSED);
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_HELD);
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_HELD);
    g_headless.keys_down[key] = false;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_RELEASED);
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_UP);
}

TEST_F(UtilitiesTest, KeyEdgeShortTapsAndRepressAfterRelease) {
    const int key = 'A';
    int state = 0;
    g_headless.keys_down[key] = true;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_PRESSED);
    g_headless.keys_down[key] = false;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_RELEASED); // 1 -> 2 without passing through 3
    g_headless.keys_down[key] = true;
    key_edge_poll(key, state);
    EXPECT_EQ(state, KEY_PRESSED); // a new press right after the release
}

TEST_F(UtilitiesTest, KeyEdgeWatchesOnlyItsKey) {
    int state = 0;
    g_headless.keys_down[0x10] = true;
    key_edge_poll(0x11, state);
    EXPECT_EQ(state, KEY_UP);
    key_edge_poll(-1, state);
    EXPECT_EQ(state, KEY_UP);
    key_edge_poll(300, state);
    EXPECT_EQ(state, KEY_UP);
}

TEST_F(UtilitiesTest, DeadlineSlotsStartPassed) {
    clock_at(1);
    for (int slot = 0; slot < DEADLINE_SLOTS; slot++) {
        EXPECT_TRUE(deadline_passed(slot)) << slot;
    }
    // The comparison is strict: at tick 0 a slot holding 0 has not passed yet.
    clock_at(0);
    EXPECT_FALSE(deadline_passed(0));
}

TEST_F(UtilitiesTest, DeadlinePassesOnlyAfterItsTime) {
    clock_at(1000);
    deadline_set(1, 400);
    EXPECT_EQ(g_deadlines.at[1], 1400u);
    EXPECT_FALSE(deadline_passed(1));
    expect_passes_just_after(1, 1400);
    EXPECT_TRUE(deadline_passed(2)); // other slots untouched
}

TEST_F(UtilitiesTest, ExtendedDeadlineCountsFromTheLastDeadlineAndIsReachedOnTime) {
    clock_at(1000);
    deadline_set(1, 400);
    expect_reached_at(1, 1400);
    EXPECT_FALSE(deadline_passed(1));
    clock_at(1420); // noticed late: the next one is still due 500 after 1400
    deadline_extend(1, 500);
    EXPECT_EQ(g_deadlines.at[1], 1900u);
    expect_reached_at(1, 1900);
    deadline_extend(DEADLINE_SLOTS, 100); // ignored
    EXPECT_TRUE(deadline_reached(-1));
}

TEST_F(UtilitiesTest, ClearedDeadlineStoresItsFarValue) {
    clock_at(5000);
    deadline_clear(3);
    EXPECT_EQ(g_deadlines.at[3], 999999999u);
    EXPECT_FALSE(deadline_passed(3));
    expect_passes_just_after(3, 999999999);
}

TEST_F(UtilitiesTest, DeadlineResetMakesEverySlotPassedAgain) {
    clock_at(10);
    deadline_set(0, 100);
    deadline_clear(15);
    deadline_reset();
    EXPECT_TRUE(deadline_passed(0));
    EXPECT_TRUE(deadline_passed(15));
}

TEST_F(UtilitiesTest, DeadlineSlotsOutOfRangeAreIgnoredAndPassed) {
    clock_at(10);
    deadline_set(-1, 1000);
    deadline_set(DEADLINE_SLOTS, 1000);
    deadline_clear(DEADLINE_SLOTS + 100);
    EXPECT_TRUE(deadline_passed(-1));
    EXPECT_TRUE(deadline_passed(DEADLINE_SLOTS));
    for (int slot = 0; slot < DEADLINE_SLOTS; slot++) {
        EXPECT_EQ(g_deadlines.at[slot], 0u) << slot;
    }
}

TEST_F(UtilitiesTest, DeadlineSumWrapsWithTheTickCount) {
    clock_at(0xFFFFFF00u);
    deadline_set(4, 0x200);
    EXPECT_EQ(g_deadlines.at[4], 0x100u);
    EXPECT_TRUE(deadline_passed(4));
}

TEST_F(UtilitiesTest, ShowMessageFormatsAndAppendsCrLf) {
    show_message("%s has %d tracks", "song", 16);
    ASSERT_EQ(g_headless.messages.size(), 1u);
    EXPECT_EQ(g_headless.messages[0].text, "song has 16 tracks\r\n");
    EXPECT_EQ(g_headless.messages[0].caption, CAPTION_SJIS);
    EXPECT_EQ(g_headless.messages[0].caption, utf8_to_sjis("メッセージ"));
    EXPECT_EQ(g_headless.messages[0].icon, MessageIcon::exclamation);
    EXPECT_TRUE(g_headless.questions.empty());
}

TEST_F(UtilitiesTest, ShowMessageCutsLongTextToTheSequencerBuffer) {
    std::string long_text(600, 'a');
    show_message("%s", long_text.c_str());
    ASSERT_EQ(g_headless.messages.size(), 1u);
    // 516 bytes hold 513 characters, CR LF and the NUL.
    EXPECT_EQ(g_headless.messages[0].text, std::string(513, 'a') + "\r\n");
}

TEST_F(UtilitiesTest, ShowMessageUsesTheConverterBufferWhenSet) {
    g_message_boxes.buffer_size = MESSAGE_BUFFER_CONVERTER;
    show_message("%s", std::string(300, 'b').c_str());
    ASSERT_EQ(g_headless.messages.size(), 1u);
    EXPECT_EQ(g_headless.messages[0].text, std::string(253, 'b') + "\r\n");
}

TEST_F(UtilitiesTest, ShowMessageNeverSplitsADoubleByteCharacter) {
    g_message_boxes.buffer_size = MESSAGE_BUFFER_CONVERTER;
    std::string text;
    for (int i = 0; i < 200; i++) {
        text += "\x82\x9F"; // "ぁ": its second byte is in the lead-byte range
    }
    show_message("%s", text.c_str());
    ASSERT_EQ(g_headless.messages.size(), 1u);
    // 253 bytes would end on a lone lead byte; 252 are whole characters.
    EXPECT_EQ(g_headless.messages[0].text, text.substr(0, 252) + "\r\n");
    show_message("a%s", text.c_str());
    EXPECT_EQ(g_headless.messages[1].text, "a" + text.substr(0, 252) + "\r\n");
}

TEST_F(UtilitiesTest, ShowMessageOfEmptyTextShowsCrLf) {
    show_message("%s", "");
    ASSERT_EQ(g_headless.messages.size(), 1u);
    EXPECT_EQ(g_headless.messages[0].text, "\r\n");
}

TEST_F(UtilitiesTest, AskYesNoShowsQuestionAndReturnsTheAnswer) {
    g_headless.answers = {true, false};
    EXPECT_TRUE(ask_yes_no("Overwrite?"));
    EXPECT_FALSE(ask_yes_no("Really?"));
    g_headless.default_answer = false;
    EXPECT_FALSE(ask_yes_no("Default"));
    g_headless.default_answer = true;
    EXPECT_TRUE(ask_yes_no("Default"));
    ASSERT_EQ(g_headless.questions.size(), 4u);
    EXPECT_EQ(g_headless.questions[0].text, "Overwrite?\r\n");
    EXPECT_EQ(g_headless.questions[1].text, "Really?\r\n");
    EXPECT_EQ(g_headless.questions[0].caption, CAPTION_SJIS);
    EXPECT_EQ(g_headless.questions[0].icon, MessageIcon::question);
    EXPECT_TRUE(g_headless.messages.empty());
}

TEST_F(UtilitiesTest, AskYesNoCutsLongTextAndAcceptsNull) {
    std::string long_text(1000, 'q');
    ask_yes_no(long_text.c_str());
    ask_yes_no(nullptr);
    ASSERT_EQ(g_headless.questions.size(), 2u);
    EXPECT_EQ(g_headless.questions[0].text, std::string(513, 'q') + "\r\n");
    EXPECT_EQ(g_headless.questions[1].text, "\r\n");
}

TEST_F(UtilitiesTest, OverwriteQuestionKeepsItsJapaneseText) {
    std::string question =
        "song.mld" + utf8_to_sjis("\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？");
    g_headless.answers = {true};
    EXPECT_TRUE(ask_yes_no(question.c_str()));
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(g_headless.questions[0].text, question + "\r\n");
}

TEST_F(UtilitiesTest, LeadByteRanges) {
    EXPECT_FALSE(sjis_is_lead_byte(0x00));
    EXPECT_FALSE(sjis_is_lead_byte(0x41));
    EXPECT_FALSE(sjis_is_lead_byte(0x80));
    EXPECT_TRUE(sjis_is_lead_byte(0x81));
    EXPECT_TRUE(sjis_is_lead_byte(0x9F));
    EXPECT_FALSE(sjis_is_lead_byte(0xA0));
    EXPECT_FALSE(sjis_is_lead_byte(0xB1)); // half-width katakana
    EXPECT_FALSE(sjis_is_lead_byte(0xDF));
    EXPECT_TRUE(sjis_is_lead_byte(0xE0));
    EXPECT_TRUE(sjis_is_lead_byte(0xFC));
    EXPECT_FALSE(sjis_is_lead_byte(0xFD));
    EXPECT_FALSE(sjis_is_lead_byte(0xFF));
}

TEST_F(UtilitiesTest, CutLengthNeverSplitsACharacter) {
    const char* text = "a\x82\xA0"; // "aあ"
    EXPECT_EQ(sjis_cut_length(text, 3, 3), 3u);
    EXPECT_EQ(sjis_cut_length(text, 3, 2), 1u);
    EXPECT_EQ(sjis_cut_length(text, 3, 1), 1u);
    EXPECT_EQ(sjis_cut_length(text, 3, 0), 0u);
    EXPECT_EQ(sjis_cut_length(text, 3, 100), 3u);
}

TEST_F(UtilitiesTest, CutLengthReadsTrailBytesInTheLeadRangeAsTrailBytes) {
    // "ぁぁ" = 82 9F 82 9F: the 9F is a trail byte even though 9F can open a character.
    const char* text = "\x82\x9F\x82\x9F";
    EXPECT_EQ(sjis_cut_length(text, 4, 2), 2u);
    EXPECT_EQ(sjis_cut_length(text, 4, 3), 2u);
    EXPECT_EQ(sjis_cut_length(text, 4, 4), 4u);
    const char* mixed = "\x82\x9F"
                        "a"
                        "\x82\x9F";
    EXPECT_EQ(sjis_cut_length(mixed, 5, 3), 3u);
    EXPECT_EQ(sjis_cut_length(mixed, 5, 4), 3u);
    char out[8];
    EXPECT_EQ(sjis_copy_cut(out, text, 4, 3), 2u);
    EXPECT_STREQ(out, "\x82\x9F");
}

TEST_F(UtilitiesTest, CutLengthOfHalfWidthKatakanaIsOneBytePerCharacter) {
    const char* text = "\xB1\xB2\xB3"; // "ｱｲｳ"
    EXPECT_EQ(sjis_cut_length(text, 3, 2), 2u);
}

TEST_F(UtilitiesTest, Cp932AndUtf8RoundTrip) {
    const char* utf8 = "メッセージ ぁあ漢字 ｱｲｳ ① ～ ABC";
    std::string sjis = utf8_to_sjis(utf8);
    EXPECT_EQ(sjis_to_utf8(sjis), utf8);
    EXPECT_EQ(utf8_to_sjis("メッセージ"), CAPTION_SJIS);
    EXPECT_EQ(utf8_to_sjis("ｱ"), "\xB1");
    EXPECT_EQ(utf8_to_sjis("①"), "\x87\x40"); // NEC special character of code page 932
    EXPECT_EQ(utf8_to_sjis("～"), "\x81\x60");
    EXPECT_EQ(sjis_to_utf8("\x82\x9F", 2), "ぁ");
}

TEST_F(UtilitiesTest, UnconvertibleBytesBecomeQuestionMarks) {
    EXPECT_EQ(sjis_to_utf8("a\x82", 2), "a?");
    EXPECT_EQ(sjis_to_utf8(std::string("\x82\x9F") + "\x82"), "ぁ?");
}

} // namespace
