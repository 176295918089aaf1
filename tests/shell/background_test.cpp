// The built-in background: the controls' frames sit exactly on the click areas and flash
// rectangles, and the text fields and cleared areas are plain base colour.
#include "sequencer/shell/background_default.h"

#include "platform/picture.h"
#include "sequencer/shell/canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t BASE = 0xD4D0C8;
constexpr uint32_t LIGHT = 0xFFFFFF;
constexpr uint32_t DARK = 0x7F7F7F;
constexpr uint32_t WHITE_KEY = 0xFFFFFF;
constexpr uint32_t BLACK_KEY = 0x202020;

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        pixels.assign(PICTURE_WIDTH * PICTURE_HEIGHT, 0x123456);
        background_default_paint(pixels.data());
    }
    uint32_t at(int x, int y) const { return pixels[y * PICTURE_WIDTH + x]; }
    // The first pixel of the inclusive block that is not `pixel`, as "x,y", or "".
    std::string first_other(int x1, int y1, int x2, int y2, uint32_t pixel) const {
        for (int y = y1; y <= y2; y++) {
            for (int x = x1; x <= x2; x++) {
                if (at(x, y) != pixel) {
                    return std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        return "";
    }
    // Raised 3-pixel frame on (x1, y1) to (x2, y2), right and bottom exclusive.
    void expect_raised(int x1, int y1, int x2, int y2) const {
        EXPECT_EQ(at(x1, y1), LIGHT);
        EXPECT_EQ(at(x1 + 2, y1 + 2), LIGHT);
        EXPECT_EQ(at(x2 - 1, y1), DARK);
        EXPECT_EQ(at(x1, y2 - 1), DARK);
        EXPECT_EQ(at(x2 - 3, y2 - 3), DARK);
        EXPECT_NE(at(x1 - 1, y1 + 10), LIGHT);
        EXPECT_NE(at(x2, y1 + 10), DARK);
    }
    std::vector<uint32_t> pixels;
};

TEST_F(BackgroundTest, TabsTransportOctaveAndSliderButtonsAreRaisedOnTheirRectangles) {
    for (int n = 0; n < 6; n++) {
        SCOPED_TRACE(n);
        expect_raised(8 + 48 * n, 297, 54 + 48 * n, 327);
        expect_raised(8 + 48 * n, 329, 54 + 48 * n, 359);
        // The tab face holds only its caption: nothing but base colour and caption ink.
        for (int y = 300; y <= 323; y++) {
            for (int x = 11 + 48 * n; x <= 50 + 48 * n; x++) {
                ASSERT_TRUE(at(x, y) == BASE || at(x, y) == 0x404040u) << x << "," << y;
            }
        }
        EXPECT_NE(first_other(11 + 48 * n, 300, 50 + 48 * n, 323, BASE), ""); // its caption
        EXPECT_NE(at(31 + 48 * n, 344), BASE);                                // symbol
    }
    EXPECT_EQ(at(31, 344), 0xC00000u); // the record dot
    expect_raised(456, 394, 487, 426);
    expect_raised(456, 426, 487, 456);
    EXPECT_EQ(at(471, 405), 0x404040u); // arrow tips
    EXPECT_EQ(at(471, 445), 0x404040u);
    // Tempo down on cells 0 to 3, mode on 4 to 10, tempo up on 11 to 14.
    EXPECT_EQ(at(496, 433), LIGHT);
    EXPECT_EQ(at(527, 447), DARK);
    EXPECT_EQ(at(528, 433), LIGHT);
    EXPECT_EQ(at(583, 447), DARK);
    EXPECT_EQ(at(584, 433), LIGHT);
    EXPECT_EQ(at(615, 433), DARK);
    EXPECT_EQ(first_other(616, 433, 639, 447, BASE), "");
}

// A press flash draws style 2 and the release style 0 on the flash rectangle: that must give
// back exactly the painted button.
TEST_F(BackgroundTest, PressAndReleaseFlashRestoresEveryButton) {
    std::vector<uint32_t> painted = pixels;
    Canvas canvas{pixels.data(), PICTURE_WIDTH, PICTURE_HEIGHT};
    for (int n = 0; n < 6; n++) {
        for (int top : {297, 329}) {
            canvas_bevel(canvas, 8 + 48 * n, top, 54 + 48 * n, top + 30, BEVEL_PRESSED);
            canvas_bevel(canvas, 8 + 48 * n, top, 54 + 48 * n, top + 30, BEVEL_RAISED);
        }
    }
    EXPECT_EQ(pixels, painted);
}

TEST_F(BackgroundTest, KeyboardKeysFollowTheClickAreas) {
    // Black keys centred on the boundaries after white keys 0, 1, 3, 4, 5, 7, 8, 10, 11, 12.
    const bool black[14] = {1, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0};
    for (int k = 0; k < 14; k++) {
        SCOPED_TRACE(k);
        EXPECT_EQ(at(22 + 32 * k, 440), WHITE_KEY);
        EXPECT_EQ(at(6 + 32 * k, 420), 0x606060u); // separator on the key boundary
        EXPECT_EQ(at(7 + 32 * k, 420), WHITE_KEY);
        uint32_t upper = black[k] ? BLACK_KEY : WHITE_KEY;
        EXPECT_EQ(at(30 + 32 * k, 380), upper);
        EXPECT_EQ(at(37 + 32 * k, 405), upper);
        EXPECT_EQ(at(30 + 32 * k, 406), WHITE_KEY);
        EXPECT_EQ(at(27 + 32 * k, 380), WHITE_KEY);
    }
    EXPECT_EQ(at(454, 420), 0x606060u);
    EXPECT_EQ(at(22, 453), 0x606060u);
}

TEST_F(BackgroundTest, PanelsAreFramedOutsideTheAreasThatAreCleared) {
    EXPECT_EQ(first_other(299, 59, 625, 354, BASE), ""); // right panel
    EXPECT_EQ(at(298, 58), DARK);
    EXPECT_EQ(at(627, 356), LIGHT);
    EXPECT_EQ(first_other(11, 80, 289, 291, BASE), ""); // menu column
    EXPECT_EQ(at(7, 76), DARK);
    EXPECT_EQ(at(293, 294), LIGHT);
}

// Large text starts one pixel left of its cell: each field's cells from x 8c - 1 stay plain.
TEST_F(BackgroundTest, TextFieldsArePlainBaseColourInsideSunkenWells) {
    const int fields[][3] = {
        {16, 1, 6},  {47, 1, 2},  {50, 1, 3},  {61, 1, 18}, {3, 3, 34},  {43, 2, 3},  {47, 2, 2},
        {50, 2, 3},  {53, 2, 1},  {60, 2, 2},  {63, 2, 2},  {71, 2, 3},  {58, 23, 2}, {75, 23, 2},
        {73, 24, 1}, {75, 24, 2}, {73, 25, 1}, {75, 25, 2}, {74, 26, 3},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(first_other(8 * f[0] - 1, 16 * f[1], 8 * (f[0] + f[2]) - 2, 16 * f[1] + 15, BASE),
                  "")
            << f[0] << "," << f[1];
    }
    EXPECT_EQ(at(8 * 61, 15), DARK); // wells: dark above and left, light below and right
    EXPECT_EQ(at(8 * 3 - 2, 56), DARK);
    EXPECT_EQ(at(100, 64), LIGHT);
    EXPECT_EQ(at(8 * 60 - 1, 375), LIGHT);
    EXPECT_EQ(at(600, 432), LIGHT);
    EXPECT_EQ(at(639, 479), BASE);
}

} // namespace
