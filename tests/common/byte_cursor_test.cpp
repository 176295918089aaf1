// The byte cursor: both byte orders, variable-length quantities and their limit, skips,
// seeks, sub-cursors and the overrun flag that stays set.
#include "common/byte_cursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ByteCursor over(const std::vector<uint8_t>& bytes) {
    return byte_cursor(bytes.data(), bytes.size());
}

TEST(ByteCursor, ReadsBothByteOrders) {
    std::vector<uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x01};
    ByteCursor big = over(bytes);
    EXPECT_EQ(cursor_u8(big), 0x12);
    EXPECT_EQ(cursor_be(big, 2), 0x3456u);
    EXPECT_EQ(cursor_be(big, 3), 0x789ABCu);
    EXPECT_EQ(big.pos, 6u);
    ByteCursor big32 = over(bytes);
    EXPECT_EQ(cursor_be(big32, 4), 0x12345678u);
    EXPECT_EQ(cursor_be(big32, 4), 0x9ABCDEF0u);

    ByteCursor little = over(bytes);
    EXPECT_EQ(cursor_le(little, 2), 0x3412u);
    EXPECT_EQ(cursor_le(little, 3), 0x9A7856u);
    EXPECT_EQ(cursor_le(little, 4), 0x01F0DEBCu);
    EXPECT_EQ(cursor_remaining(little), 0u);
    EXPECT_FALSE(little.overrun);
}

TEST(ByteCursor, AWidthOutsideOneToFourBytesIsAnOverrun) {
    std::vector<uint8_t> bytes(8, 0x11);
    for (int width : {0, 5, -1}) {
        ByteCursor cursor = over(bytes);
        EXPECT_EQ(cursor_be(cursor, width), 0u) << width;
        EXPECT_TRUE(cursor.overrun) << width;
        ByteCursor little = over(bytes);
        EXPECT_EQ(cursor_le(little, width), 0u) << width;
        EXPECT_TRUE(little.overrun) << width;
    }
}

TEST(ByteCursor, ReadsEndingExactlyAtTheEndDoNotOverrun) {
    std::vector<uint8_t> bytes = {1, 2, 3, 4};
    ByteCursor cursor = over(bytes);
    EXPECT_EQ(cursor_be(cursor, 4), 0x01020304u);
    EXPECT_FALSE(cursor.overrun);
    EXPECT_EQ(cursor_remaining(cursor), 0u);
    EXPECT_TRUE(cursor_has(cursor, 0));
    EXPECT_FALSE(cursor_has(cursor, 1));
}

