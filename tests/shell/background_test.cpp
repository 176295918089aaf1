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

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        pixels.assign(PICTURE_WIDTH * PICTURE_HEIGHT, 0x123456);
        background_default_paint(pixels.data());
    }
    uint32_t at(int x, int y) const { return pixels[y * PICTURE_WIDTH + x]; }
    // True when every pixel of the inclusive block is `pixel`.
    bool all(int x1, int y1, int x2, int y2, uint32_t pixel) const {
        for (int y = y1; y <= y2; y++) {
            for (int x = x1; x <= x2; x++) {
                if (at(x, y) != pixel) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << at(x, y);
                    return false;
                }
            }
        }
        return true;
    }
    std::vector<uint32_t> pixels;
};

// Raised frames: light top-left corner, dark other three corners' outer pixels, face inside.
TEST_F(BackgroundTest, TabsAndTransportButtonsAreRaisedOnTheirRectangles) {
    for (int n = 0; n < 6; n++) {
        SCOPED_TRACE(n);
        int left = 8 + 48 * n;
        for (int top : {297, 329}) {
            int bottom = top == 297 ? 326 : 358;
            EXPECT_EQ(at(left, top), LIGHT);
            EXPECT_EQ(at(left + 2, top + 2), LIGHT);
            EXPECT_EQ(at(left + 45, top), DARK);
            EXPECT_EQ(at(left, bottom), DARK);
            EXPECT_EQ(at(left + 45, bottom), DARK);
            EXPECT_EQ(at(left + 43, bottom - 2), DARK);
            EXPECT_EQ(at(left + 3, top + 3), BASE);   // face
            EXPECT_NE(at(left - 1, top + 10), LIGHT); // outside the frame
            EXPECT_NE(at(left + 46, top + 10), DARK);
        }
        EXPECT_TRUE(all(left + 3, 300, left + 42, 323, BASE)); // tab face left for its label
        EXPECT_NE(at(31 + 48 * n, 344), BASE);                 // transport symbol
    }
    EXPECT_EQ(at(31, 344), 0xC00000u); // the record dot
}

// A press flash pushes style 2 and the release style 0 on the flash rectangle: that must give
// back exactly the painted button.
TEST_F(BackgroundTest, PressAndReleaseFlashRestoresEveryButton) {
    std::vector<uint32_t> painted = pixels;
    Canvas canvas{pixels.data(), PICTURE_WIDTH, PICTURE_HEIGHT};
    for (int n = 0; n < 6; n++) {
        canvas_bevel(canvas, 8 + 48 * n, 329, 54 + 48 * n, 359, BEVEL_PRESSED);
        EXPECT_EQ(at(8 + 48 * n, 329), DARK);
        canvas_bevel(canvas, 8 + 48 * n, 329, 54 + 48 * n, 359, BEVEL_RAISED);
        canvas_bevel(canvas, 8 + 48 * n, 297, 54 + 48 * n, 327, BEVEL_PRESSED);
        canvas_bevel(canvas, 8 + 48 * n, 297, 54 + 48 * n, 327, BEVEL_RAISED);
    }
    canvas_bevel(canvas, 456, 394, 487, 426, BEVEL_PRESSED);
    canvas_bevel(canvas, 456, 394, 487, 426, BEVEL_RAISED);
    EXPECT_EQ(pixels, painted);
}

