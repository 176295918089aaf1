// The two bitmap fonts: glyph pixels, cell sizes, advances, clipping, broken Shift-JIS and
// coverage of the characters the program's texts use.
#include "sequencer/shell/font.h"

#include "common/text_sjis.h"
#include "platform/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

constexpr uint32_t INK = 0x00102030;
constexpr uint32_t PAPER = 0x00F0E0D0;
constexpr uint32_t UNTOUCHED = 0x00ABCDEF;

// A heap buffer of exactly the picture's size, so ASan sees any write past it.
std::vector<uint32_t> fresh_picture() {
    return std::vector<uint32_t>(PICTURE_WIDTH * PICTURE_HEIGHT, UNTOUCHED);
}

uint32_t pixel(const std::vector<uint32_t>& p, long long x, long long y) {
    return p[static_cast<size_t>(y * PICTURE_WIDTH + x)];
}

int draw(std::vector<uint32_t>& p, int x, int y, FontSize size, const std::string& text) {
    return font_draw_text(p.data(), x, y, size, text.data(), text.size(), INK, PAPER);
}

struct GlyphCase {
    const char* name;
    FontSize size;
    std::string text;
    std::vector<const char*> art; // '#' ink, '.' paper; its size is the cell's
};

// Glyph shapes read off the Shinonome fonts; the missing-glyph box is an outline one pixel
// inside the cell.
const GlyphCase GLYPH_CASES[] = {
    {"large A",
     FontSize::large,
     "A",
     {"........", "...#....", "...#....", "..#.#...", "..#.#...", "..#.#...", ".#...#..",
      ".#...#..", ".#...#..", ".#####..", "#.....#.", "#.....#.", "#.....#.", "#.....#.",
      "........", "........"}},
    {"small A",
     FontSize::small,
     "A",
     {"......", "..#...", "..#...", ".#.#..", ".#.#..", ".#.#..", "#####.", "#...#.", "#...#.",
      "#...#.", "......", "......"}},
    {"small katakana long vowel mark",
     FontSize::small,
     "\xB0",
     {"......", "......", "......", "......", "......", "#####.", "......", "......", "......",
      "......", "......", "......"}},
    {"large full-width blank", FontSize::large, "\x81\x40",
     std::vector<const char*>(16, "................")},
    {"small full-width blank", FontSize::small, "\x81\x40",
     std::vector<const char*>(12, "............")},
    {"large kanji one (\xE4\xB8\x80)",
     FontSize::large,
     "\x88\xEA",
     {"................", "................", "................", "................",
      "................", "................", "..............#.", ".###############",
      "................", "................", "................", "................",
      "................", "................", "................", "................"}},
    {"small kanji mouth (\xE5\x8F\xA3)",
     FontSize::small,
     "\x8C\xFB",
     {"............", "............", ".##########.", ".#........#.", ".#........#.",
      ".#........#.", ".#........#.", ".#........#.", ".#........#.", ".#........#.",
      ".##########.", ".#........#."}},
    {"large long vowel mark (trail below 0x7F)",
     FontSize::large,
     "\x81\x5B",
     {"................", "................", "................", "................",
      "................", "................", ".#..............", "..############..",
      "................", "................", "................", "................",
      "................", "................", "................", "................"}},
    {"small full-width equals (trail 0x80..0x9E)",
     FontSize::small,
     "\x81\x81",
     {"............", "............", "............", "............", ".#########..",
      "............", "............", ".#########..", "............", "............",
      "............", "............"}},
    {"small missing single byte",
     FontSize::small,
     "\x80",
     {"......", ".####.", ".#..#.", ".#..#.", ".#..#.", ".#..#.", ".#..#.", ".#..#.", ".#..#.",
      ".#..#.", ".####.", "......"}},
    {"large missing double byte (user-defined area)",
     FontSize::large,
     "\xF0\x40",
     {"................", ".##############.", ".#............#.", ".#............#.",
      ".#............#.", ".#............#.", ".#............#.", ".#............#.",
      ".#............#.", ".#............#.", ".#............#.", ".#............#.",
      ".#............#.", ".#............#.", ".##############.", "................"}},
    {"large lone lead byte", FontSize::large, "\x82", std::vector<const char*>(16, "........")},
};

