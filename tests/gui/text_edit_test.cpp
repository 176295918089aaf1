// Editing Shift-JIS text by whole characters.
#include "gui/text_edit.h"

#include "common/text_sjis.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEdit, BoundariesFoundFromTheStart) {
    std::string text = utf8_to_sjis("表a"); // 0x95 0x5C 'a'
    EXPECT_EQ(text_edit_previous(text, 3), 2u);
    EXPECT_EQ(text_edit_previous(text, 2), 0u);
    EXPECT_EQ(text_edit_next(text, 0), 2u);
    EXPECT_EQ(text_edit_boundary(text, 1), 0u);
}

TEST(TextEdit, ALoneLeadByteAtTheEndIsOneCharacter) {
    std::string text = "a\x82";
    EXPECT_EQ(text_edit_next(text, 1), 2u);
    EXPECT_EQ(text_edit_previous(text, 2), 1u);
}

TEST(TextEdit, InsertStopsAtTheLimitOnACharacterBoundary) {
    TextEdit edit;
    edit.limit = 3;
    EXPECT_FALSE(text_edit_insert(edit, utf8_to_sjis("aあい")));
    EXPECT_EQ(edit.text, utf8_to_sjis("aあ"));
    EXPECT_EQ(edit.caret, 3u);
}

TEST(TextEdit, SetCutsToTheLimit) {
    TextEdit edit;
    edit.limit = 2;
    text_edit_set(edit, utf8_to_sjis("aあ"));
    EXPECT_EQ(edit.text, "a");
}

} // namespace
