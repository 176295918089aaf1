// The BMP reader: every depth, both row orders, both header kinds, run-length pictures, and
// damaged files graded without reading past the buffer or allocating what a header claims.
#include "sequencer/shell/bmp_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) {
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

struct BmpLayout {
    int32_t width = 1;
    int32_t height = 1;
    uint32_t bits = 24;
    Bytes palette; // raw table bytes
    Bytes pixels;  // raw pixel data
    uint32_t compression = 0;
    uint32_t header_size = 40;
    uint32_t colours_used = 0;
    uint32_t planes = 1;
    int64_t offset = -1; // pixel data offset; -1: right after the table
};

// File header, information header (or the 12-byte one), colour table, pixel data.
Bytes bmp_bytes(const BmpLayout& s) {
    uint32_t offset = s.offset >= 0 ? static_cast<uint32_t>(s.offset)
                                    : static_cast<uint32_t>(14 + s.header_size + s.palette.size());
    Bytes b = {'B', 'M'};
    put(b, static_cast<uint32_t>(offset + s.pixels.size()), 4);
    put(b, 0, 4);
    put(b, offset, 4);
    put(b, s.header_size, 4);
    int field = s.header_size == 12 ? 2 : 4;
    put(b, static_cast<uint32_t>(s.width), field);
    put(b, static_cast<uint32_t>(s.height), field);
    put(b, s.planes, 2);
    put(b, s.bits, 2);
    if (s.header_size != 12) {
        for (uint32_t v : {s.compression, 0u, 2835u, 2835u, s.colours_used, 0u}) {
            put(b, v, 4);
        }
        b.resize(14 + s.header_size, 0);
    }
    b.insert(b.end(), s.palette.begin(), s.palette.end());
    b.resize(std::max<size_t>(b.size(), offset), 0);
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// Palette entries are blue, green, red, unused.
const Bytes TWO_COLOURS = {0, 0, 0, 0, 255, 255, 255, 0};
const Bytes THREE_COLOURS = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}; // red, green, blue

TEST(BmpFile, DecodesEachDepthAndRowOrder) {
    struct GoodCase {
        const char* name;
        BmpLayout layout;
        int width, height;
        std::vector<uint32_t> expected; // top row first
    };
    std::vector<GoodCase> cases = {
        {"1-bit bottom-up",
         {3, 2, 1, TWO_COLOURS, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}},
         3,
         2,
         {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}},
        {"4-bit, index past the table",
         {4, 1, 4, THREE_COLOURS, {0x12, 0x0F, 0, 0}, 0, 40, 3},
         4,
         1,
         {0x00FF00, 0x0000FF, 0xFF0000, 0x000000}},
        {"8-bit top-down",
         {2, -2, 8, {30, 20, 10, 0, 60, 50, 40, 0}, {1, 0, 0, 0, 0, 5, 0, 0}, 0, 40, 2},
         2,
         2,
         {0x28323C, 0x0A141E, 0x0A141E, 0x000000}},
        {"16-bit 5-5-5", {2, 1, 16, {}, {0x00, 0x7C, 0x21, 0x04}}, 2, 1, {0xFF0000, 0x080808}},
        {"24-bit bottom-up",
         {2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         2,
         2,
         {0x090807, 0x0C0B0A, 0x030201, 0x060504}},
        {"24-bit last row without padding", {1, 1, 24, {}, {1, 2, 3}}, 1, 1, {0x030201}},
        {"32-bit top-down",
         {1, -2, 32, {}, {1, 2, 3, 0xFF, 4, 5, 6, 0}},
         1,
         2,
         {0x030201, 0x060504}},
        {"12-byte header",
         {2, 1, 1, {0, 0, 255, 0, 255, 0}, {0x40, 0, 0, 0}, 0, 12},
         2,
         1,
         {0xFF0000, 0x00FF00}},
        {"V5 header", {1, 1, 24, {}, {9, 8, 7, 0}, 0, 124}, 1, 1, {0x070809}},
        // Run of 3, end of line, literal of 3 with its pad byte, end; unreached pixels are 0.
        {"RLE8",
         {4, 2, 8, THREE_COLOURS, {3, 1, 0, 0, 0, 3, 2, 0, 2, 0, 0, 1}, 1, 40, 3},
         4,
         2,
         {0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00, 0xFF0000}},
        // A run of 6 cut at the right edge, then a move up past the top ends the picture.
        {"RLE8 past the edges",
         {4, 2, 8, THREE_COLOURS, {6, 2, 0, 2, 0, 5}, 1, 40, 3},
         4,
         2,
         {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF}},
        {"RLE4",
         {4, 1, 4, THREE_COLOURS, {4, 0x12, 0, 1}, 2, 40, 3},
         4,
         1,
         {0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF}},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = bmp_bytes(c.layout);
        BmpImage image;
        ASSERT_EQ(bmp_decode(file.data(), file.size(), image), BmpResult::ok);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.pixels, c.expected);
    }
}