// Each glyph is drawn exactly over its cell: the art inside, nothing touched around it.
TEST(FontTest, GlyphsFillExactlyTheirCell) {
    for (const GlyphCase& c : GLYPH_CASES) {
        SCOPED_TRACE(c.name);
        auto p = fresh_picture();
        const int x0 = 40;
        const int y0 = 30;
        const int width = static_cast<int>(strlen(c.art[0]));
        const int height = static_cast<int>(c.art.size());
        ASSERT_EQ(height, c.size == FontSize::large ? 16 : 12);
        EXPECT_EQ(draw(p, x0, y0, c.size, c.text), width);
        for (int y = y0 - 2; y < y0 + height + 2; ++y) {
            std::string row;
            for (int x = x0 - 2; x < x0 + width + 2; ++x) {
                const uint32_t v = pixel(p, x, y);
                row += v == INK ? '#' : v == PAPER ? '.' : v == UNTOUCHED ? ' ' : '?';
            }
            const bool in_cell = y >= y0 && y < y0 + height;
            const std::string expected =
                in_cell ? "  " + std::string(c.art[y - y0]) + "  " : std::string(width + 4, ' ');
            EXPECT_EQ(row, expected) << "row " << y - y0;
        }
    }
}

struct WidthCase {
    const char* name;
    std::string text;
    int large;
    int small;
};

const WidthCase WIDTH_CASES[] = {
    {"empty", "", 0, 0},
    {"ascii", "AB c", 32, 24},
    {"half-width katakana", "\xB1\xDF", 16, 12},
    {"double byte", "\x82\xA0\x88\x9F", 32, 24},
    {"mixed", "A\x82\xA0\x42", 32, 24}, // A, hiragana a, B
    {"lone lead byte at the end", "A\x82", 16, 12},
    {"lead byte before a non-trail byte", "\x82\x7F", 16, 12},
    {"lead byte before a control byte", "\x82\x0A", 16, 12},
    {"lead byte before a lead byte and its trail", "\x82\x82\xA0", 24, 18},
    {"embedded NUL is a character", std::string("A\0B", 3), 24, 18},
};

TEST(FontTest, AdvanceWidthsMatchDrawing) {
    for (const WidthCase& c : WIDTH_CASES) {
        SCOPED_TRACE(c.name);
        auto p = fresh_picture();
        EXPECT_EQ(font_text_width(FontSize::large, c.text.data(), c.text.size()), c.large);
        EXPECT_EQ(font_text_width(FontSize::small, c.text.data(), c.text.size()), c.small);
        EXPECT_EQ(draw(p, 0, 0, FontSize::large, c.text), c.large);
        EXPECT_EQ(draw(p, 0, 100, FontSize::small, c.text), c.small);
    }
    EXPECT_EQ(font_text_width(FontSize::large, nullptr, 0), 0);
    EXPECT_EQ(font_height(FontSize::large), 16);
    EXPECT_EQ(font_height(FontSize::small), 12);
}

// A bad trail byte is not swallowed: the lead byte gives a blank half cell and the next byte
// is drawn as itself.
TEST(FontTest, BrokenDoubleByteDrawsBlankThenTheNextByte) {
    auto broken = fresh_picture();
    auto alone = fresh_picture();
    EXPECT_EQ(draw(broken, 10, 10, FontSize::large, "\x82\x31"), 16); // '1' is no trail byte
    EXPECT_EQ(draw(alone, 18, 10, FontSize::large, "1"), 8);
    for (int y = 10; y < 26; ++y) {
        for (int x = 10; x < 18; ++x) {
            EXPECT_EQ(pixel(broken, x, y), PAPER) << x << "," << y;
        }
        for (int x = 18; x < 26; ++x) {
            EXPECT_EQ(pixel(broken, x, y), pixel(alone, x, y)) << x << "," << y;
        }
    }
}

