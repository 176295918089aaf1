// The picture table: slots from 2, a full table, release up to the first empty slot, file
// loads with their report, clipped copies, and PNG screenshots read back.
#include "sequencer/shell/background_default.h"
#include "sequencer/shell/draw.h"

#include "platform/headless/headless.h"
#include "platform/picture.h"
#include "tests/support/png_read.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

namespace {

class PictureTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_reset();
        picture_reset();
        draw_reset();
    }
    void TearDown() override { draw_reset(); }

    static uint32_t at(int x, int y) { return g_picture.pixels[y * PICTURE_WIDTH + x]; }
    static std::vector<uint32_t> snapshot() {
        return std::vector<uint32_t>(std::begin(g_picture.pixels), std::end(g_picture.pixels));
    }
    // Pixel (x, y) of the test pictures.
    static uint32_t source(int x, int y) { return 0x100u * y + x + 1; }
    static void put_test_picture(int slot, int width, int height) {
        DrawPicture& p = g_draw.slots[slot];
        p = DrawPicture{{}, width, height};
        for (int i = 0; i < width * height; i++) {
            p.pixels.push_back(source(i % width, i / width));
        }
    }
    static void fill_table() {
        for (int slot = DRAW_FIRST_SLOT; slot < DRAW_SLOT_COUNT; slot++) {
            put_test_picture(slot, 1, 1);
        }
    }
    TempDir dir;
};

TEST_F(PictureTableTest, ResourcePicturesGoToTheFirstEmptySlotFromTwo) {
    EXPECT_EQ(load_resource_picture(RESOURCE_BACKGROUND), 2);
    EXPECT_EQ(load_resource_picture(RESOURCE_BACKGROUND), 3);
    EXPECT_EQ(load_resource_picture(114), 0);
    EXPECT_TRUE(g_draw.slots[4].pixels.empty());
    free_slot(2);
    EXPECT_EQ(load_resource_picture(RESOURCE_BACKGROUND), 2);

    std::vector<uint32_t> painted(PICTURE_WIDTH * PICTURE_HEIGHT);
    background_default_paint(painted.data());
    blit(0, 0, 3, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
    EXPECT_EQ(snapshot(), painted);
}

TEST_F(PictureTableTest, FullTableGivesZeroAndReleaseStopsAtTheFirstEmptySlot) {
    fill_table();
    EXPECT_EQ(load_resource_picture(RESOURCE_BACKGROUND), 0);
    free_slot(500);
    EXPECT_EQ(load_resource_picture(RESOURCE_BACKGROUND), 500);
    free_slot(7);
    for (int outside : {0, 1, -1, DRAW_SLOT_COUNT}) {
        free_slot(outside);
    }
    picture_slots_release();
    for (int slot = DRAW_FIRST_SLOT; slot < DRAW_SLOT_COUNT; slot++) {
        EXPECT_EQ(g_draw.slots[slot].pixels.empty(), slot < 8) << slot;
    }
    fill_table(); // with no empty slot release ends at the last one
    picture_slots_release();
    EXPECT_TRUE(g_draw.slots[DRAW_SLOT_COUNT - 1].pixels.empty());
}

TEST_F(PictureTableTest, BlitIsClippedOnSourceAndDestination) {
    put_test_picture(2, 4, 3);
    struct Copy {
        int x, y, sx1, sy1, sx2, sy2;
        std::vector<std::pair<std::pair<int, int>, uint32_t>> expected; // picture point: pixel
        size_t changed;
    };
    const Copy copies[] = {
        {10, 10, 1, 1, 3, 3, {{{10, 10}, source(1, 1)}, {{11, 11}, source(2, 2)}}, 4},
        {0, 0, -1, -1, 2, 2, {{{1, 1}, source(0, 0)}, {{2, 2}, source(1, 1)}}, 4},
        {0, 0, 2, 0, 10, 1, {{{0, 0}, source(2, 0)}, {{1, 0}, source(3, 0)}}, 2},
        {638, 478, 0, 0, 4, 3, {{{638, 478}, source(0, 0)}, {{639, 479}, source(1, 1)}}, 4},
        {-2, -1, 0, 0, 4, 3, {{{0, 0}, source(2, 1)}, {{1, 1}, source(3, 2)}}, 4},
        {INT_MAX, INT_MIN, 0, 0, 4, 3, {}, 0},
        {0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX, {}, 0},
        {5, 5, 3, 0, 1, 2, {}, 0}, // negative width
    };
    for (const Copy& c : copies) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        picture_reset();
        blit(c.x, c.y, 2, c.sx1, c.sy1, c.sx2, c.sy2);
        for (const auto& [point, pixel] : c.expected) {
            EXPECT_EQ(at(point.first, point.second), pixel);
        }
        EXPECT_EQ(PICTURE_WIDTH * PICTURE_HEIGHT -
                      std::count(std::begin(g_picture.pixels), std::end(g_picture.pixels), 0u),
                  static_cast<long>(c.changed));
    }
    picture_reset();
    for (int slot : {0, 1, 3, -1, DRAW_SLOT_COUNT, INT_MAX}) {
        blit(0, 0, slot, 0, 0, 4, 3);
    }
    EXPECT_EQ(at(0, 0), 0u);
}

