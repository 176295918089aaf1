// Base64 of RFC 4648 both ways and the mail text put on the clipboard.
#include "converter/mail_text.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using MailText = ConverterFixture;

TEST_F(MailText, EncodesTheRfcTestVectors) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"", ""},
                          {"f", "Zg=="},
                          {"fo", "Zm8="},
                          {"foo", "Zm9v"},
                          {"foob", "Zm9vYg=="},
                          {"fooba", "Zm9vYmE="},
                          {"foobar", "Zm9vYmFy"}};
    for (const Case& c : cases) {
        char out[16];
        memset(out, 'x', sizeof out);
        base64_encode(reinterpret_cast<const uint8_t*>(c.in), out, strlen(c.in));
        EXPECT_STREQ(out, c.out) << c.in;
    }
    const uint8_t high[3] = {0xFB, 0xFF, 0xBF};
    char out[8];
    base64_encode(high, out, 3);
    EXPECT_STREQ(out, "+/+/");
}

TEST_F(MailText, DecodesGroupsAndCountsPadding) {
    struct Case {
        const char* in;
        int count;
        uint8_t bytes[3];
    };
    const Case cases[] = {{"Zm9v", 3, {'f', 'o', 'o'}},
                          {"Zm8=", 2, {'f', 'o', 0}},
                          {"Zg==", 1, {'f', 0, 0}},
                          {"+/+/", 3, {0xFB, 0xFF, 0xBF}}};
    for (const Case& c : cases) {
        uint8_t out[3] = {9, 9, 9};
        EXPECT_EQ(base64_decode_group(c.in, out), c.count) << c.in;
        for (int i = 0; i < c.count; i++) {
            EXPECT_EQ(out[i], c.bytes[i]) << c.in << " byte " << i;
        }
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(MailText, BadCharactersCountAsZeroAndAreReportedEachTime) {
    g_converter.ui_japanese = false;
    uint8_t out[3];
    EXPECT_EQ(base64_decode_group("*m**", out), 3);
    // '*' reads as 0: (0 << 2) + (38 >> 4), (38 << 4) + 0, 0.
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], static_cast<uint8_t>(38 << 4));
    EXPECT_EQ(out[2], 0);
    // Always in Japanese, once per bad character.
    EXPECT_EQ(messages(), std::vector<std::string>(3, "不正な文字を検出しました"));
}

TEST_F(MailText, MailTextHasHeaderAndOneLine) {
    const uint8_t file[5] = {'m', 'e', 'l', 'o', 0};
    EXPECT_TRUE(mail_text_build(file, 5));
    EXPECT_EQ(g_headless.clipboard, "--B:M\r\nbWVsbwA=");
    EXPECT_EQ(std::string(g_mail_text.text, g_mail_text.length), "--B:M\r\nbWVsbwA=");
}

TEST_F(MailText, NoClipboardKeepsTheTextForTheCommandLine) {
    g_headless.clipboard_available = false;
    const uint8_t file[3] = {1, 2, 3};
    EXPECT_FALSE(mail_text_build(file, 3));
    EXPECT_EQ(g_headless.clipboard_puts, 0);
    EXPECT_EQ(std::string(g_mail_text.text, g_mail_text.length), "--B:M\r\nAQID");
}

} // namespace