// Drawing off the edges must show exactly the visible part of the same text drawn fully
// inside, touch nothing else and still report the full width.
TEST(FontTest, ClipsAtEveryEdgeAndFarOutside) {
    const std::string text = "A\x82\xA0|\xB1\x88\xEA\x82"; // mixed, ending on a lone lead byte
    const int ref_x = 200;
    const int ref_y = 200;
    // x, y pairs: just over each edge, on it, just past it, and far outside.
    // clang-format off
    const int places[] = {-3, 5, -20, 5, -1000, 5, PICTURE_WIDTH - 21, 5, PICTURE_WIDTH - 1, 5,
                          PICTURE_WIDTH, 5, 5, -7, 5, -15, 5, -16, 5, PICTURE_HEIGHT - 4,
                          5, PICTURE_HEIGHT - 1, 5, PICTURE_HEIGHT, -9, -9,
                          PICTURE_WIDTH - 9, PICTURE_HEIGHT - 9, INT_MIN, INT_MIN, INT_MAX, INT_MAX,
                          INT_MIN, 5, INT_MAX - 10, 5, 5, INT_MIN, 5, INT_MAX};
    // clang-format on
    for (FontSize size : {FontSize::large, FontSize::small}) {
        auto reference = fresh_picture();
        const int width = draw(reference, ref_x, ref_y, size, text);
        const int height = font_height(size);
        for (size_t i = 0; i < std::size(places); i += 2) {
            const int at[2] = {places[i], places[i + 1]};
            SCOPED_TRACE(testing::Message()
                         << "at " << at[0] << "," << at[1] << " height " << height);
            auto p = fresh_picture();
            EXPECT_EQ(draw(p, at[0], at[1], size, text), width);
            int wrong = 0;
            for (long long y = 0; y < PICTURE_HEIGHT; ++y) {
                for (long long x = 0; x < PICTURE_WIDTH; ++x) {
                    const long long dx = x - at[0];
                    const long long dy = y - at[1];
                    const bool covered = dx >= 0 && dx < width && dy >= 0 && dy < height;
                    const uint32_t expected =
                        covered ? pixel(reference, ref_x + dx, ref_y + dy) : UNTOUCHED;
                    wrong += pixel(p, x, y) != expected;
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

// Half-width codes a program text can hold: printable ASCII and half-width katakana.
TEST(FontTest, CoversAsciiAndHalfWidthKatakanaOnly) {
    for (FontSize size : {FontSize::large, FontSize::small}) {
        for (int code = 0; code < 256; ++code) {
            if (sjis_is_lead_byte(static_cast<uint8_t>(code))) {
                continue;
            }
            const char byte = static_cast<char>(code);
            const bool expected = (code >= 0x20 && code <= 0x7E) || (code >= 0xA1 && code <= 0xDF);
            EXPECT_EQ(font_covers(size, &byte, 1, nullptr), expected) << std::hex << code;
        }
    }
}

TEST(FontTest, CoverageReportsTheFirstCharacterWithoutGlyph) {
    struct Case {
        std::string text;
        bool covered;
        size_t offset;
    };
    const Case cases[] = {
        {"", true, 0},
        {"A\x82\xA0 \xB1", true, 0},
        {"\x82\xA0\x80\x82\xA2", false, 2}, // a byte with no glyph
        {"AB\x82", false, 2},               // lone lead byte at the end
        {"A\x82\x31", false, 1},            // lead byte with a bad trail
        {"A\x82\x41", false, 1},            // unassigned code in a JIS row
        {"\x82\xA0\x87\x40", false, 2},     // vendor row outside JIS X 0208
        {"\x82\xA0\xFC\xFC", false, 2},     // past the last JIS row
    };
    for (FontSize size : {FontSize::large, FontSize::small}) {
        for (const Case& c : cases) {
            size_t offset = 99;
            EXPECT_EQ(font_covers(size, c.text.data(), c.text.size(), &offset), c.covered)
                << c.text;
            EXPECT_EQ(offset, c.covered ? 99 : c.offset) << c.text;
            EXPECT_EQ(font_covers(size, c.text.data(), c.text.size(), nullptr), c.covered);
        }
    }
}

// Non-ASCII characters the program's texts use (menus, messages, questions, names).
const char* const TEXT_CHARACTERS[] = {
    "×←↑→↓─│┌┐└┘├┤┬┴┼▲▼♪♭　、。",
    "あいうえかがきこさしじすせただちってでとなにねのはへまみめゃやよらりるれわをん",
    "ァアィイウェエオカキクグケコゴサシジスズセソタダチッツテデトドネノバパピフブプヘベペボポ"
    "マミムメモャュユョラリルレロン・ー",
    "上不了任伴作保修優先入全内再出分初削前力動化去可各合同名回囲域報士変外多大奏好子字存定小常"
    "情意成拍指挿接換数文新早明易時更書最期未来検標正消源準演版生発的着知確示移程空節範簡終結続"
    "者能自色表設認説読調超込除離音鳴",
    "！＃＆－０１３４６８９？ＡＢＣＤＥＦＧＩＫＬＭＮＯＰＳＴＹａ",
};

TEST(FontTest, CoversEveryCharacterOfTheProgramsTexts) {
    for (const char* group : TEXT_CHARACTERS) {
        const std::string sjis = utf8_to_sjis(group);
        // Every character converts to one double-byte code (no '?' stand-ins).
        for (size_t i = 0; i < sjis.size(); i += 2) {
            ASSERT_TRUE(sjis_is_lead_byte(static_cast<uint8_t>(sjis[i]))) << group << " @" << i;
        }
        for (FontSize size : {FontSize::large, FontSize::small}) {
            size_t bad = 0;
            EXPECT_TRUE(font_covers(size, sjis.data(), sjis.size(), &bad))
                << sjis_to_utf8(sjis.substr(bad, 2));
        }
    }
}

// True when the JIS X 0208 code (row, cell) is an assigned character: strict EUC-JP holds
// exactly JIS X 0208 in its two-byte range, without the vendor rows of code page 932.
bool jis_assigned(iconv_t cd, int row, int cell) {
    char in[2] = {static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
    char out[8];
    char* in_p = in;
    char* out_p = out;
    size_t in_left = 2;
    size_t out_left = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return iconv(cd, &in_p, &in_left, &out_p, &out_left) != static_cast<size_t>(-1) && in_left == 0;
}

// Sweeps every JIS X 0208 code in its Shift-JIS form: only unassigned codes may lack glyphs.
TEST(FontTest, JisSweepLacksOnlyUnassignedCodes) {
    iconv_t cd = iconv_open("UTF-8", "EUC-JP");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (FontSize size : {FontSize::large, FontSize::small}) {
        int missing = 0;
        int assigned = 0;
        for (int row = 0x21; row <= 0x7E; ++row) {
            for (int cell = 0x21; cell <= 0x7E; ++cell) {
                // JIS to Shift-JIS: two rows per lead byte; odd rows take the low trail bytes.
                const int lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
                int trail = row % 2 == 1 ? cell + 0x1F : cell + 0x7E;
                if (row % 2 == 1 && trail >= 0x7F) {
                    ++trail;
                }
                const char sjis[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const bool has = font_covers(size, sjis, 2, nullptr);
                const bool is_assigned = jis_assigned(cd, row, cell);
                assigned += is_assigned;
                missing += !has;
                EXPECT_EQ(has, is_assigned) << std::hex << row << cell;
            }
        }
        EXPECT_EQ(assigned, 6879); // JIS X 0208:1990
        std::printf("%s font: %d of %d JIS X 0208 codes lack glyphs (all unassigned)\n",
                    size == FontSize::large ? "large" : "small", missing, 94 * 94);
    }
    iconv_close(cd);
}

} // namespace
