// BMP decoding through the bounds-checked byte cursor: every header field, table entry and pixel
// row is read through it, and the sizes a header claims are checked against the buffer
// before anything is allocated.
#include "sequencer/shell/bmp_file.h"

#include "common/byte_cursor.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
// V5 is the largest header in use; anything claiming more is not a header.
constexpr uint32_t LARGEST_HEADER_SIZE = 124;

struct BmpHeader {
    int64_t width;
    int64_t height; // negative: rows stored top-down
    uint32_t planes;
    uint32_t bits;
    uint32_t compression;
    uint32_t colours_used;
    bool core; // 12-byte header: 3-byte colour entries
    uint32_t header_size;
    uint32_t pixel_offset;
};

BmpResult read_header(ByteCursor& cursor, BmpHeader& header) {
    cursor_seek(cursor, 10);
    header.pixel_offset = cursor_le(cursor, 4);
    header.header_size = cursor_le(cursor, 4);
    if (cursor.overrun) {
        return BmpResult::truncated;
    }
    if (header.header_size == CORE_HEADER_SIZE) {
        header.core = true;
        header.width = cursor_le(cursor, 2);
        header.height = cursor_le(cursor, 2);
        header.planes = cursor_le(cursor, 2);
        header.bits = cursor_le(cursor, 2);
        header.compression = BI_RGB;
        header.colours_used = 0;
    } else if (header.header_size >= INFO_HEADER_SIZE &&
               header.header_size <= LARGEST_HEADER_SIZE) {
        header.core = false;
        header.width = static_cast<int32_t>(cursor_le(cursor, 4));
        header.height = static_cast<int32_t>(cursor_le(cursor, 4));
        header.planes = cursor_le(cursor, 2);
        header.bits = cursor_le(cursor, 2);
        header.compression = cursor_le(cursor, 4);
        cursor_le(cursor, 4); // image size: often 0, recomputed from the dimensions
        cursor_le(cursor, 4); // horizontal resolution
        cursor_le(cursor, 4); // vertical resolution
        header.colours_used = cursor_le(cursor, 4);
        cursor_le(cursor, 4); // important colours
    } else {
        return BmpResult::bad_header;
    }
    // The rest of a larger header must be there too: the colour table follows it.
    cursor_seek(cursor, FILE_HEADER_SIZE + header.header_size);
    if (cursor.overrun) {
        return BmpResult::truncated;
    }
    if (header.planes != 1 || header.width <= 0 || header.height == 0) {
        return BmpResult::bad_header;
    }
    if (header.pixel_offset < FILE_HEADER_SIZE + header.header_size) {
        return BmpResult::bad_header;
    }
    return BmpResult::ok;
}

BmpResult check_format(const BmpHeader& header) {
    switch (header.bits) {
    case 1:
    case 4:
    case 8:
    case 24:
        break;
    case 16:
    case 32:
        if (header.core) {
            return BmpResult::unsupported;
        }
        break;
    default:
        return BmpResult::unsupported;
    }
    bool rle_ok = (header.compression == BI_RLE8 && header.bits == 8) ||
                  (header.compression == BI_RLE4 && header.bits == 4);
    if (header.compression != BI_RGB && !rle_ok) {
        return BmpResult::unsupported;
    }
    int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width > BMP_MAX_SIDE || rows > BMP_MAX_SIDE ||
        header.width * rows > BMP_MAX_PIXELS) {
        return BmpResult::unsupported;
    }
    return BmpResult::ok;
}

// Colour table entries as pixels; the table holds at most 2^bits entries.
BmpResult read_palette(ByteCursor& cursor, const BmpHeader& header, uint32_t* palette,
                       size_t& count) {
    count = 0;
    if (header.bits > 8) {
        return BmpResult::ok;
    }
    size_t limit = size_t{1} << header.bits;
    size_t entries =
        header.colours_used == 0 ? limit : std::min<size_t>(header.colours_used, limit);
    size_t entry_size = header.core ? 3 : 4;
    cursor_seek(cursor, FILE_HEADER_SIZE + header.header_size);
    const uint8_t* table = cursor_take(cursor, entries * entry_size);
    if (table == nullptr) {
        return BmpResult::truncated;
    }
    for (size_t i = 0; i < entries; i++) {
        const uint8_t* entry = table + i * entry_size;
        palette[i] = (uint32_t{entry[2]} << 16) | (uint32_t{entry[1]} << 8) | entry[0];
    }
    count = entries;
    return BmpResult::ok;
}

uint32_t palette_pixel(const uint32_t* palette, size_t count, uint32_t index) {
    return index < count ? palette[index] : 0;
}

