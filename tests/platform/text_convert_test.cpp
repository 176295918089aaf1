// Shift-JIS <-> UTF-8: the strict conversion that reports what Shift-JIS cannot hold, the
// lossy ones beside it, and paths cut to whole characters.
#include "platform/platform.h"
#include "platform/text_convert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "日本" in code page 932.
const std::string NIHON_SJIS = "\x93\xfa\x96\x7b";

TEST(TextConvert, StrictConversionOfConvertibleTextMatchesTheLossyOne) {
    std::string out = "old";
    EXPECT_TRUE(platform_utf8_to_sjis_strict("日本 ABC ｱ ①", out));
    EXPECT_EQ(out, utf8_to_sjis("日本 ABC ｱ ①"));
    EXPECT_TRUE(platform_utf8_to_sjis_strict("", out));
    EXPECT_EQ(out, "");
}

TEST(TextConvert, StrictConversionReportsCharactersShiftJisCannotHold) {
    std::string out;
    // é and the emoji have no code page 932 form: they are left out whole, not replaced.
    EXPECT_FALSE(platform_utf8_to_sjis_strict("a\xc3\xa9"
                                              "b",
                                              out));
    EXPECT_EQ(out, "ab");
    EXPECT_FALSE(platform_utf8_to_sjis_strict("日\xf0\x9f\x98\x80本", out));
    EXPECT_EQ(out, NIHON_SJIS);
    // The lossy conversion keeps a mark for every byte instead.
    EXPECT_EQ(utf8_to_sjis("a\xc3\xa9"
                           "b"),
              "a??b");
}

TEST(TextConvert, StrictConversionRejectsTextThatIsNotUtf8) {
    std::string out;
    EXPECT_FALSE(platform_utf8_to_sjis_strict("a\xff"
                                              "b",
                                              out));
    EXPECT_EQ(out, "ab");
    EXPECT_FALSE(platform_utf8_to_sjis_strict("ab\xe6\x97", out)); // cut at the end
    EXPECT_EQ(out, "ab");
}

TEST(TextConvert, NulTerminatedShiftJisReadsLikeTheCountedForm) {
    EXPECT_EQ(sjis_to_utf8(NIHON_SJIS.c_str()), "日本");
    EXPECT_EQ(sjis_to_utf8("a\x82"), sjis_to_utf8("a\x82", 2));
}

TEST(TextConvert, PathsAreCutBetweenCharacters) {
    ASSERT_TRUE(platform_select("headless"));
    char out[8];
    // Room for three bytes: the second double-byte character does not fit whole.
    platform_path_display_text("日本", out, 4);
    EXPECT_STREQ(out, "\x93\xfa");
    platform_path_display_text("日本", out, 5);
    EXPECT_EQ(std::string(out), NIHON_SJIS);
    platform_path_display_text("a\xff", out, 2);
    EXPECT_STREQ(out, "a");
}

} // namespace