Bytes with(BmpLayout layout, void (*change)(BmpLayout&)) {
    change(layout);
    return bmp_bytes(layout);
}

TEST(BmpFile, DamagedFilesAreGradedAndLeaveNoImage) {
    const BmpLayout good{2, 2, 24, {}, Bytes(16, 0x55)};
    const Bytes good_file = bmp_bytes(good);
    auto cut = [](Bytes b, size_t size) {
        b.resize(size);
        return b;
    };
    auto patch = [&](size_t at, uint8_t value) {
        Bytes b = good_file;
        b[at] = value;
        return b;
    };
    struct BadCase {
        const char* name;
        Bytes file;
        BmpResult expected;
    };
    std::vector<BadCase> cases = {
        {"empty", {}, BmpResult::not_bmp},
        {"bad magic", patch(1, 'X'), BmpResult::not_bmp},
        {"file header cut", cut(good_file, 10), BmpResult::truncated},
        {"information header cut", cut(good_file, 30), BmpResult::truncated},
        {"rows cut", cut(good_file, good_file.size() - 5), BmpResult::truncated},
        {"colour table cut", cut(bmp_bytes({2, 1, 8, Bytes(1024, 0), {0, 0, 0, 0}}), 500),
         BmpResult::truncated},
        {"offset past the end", patch(13, 0x7F), BmpResult::truncated},
        {"offset inside the header", with(good, [](BmpLayout& s) { s.offset = 20; }),
         BmpResult::bad_header},
        {"header size 20", patch(14, 20), BmpResult::bad_header},
        {"header size huge", patch(17, 0xFF), BmpResult::bad_header},
        {"width negative", with(good, [](BmpLayout& s) { s.width = -2; }), BmpResult::bad_header},
        {"height 0", with(good, [](BmpLayout& s) { s.height = 0; }), BmpResult::bad_header},
        {"two planes", with(good, [](BmpLayout& s) { s.planes = 2; }), BmpResult::bad_header},
        {"2 bits", with(good, [](BmpLayout& s) { s.bits = 2; }), BmpResult::unsupported},
        {"bit fields", with(good, [](BmpLayout& s) { s.compression = 3; }), BmpResult::unsupported},
        {"too wide", with(good, [](BmpLayout& s) { s.width = 8193; }), BmpResult::unsupported},
        {"too many pixels", with(good, [](BmpLayout& s) { s.width = s.height = 8192; }),
         BmpResult::unsupported},
        {"height INT_MIN", with(good, [](BmpLayout& s) { s.height = INT_MIN; }),
         BmpResult::unsupported},
        {"claims 4096 by 4096", with(good, [](BmpLayout& s) { s.width = s.height = 4096; }),
         BmpResult::truncated},
        {"RLE8 without an end", bmp_bytes({4, 2, 8, THREE_COLOURS, {3, 1, 0, 0, 2}, 1, 40, 3}),
         BmpResult::truncated},
        {"RLE8 literal cut", bmp_bytes({4, 1, 8, THREE_COLOURS, {0, 4, 1, 1}, 1, 40, 3}),
         BmpResult::truncated},
        {"RLE8 top-down", bmp_bytes({4, -1, 8, THREE_COLOURS, {0, 1}, 1, 40, 3}),
         BmpResult::bad_header},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        BmpImage image;
        image.width = 5;
        image.pixels.assign(3, 1);
        EXPECT_EQ(bmp_decode(c.file.data(), c.file.size(), image), c.expected);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0);
    }
}

TEST(BmpFile, InformationCopyTakesWhatTheFileHoldsAndZeroFillsTheRest) {
    Bytes file = bmp_bytes({1, 1, 24, {}, {1, 2, 3, 0}});
    uint8_t copy[BMP_INFO_COPY_SIZE];
    memset(copy, 0xEE, sizeof copy);
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(bmp_info_copy(file.data(), file.size(), copy), 44u);
    EXPECT_EQ(memcmp(copy, file.data() + 14, 44), 0);
    EXPECT_EQ(copy[44], 0);
    Bytes big = bmp_bytes({2, 1, 8, Bytes(1024, 7), {0, 0, 0, 0}});
    EXPECT_EQ(bmp_info_copy(big.data(), big.size(), copy), BMP_INFO_COPY_SIZE);
    EXPECT_EQ(copy[BMP_INFO_COPY_SIZE - 1], 7);
}

} // namespace