TEST_F(BackgroundTest, KeyboardKeysFollowTheClickAreas) {
    for (int k = 0; k < 14; k++) {
        SCOPED_TRACE(k);
        EXPECT_EQ(at(22 + 32 * k, 440), 0xFFFFFFu); // white key below y 406
        EXPECT_EQ(at(6 + 32 * k, 420), 0x606060u);  // separator on the key boundary
        EXPECT_EQ(at(7 + 32 * k, 420), 0xFFFFFFu);
    }
    EXPECT_EQ(at(454, 420), 0x606060u);
    EXPECT_EQ(at(22, 360), 0x606060u); // top edge
    EXPECT_EQ(at(22, 453), 0x606060u); // bottom edge
    // Black keys centred on the boundaries after white keys 0, 1, 3, 4, 5, 7, 8, 10, 11, 12.
    const bool black[14] = {1, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0};
    for (int k = 0; k < 14; k++) {
        SCOPED_TRACE(k);
        uint32_t expected = black[k] ? 0x202020u : 0xFFFFFFu;
        EXPECT_EQ(at(30 + 32 * k, 380), expected);
        EXPECT_EQ(at(37 + 32 * k, 405), expected);
        EXPECT_EQ(at(30 + 32 * k, 407), 0xFFFFFFu); // white below y 406
        EXPECT_EQ(at(27 + 32 * k, 380), 0xFFFFFFu);
    }
}

TEST_F(BackgroundTest, OctaveAndSliderButtons) {
    EXPECT_EQ(at(456, 394), LIGHT);
    EXPECT_EQ(at(486, 425), DARK);
    EXPECT_EQ(at(456, 426), LIGHT);
    EXPECT_EQ(at(486, 455), DARK);
    EXPECT_EQ(at(471, 405), 0x404040u); // up arrow tip
    EXPECT_EQ(at(471, 445), 0x404040u); // down arrow tip
    // Tempo down on cells 0 to 3, mode on 4 to 10, tempo up on 11 to 14.
    const int edges[][2] = {{496, 527}, {528, 583}, {584, 615}};
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge[0]);
        EXPECT_EQ(at(edge[0], 433), LIGHT);
        EXPECT_EQ(at(edge[1], 447), DARK);
        EXPECT_EQ(at(edge[1], 433), DARK);
    }
    EXPECT_TRUE(all(616, 433, 639, 447, BASE));
}

TEST_F(BackgroundTest, PanelsAreFramedOutsideTheAreasThatAreCleared) {
    EXPECT_TRUE(all(299, 59, 625, 354, BASE)); // right panel
    EXPECT_EQ(at(297, 57), DARK);
    EXPECT_EQ(at(298, 58), DARK);
    EXPECT_EQ(at(627, 356), LIGHT);
    EXPECT_TRUE(all(11, 80, 289, 291, BASE)); // menu column
    EXPECT_EQ(at(7, 76), DARK);
    EXPECT_EQ(at(293, 294), LIGHT);
    EXPECT_EQ(at(7, 200), DARK);
    EXPECT_EQ(at(293, 200), LIGHT);
}

// Large text starts one pixel left of its cell: each field's cells from x 8c - 1 stay plain.
TEST_F(BackgroundTest, TextFieldsArePlainBaseColourInsideSunkenWells) {
    struct Field {
        int col, row, cols;
    };
    const Field fields[] = {
        {16, 1, 6},  {47, 1, 2},  {50, 1, 3},  {61, 1, 18}, {3, 3, 34},  {43, 2, 3},  {47, 2, 2},
        {50, 2, 3},  {53, 2, 1},  {60, 2, 2},  {63, 2, 2},  {71, 2, 3},  {58, 23, 2}, {75, 23, 2},
        {73, 24, 1}, {75, 24, 2}, {73, 25, 1}, {75, 25, 2}, {74, 26, 3},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(testing::Message() << f.col << "," << f.row);
        EXPECT_TRUE(
            all(8 * f.col - 1, 16 * f.row, 8 * (f.col + f.cols) - 2, 16 * f.row + 15, BASE));
    }
    // Wells: dark above and left, light below and right.
    EXPECT_EQ(at(8 * 61, 15), DARK);
    EXPECT_EQ(at(8 * 3 - 2, 56), DARK);
    EXPECT_EQ(at(100, 64), LIGHT);
    EXPECT_EQ(at(8 * 60 - 1, 375), LIGHT);
    EXPECT_EQ(at(8 * 73 - 2, 400), DARK);
    EXPECT_EQ(at(600, 432), LIGHT);
    EXPECT_EQ(at(0, 0), BASE);
    EXPECT_EQ(at(639, 479), BASE);
}

} // namespace
