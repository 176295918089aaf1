// Pixel rules of the drawing calls: exclusive end points and edges, pen and border widths,
// colours, the four bevel styles and clipping of far-off coordinates.
#include "sequencer/shell/draw.h"

#include "platform/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace {

using Points = std::set<std::pair<int, int>>;

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        picture_reset();
        draw_reset();
    }
    static uint32_t at(int x, int y) { return g_picture.pixels[y * PICTURE_WIDTH + x]; }
    // Every pixel that is not black (the picture starts black).
    static Points drawn() {
        Points points;
        for (int i = 0; i < PICTURE_WIDTH * PICTURE_HEIGHT; i++) {
            if (g_picture.pixels[i] != 0) {
                points.insert({i % PICTURE_WIDTH, i / PICTURE_WIDTH});
            }
        }
        return points;
    }
    static size_t count_of(uint32_t pixel) {
        return std::count(std::begin(g_picture.pixels), std::end(g_picture.pixels), pixel);
    }
    static Points block(int x1, int y1, int x2, int y2) {
        Points points;
        for (int y = y1; y <= y2; y++) {
            for (int x = x1; x <= x2; x++) {
                points.insert({x, y});
            }
        }
        return points;
    }
};

const uint32_t RED = colour_rgb(255, 0, 0);
const uint32_t GREEN = colour_rgb(0, 255, 0);
const uint32_t BLUE = colour_rgb(0, 0, 255);
const uint32_t WHITE_PIXEL = 0xFFFFFF;
const uint32_t GREY_PIXEL = 0x7F7F7F;