// One stored row (bottom-up or top-down already resolved) into `out`.
void decode_row(const uint8_t* row, const BmpHeader& header, const uint32_t* palette,
                size_t palette_count, uint32_t* out) {
    int64_t width = header.width;
    for (int64_t x = 0; x < width; x++) {
        uint32_t pixel = 0;
        switch (header.bits) {
        case 1:
            pixel = palette_pixel(palette, palette_count, (row[x / 8] >> (7 - x % 8)) & 1);
            break;
        case 4:
            pixel = palette_pixel(palette, palette_count, (row[x / 2] >> (x % 2 ? 0 : 4)) & 15);
            break;
        case 8:
            pixel = palette_pixel(palette, palette_count, row[x]);
            break;
        case 16: {
            uint32_t v = row[2 * x] | (uint32_t{row[2 * x + 1]} << 8);
            uint32_t r = (v >> 10) & 31;
            uint32_t g = (v >> 5) & 31;
            uint32_t b = v & 31;
            pixel = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) |
                    ((b << 3) | (b >> 2));
            break;
        }
        case 24:
            pixel = (uint32_t{row[3 * x + 2]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
            break;
        default: // 32: blue, green, red and an unused byte
            pixel = (uint32_t{row[4 * x + 2]} << 16) | (uint32_t{row[4 * x + 1]} << 8) | row[4 * x];
            break;
        }
        out[x] = pixel;
    }
}

BmpResult decode_plain(ByteCursor& cursor, const BmpHeader& header, const uint32_t* palette,
                       size_t palette_count, BmpImage& image) {
    int64_t rows = image.height;
    size_t stride = static_cast<size_t>((header.width * header.bits + 31) / 32 * 4);
    size_t row_bytes = static_cast<size_t>((header.width * header.bits + 7) / 8);
    // The last stored row may lack its padding; some writers leave it off.
    size_t needed = stride * static_cast<size_t>(rows - 1) + row_bytes;
    cursor_seek(cursor, header.pixel_offset);
    const uint8_t* data = cursor_take(cursor, needed);
    if (data == nullptr) {
        return BmpResult::truncated;
    }
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    for (int64_t stored = 0; stored < rows; stored++) {
        int64_t y = header.height < 0 ? stored : rows - 1 - stored;
        decode_row(data + stored * stride, header, palette, palette_count,
                   image.pixels.data() + y * image.width);
    }
    return BmpResult::ok;
}

// Run-length pictures: pixels not reached by the runs stay index 0, as the window system
// leaves them; runs past the right edge are cut and moves past the picture end it.
BmpResult decode_rle(ByteCursor& cursor, const BmpHeader& header, const uint32_t* palette,
                     size_t palette_count, BmpImage& image) {
    if (header.height < 0) {
        return BmpResult::bad_header; // run-length pictures are always bottom-up
    }
    bool four = header.compression == BI_RLE4;
    int64_t width = image.width;
    int64_t rows = image.height;
    image.pixels.assign(static_cast<size_t>(width) * rows,
                        palette_pixel(palette, palette_count, 0));
    auto put = [&](int64_t x, int64_t stored_row, uint32_t index) {
        if (x < width && stored_row < rows) {
            image.pixels[(rows - 1 - stored_row) * width + x] =
                palette_pixel(palette, palette_count, index);
        }
    };
    cursor_seek(cursor, header.pixel_offset);
    int64_t x = 0;
    int64_t y = 0;
    while (y < rows) {
        uint32_t count = cursor_u8(cursor);
        uint32_t value = cursor_u8(cursor);
        if (cursor.overrun) {
            return BmpResult::truncated;
        }
        if (count > 0) {
            for (uint32_t i = 0; i < count; i++) {
                uint32_t index = four ? (i % 2 ? value & 15 : value >> 4) : value;
                put(x + i, y, index);
            }
            x += count;
        } else if (value == 0) { // end of line
            x = 0;
            y++;
        } else if (value == 1) { // end of picture
            return BmpResult::ok;
        } else if (value == 2) { // move right and up
            x += cursor_u8(cursor);
            y += cursor_u8(cursor);
        } else { // `value` literal pixels, padded to an even byte count
            size_t bytes = four ? (value + 1) / 2 : value;
            const uint8_t* literal = cursor_take(cursor, bytes + bytes % 2);
            if (literal == nullptr) {
                return BmpResult::truncated;
            }
            for (uint32_t i = 0; i < value; i++) {
                uint32_t index =
                    four ? (i % 2 ? literal[i / 2] & 15 : literal[i / 2] >> 4) : literal[i];
                put(x + i, y, index);
            }
            x += value;
        }
        if (cursor.overrun) {
            return BmpResult::truncated;
        }
    }
    return BmpResult::ok;
}

} // namespace

BmpResult bmp_decode(const uint8_t* data, size_t size, BmpImage& image) {
    image = BmpImage{};
    if (data == nullptr || size < 2 || data[0] != 'B' || data[1] != 'M') {
        return BmpResult::not_bmp;
    }
    ByteCursor cursor = byte_cursor(data, size);
    BmpHeader header{};
    BmpResult result = read_header(cursor, header);
    if (result == BmpResult::ok) {
        result = check_format(header);
    }
    uint32_t palette[256] = {};
    size_t palette_count = 0;
    if (result == BmpResult::ok) {
        result = read_palette(cursor, header, palette, palette_count);
    }
    if (result != BmpResult::ok) {
        return result;
    }
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height < 0 ? -header.height : header.height);
    if (header.compression == BI_RGB) {
        result = decode_plain(cursor, header, palette, palette_count, image);
    } else {
        result = decode_rle(cursor, header, palette, palette_count, image);
    }
    if (result != BmpResult::ok) {
        image = BmpImage{};
    }
    return result;
}

size_t bmp_info_copy(const uint8_t* data, size_t size, uint8_t* out) {
    memset(out, 0, BMP_INFO_COPY_SIZE);
    if (data == nullptr || size <= FILE_HEADER_SIZE) {
        return 0;
    }
    size_t count = std::min(size - FILE_HEADER_SIZE, BMP_INFO_COPY_SIZE);
    memcpy(out, data + FILE_HEADER_SIZE, count);
    return count;
}