TEST_F(PictureTableTest, FileLoadsReportWhatTheyFound) {
    // 24-bit 2 by 1: blue then red.
    std::vector<unsigned char> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                      0,   0,   0,  2, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24, 0};
    bmp.resize(54, 0);
    bmp.insert(bmp.end(), {255, 0, 0, 0, 0, 255, 0, 0});
    write_file_bytes(dir.file("good.bmp"), bmp);
    PictureFileReport report;
    ASSERT_EQ(load_file_picture(dir.file("good.bmp").c_str(), &report), 2);
    EXPECT_TRUE(report.read);
    EXPECT_EQ(report.bmp, BmpResult::ok);
    EXPECT_EQ(report.info_size, 48u);
    EXPECT_EQ(report.info[4], 2); // width
    EXPECT_EQ(g_draw.slots[2].pixels, (std::vector<uint32_t>{0x0000FF, 0xFF0000}));

    bmp[0] = 'b';
    write_file_bytes(dir.file("bad.bmp"), bmp);
    EXPECT_EQ(load_file_picture(dir.file("bad.bmp").c_str(), &report), 0);
    EXPECT_TRUE(report.read);
    EXPECT_EQ(report.bmp, BmpResult::not_bmp);
    EXPECT_TRUE(g_draw.slots[3].pixels.empty());

    EXPECT_EQ(load_file_picture(dir.file("missing.bmp").c_str(), &report), 0);
    EXPECT_FALSE(report.read);
    EXPECT_EQ(load_file_picture(nullptr), 0);
}

TEST_F(PictureTableTest, PngScreenshotReadsBackPixelForPixel) {
    for (uint32_t i = 0; i < PICTURE_WIDTH * PICTURE_HEIGHT; i++) {
        uint32_t x = i % PICTURE_WIDTH;
        uint32_t y = i / PICTURE_WIDTH;
        g_picture.pixels[i] = (x & 0xFF) << 16 | (y & 0xFF) << 8 | (x + y) % 251;
    }
    std::string path = dir.file("shot.png");
    ASSERT_TRUE(picture_write_png(path.c_str(), g_picture.pixels, PICTURE_WIDTH, PICTURE_HEIGHT));
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(png_read_pixels(path.c_str(), pixels, width, height));
    EXPECT_EQ(width, PICTURE_WIDTH);
    EXPECT_EQ(height, PICTURE_HEIGHT);
    EXPECT_EQ(pixels, snapshot());
    EXPECT_EQ(pixels[1 * PICTURE_WIDTH + 300], 0x2C0132u); // 300 & 0xFF, 1, 301 % 251

    EXPECT_FALSE(picture_write_png(dir.file("no/dir.png").c_str(), g_picture.pixels, 4, 4));
    EXPECT_FALSE(picture_write_png(path.c_str(), g_picture.pixels, 0, 4));
    write_file_bytes(dir.file("not.png"), {'B', 'M', 0, 0});
    EXPECT_FALSE(png_read_pixels(dir.file("not.png").c_str(), pixels, width, height));
}

// The frame routine and the timer's refresher draw from two threads; every call holds the
// picture lock, so the regions only one of them draws end as its last call left them, and
// TSan sees no race where both draw.
TEST_F(PictureTableTest, TwoThreadsDrawingAtOnceEachKeepTheirLastPicture) {
    put_test_picture(2, 4, 3);
    std::thread refresher([] {
        for (int i = 0; i < 2000; i++) {
            bevel_frame(100, 100, 146, 130, i % 2 == 0 ? 2 : 0);
            blit(300, 300, 2, 0, 0, 4, 3);
            blit(0, 200, 2, 0, 0, 4, 3); // over the line below
        }
    });
    for (int i = 0; i < 2000; i++) {
        fill_rect(0, 0, 50, 50, colour_rgb(0, 0, i % 256), 0, 1);
        draw_line(0, 60, 50, 60, colour_rgb(i % 256, 0, 0), 1);
        draw_line(0, 201, 8, 201, 0xFF, 1);
    }
    refresher.join();
    EXPECT_EQ(at(20, 20), 0x0000CFu); // 1999 % 256 = 207
    EXPECT_EQ(at(49, 60), 0xCF0000u);
    EXPECT_EQ(at(100, 100), 0xFFFFFFu); // last frame raised
    EXPECT_EQ(at(303, 302), source(3, 2));
}

} // namespace