TEST(ByteCursor, EmptyInputOverrunsOnTheFirstRead) {
    ByteCursor cursor = byte_cursor(nullptr, 0);
    EXPECT_EQ(cursor_remaining(cursor), 0u);
    EXPECT_FALSE(cursor.overrun);
    EXPECT_EQ(cursor_u8(cursor), 0);
    EXPECT_TRUE(cursor.overrun);

    std::vector<uint8_t> none;
    ByteCursor empty = over(none);
    uint32_t value = 99;
    EXPECT_FALSE(cursor_vlq(empty, value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(empty.overrun);
}

TEST(ByteCursor, AShortReadGivesZeroAndStandsAtTheEnd) {
    std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF};
    ByteCursor cursor = over(bytes);
    EXPECT_EQ(cursor_be(cursor, 4), 0u);
    EXPECT_TRUE(cursor.overrun);
    EXPECT_EQ(cursor.pos, bytes.size());
    EXPECT_EQ(cursor_remaining(cursor), 0u);
}

TEST(ByteCursor, OverrunIsStickyAcrossEveryKindOfRead) {
    std::vector<uint8_t> bytes = {0x10, 0x20, 0x30, 0x40};
    ByteCursor cursor = over(bytes);
    cursor_skip(cursor, 5);
    ASSERT_TRUE(cursor.overrun);
    // Going back does not make the data readable again.
    cursor_seek(cursor, 0);
    EXPECT_TRUE(cursor.overrun);
    EXPECT_EQ(cursor_u8(cursor), 0);
    EXPECT_EQ(cursor_be(cursor, 2), 0u);
    EXPECT_EQ(cursor_le(cursor, 4), 0u);
    uint32_t value = 7;
    EXPECT_FALSE(cursor_vlq(cursor, value));
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(cursor_take(cursor, 0), nullptr);
    EXPECT_FALSE(cursor_at_tag(cursor, "\x10", 1));
    EXPECT_EQ(cursor_remaining(cursor), 0u);
    ByteCursor sub = cursor_sub(cursor, 1);
    EXPECT_EQ(sub.size, 0u);
    EXPECT_TRUE(cursor.overrun);
}

TEST(ByteCursor, VariableLengthQuantitiesOfOneToFourBytes) {
    struct Case {
        std::vector<uint8_t> bytes;
        uint32_t value;
    };
    const Case cases[] = {
        {{0x00}, 0x00},
        {{0x7F}, 0x7F},
        {{0x81, 0x00}, 0x80},
        {{0xFF, 0x7F}, 0x3FFF},
        {{0x81, 0x80, 0x00}, 0x4000},
        {{0xFF, 0xFF, 0x7F}, 0x1FFFFF},
        {{0x81, 0x80, 0x80, 0x00}, 0x200000},
        {{0xFF, 0xFF, 0xFF, 0x7F}, 0x0FFFFFFF},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.bytes;
        bytes.push_back(0x55); // the byte after must stay unread
        ByteCursor cursor = over(bytes);
        uint32_t value = 0;
        ASSERT_TRUE(cursor_vlq(cursor, value)) << c.bytes.size() << " bytes";
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(cursor.pos, c.bytes.size());
        EXPECT_EQ(cursor_u8(cursor), 0x55);
        EXPECT_FALSE(cursor.overrun);
    }
}

TEST(ByteCursor, AFifthVariableLengthByteIsRejectedWithoutMoving) {
    std::vector<uint8_t> bytes = {0x81, 0x80, 0x80, 0x80, 0x00};
    ByteCursor cursor = over(bytes);
    uint32_t value = 1;
    EXPECT_FALSE(cursor_vlq(cursor, value));
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(cursor.pos, 0u);
    EXPECT_FALSE(cursor.overrun);
    EXPECT_EQ(cursor_u8(cursor), 0x81);
}

TEST(ByteCursor, AVariableLengthQuantityCutByTheEndOverruns) {
    std::vector<uint8_t> bytes = {0x05, 0x81, 0x80};
    ByteCursor cursor = over(bytes);
    cursor_skip(cursor, 1);
    uint32_t value = 1;
    EXPECT_FALSE(cursor_vlq(cursor, value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(cursor.overrun);
}

TEST(ByteCursor, SkipSeekAndTakeStayInsideTheWindow) {
    std::vector<uint8_t> bytes = {'M', 'T', 'r', 'k', 9, 8, 7};
    ByteCursor cursor = over(bytes);
    EXPECT_TRUE(cursor_at_tag(cursor, "MTrk", 4));
    EXPECT_FALSE(cursor_at_tag(cursor, "MThd", 4));
    EXPECT_EQ(cursor.pos, 0u);
    const uint8_t* tag = cursor_take(cursor, 4);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag, bytes.data());
    cursor_skip(cursor, 2);
    EXPECT_EQ(cursor_remaining(cursor), 1u);
    EXPECT_FALSE(cursor_at_tag(cursor, "\x07\x00", 2)); // longer than what is left
    cursor_seek(cursor, bytes.size());
    EXPECT_FALSE(cursor.overrun);
    cursor_seek(cursor, 1);
    EXPECT_EQ(cursor_u8(cursor), 'T');
    EXPECT_EQ(cursor_take(cursor, 6), nullptr);
    EXPECT_TRUE(cursor.overrun);

    ByteCursor far = over(bytes);
    cursor_seek(far, bytes.size() + 1);
    EXPECT_TRUE(far.overrun);
}

TEST(ByteCursor, ASubCursorCoversTheChunkBodyOnly) {
    std::vector<uint8_t> bytes = {3, 0xA1, 0xA2, 0xA3, 0xB1};
    ByteCursor cursor = over(bytes);
    size_t length = cursor_u8(cursor);
    ByteCursor body = cursor_sub(cursor, length);
    EXPECT_EQ(body.size, 3u);
    EXPECT_EQ(cursor_u8(cursor), 0xB1); // the parent moved past the body
    EXPECT_EQ(cursor_be(body, 3), 0xA1A2A3u);
    EXPECT_FALSE(body.overrun);
    // Reading past the body does not reach the byte after it.
    EXPECT_EQ(cursor_u8(body), 0);
    EXPECT_TRUE(body.overrun);
    EXPECT_FALSE(cursor.overrun);
}

TEST(ByteCursor, ASubCursorLongerThanTheRestTakesWhatIsThere) {
    std::vector<uint8_t> bytes = {0xC1, 0xC2, 0xC3};
    ByteCursor cursor = over(bytes);
    cursor_skip(cursor, 1);
    ByteCursor body = cursor_sub(cursor, 10);
    EXPECT_TRUE(cursor.overrun);
    EXPECT_EQ(body.size, 2u);
    EXPECT_FALSE(body.overrun);
    EXPECT_EQ(cursor_be(body, 2), 0xC2C3u);

    ByteCursor exact = over(bytes);
    ByteCursor all = cursor_sub(exact, 3);
    EXPECT_FALSE(exact.overrun);
    EXPECT_EQ(all.size, 3u);
    ByteCursor none = cursor_sub(exact, 0);
    EXPECT_EQ(none.size, 0u);
    EXPECT_FALSE(exact.overrun);
}

} // namespace