TEST_F(DrawTest, LinesLeaveOutTheEndPointAndWidePensCoverASquareAlongThePath) {
    struct LineCase {
        const char* name;
        int x1, y1, x2, y2, width;
        Points expected;
    };
    const LineCase cases[] = {
        {"horizontal", 10, 20, 15, 20, 1, block(10, 20, 14, 20)},
        {"upward", 30, 5, 30, 1, 1, block(30, 2, 30, 5)},
        // y = x / 2: the half-way steps go away from the start.
        {"shallow", 0, 0, 4, 2, 1, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {"steep backwards", 2, 4, 0, 0, 1, {{2, 4}, {1, 3}, {1, 2}, {0, 1}}},
        {"a point", 7, 7, 7, 7, 1, {}},
        {"width 0 is one pixel", 1, 1, 3, 1, 0, {{1, 1}, {2, 1}}},
        {"width 2", 10, 50, 14, 50, 2, block(9, 49, 14, 50)},
        {"width 3", 10, 50, 14, 50, 3, block(9, 49, 15, 51)},
        {"width 3 dot", 5, 5, 5, 5, 3, block(4, 4, 6, 6)},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        picture_reset();
        draw_line(c.x1, c.y1, c.x2, c.y2, RED, c.width);
        EXPECT_EQ(drawn(), c.expected);
        EXPECT_EQ(count_of(0xFF0000), c.expected.size());
    }
}

TEST_F(DrawTest, RectangleCoversUpToButNotIncludingTheSecondCornerWithTheBorderInside) {
    fill_rect(20, 15, 10, 10, GREEN, BLUE, 1); // corners in either order
    EXPECT_EQ(drawn(), block(10, 10, 19, 14));
    EXPECT_EQ(count_of(0x0000FF), 26u);
    EXPECT_EQ(count_of(0x00FF00), 24u);
    EXPECT_EQ(at(19, 12), 0x0000FFu);
    EXPECT_EQ(at(15, 14), 0x0000FFu);
    EXPECT_EQ(at(18, 13), 0x00FF00u);

    picture_reset();
    fill_rect(0, 0, 10, 10, GREEN, BLUE, 2);
    EXPECT_EQ(count_of(0x00FF00), 36u); // 2..7 square
    EXPECT_EQ(at(8, 5), 0x0000FFu);
    fill_rect(0, 0, 6, 6, RED, BLUE, 3); // the border fills it all
    EXPECT_EQ(count_of(0xFF0000), 0u);
    fill_rect(5, 5, 5, 30, RED, RED, 1); // empty
    EXPECT_EQ(count_of(0xFF0000), 0u);

    clear_rect(30, 4, 33, 8);
    EXPECT_EQ(count_of(0xD4D0C8), 12u);
    g_draw.base_colour = colour_rgb(9, 8, 7);
    clear_rect(30, 4, 31, 5);
    EXPECT_EQ(at(30, 4), 0x090807u);
}

// A 10 by 10 frame at (10, 10): the rings' lines leave out their end points, so light and
// dark meet on the diagonals of the top-right and bottom-left corners.
TEST_F(DrawTest, RaisedBevelIsThreePixelsLightTopLeftDarkBottomRight) {
    bevel_frame(10, 10, 20, 20, 0);
    EXPECT_EQ(drawn().size(), 100u - 16u);
    const std::pair<std::pair<int, int>, uint32_t> expected[] = {
        {{10, 10}, WHITE_PIXEL}, {{19, 10}, GREY_PIXEL},  {{18, 10}, WHITE_PIXEL},
        {{18, 11}, GREY_PIXEL},  {{17, 11}, WHITE_PIXEL}, {{17, 12}, GREY_PIXEL},
        {{10, 19}, GREY_PIXEL},  {{10, 18}, WHITE_PIXEL}, {{11, 18}, GREY_PIXEL},
        {{12, 17}, GREY_PIXEL},  {{12, 16}, WHITE_PIXEL}, {{19, 19}, GREY_PIXEL},
    };
    for (const auto& [point, pixel] : expected) {
        EXPECT_EQ(at(point.first, point.second), pixel) << point.first << "," << point.second;
    }
}

TEST_F(DrawTest, SunkenStylesAndOthers) {
    bevel_frame(10, 10, 20, 20, 1);
    EXPECT_EQ(drawn().size(), 100u - 36u);
    EXPECT_EQ(at(11, 17), GREY_PIXEL);
    EXPECT_EQ(at(19, 19), WHITE_PIXEL);

    picture_reset();
    bevel_frame(10, 10, 20, 20, 2);
    EXPECT_EQ(drawn().size(), 100u - 16u);
    EXPECT_EQ(at(12, 12), GREY_PIXEL);
    EXPECT_EQ(at(19, 10), WHITE_PIXEL);

    fill_rect(10, 10, 20, 20, GREEN, GREEN, 1);
    bevel_frame(10, 10, 20, 20, 5);
    EXPECT_EQ(count_of(0), 640u * 480u - 16u);
}

TEST_F(DrawTest, PressingARaisedButtonLeavesItsFaceAlone) {
    const uint32_t face = colour_rgb(1, 2, 3);
    fill_rect(100, 100, 146, 130, face, face, 1);
    bevel_frame(100, 100, 146, 130, 2);
    std::vector<uint32_t> pressed_only(std::begin(g_picture.pixels), std::end(g_picture.pixels));
    fill_rect(100, 100, 146, 130, face, face, 1);
    bevel_frame(100, 100, 146, 130, 0);
    bevel_frame(100, 100, 146, 130, 2);
    EXPECT_TRUE(std::equal(pressed_only.begin(), pressed_only.end(), g_picture.pixels));
    EXPECT_EQ(count_of(0x010203), 40u * 24u);
}

TEST_F(DrawTest, FarOffCoordinatesAreClipped) {
    draw_line(INT_MIN, INT_MIN, INT_MAX, INT_MAX, RED, 1);
    EXPECT_EQ(count_of(0xFF0000), 480u);
    EXPECT_EQ(at(479, 479), 0xFF0000u);
    draw_line(-1000000, 500, 1000000, 5, GREEN, 1); // shallow: one pixel per column
    EXPECT_EQ(count_of(0x00FF00), 640u);

    picture_reset();
    draw_line(-2, 0, 2, 0, RED, 5);
    EXPECT_EQ(drawn(), block(0, 0, 4, 2));
    draw_line(320, 240, 320, 240, RED, INT_MAX);
    EXPECT_EQ(count_of(0xFF0000), 640u * 480u);
    fill_rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, GREEN, BLUE, 3);
    EXPECT_EQ(count_of(0x00FF00), 640u * 480u);

    picture_reset();
    fill_rect(-5, -5, 3, 3, RED, BLUE, 1);
    EXPECT_EQ(drawn(), block(0, 0, 2, 2));
    EXPECT_EQ(count_of(0x0000FF), 5u);
    fill_rect(630, 470, 700, 500, RED, BLUE, 1);
    EXPECT_EQ(at(630, 475), 0x0000FFu);
    EXPECT_EQ(at(639, 479), 0xFF0000u);

    picture_reset();
    bevel_frame(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0);
    bevel_frame(-3, -3, 2000, 2000, 0);
    EXPECT_TRUE(drawn().empty());
    uint32_t before = g_picture.version.load();
    clear_rect(0, 0, 5, 5);
    draw_line(0, 0, 5, 0, RED, 1);
    EXPECT_EQ(g_picture.version.load(), before + 2);
}

} // namespace
