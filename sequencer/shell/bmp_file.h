// Windows BMP files decoded from a byte buffer into 0x00RRGGBB pixels, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Graded so a caller can say what was wrong with a file.
enum class BmpResult {
    ok,
    not_bmp,     // does not start with "BM"
    truncated,   // a header, the colour table or the pixel rows run past the end
    unsupported, // a depth, compression or size this reader does not take
    bad_header,  // header values that cannot describe a picture
};

// Largest width and height taken; together with the pixel-count limit this bounds the
// allocation whatever a header claims.
constexpr int BMP_MAX_SIDE = 8192;
constexpr int64_t BMP_MAX_PIXELS = int64_t{4096} * 4096;
// Information header and a 256-entry colour table: what a caller may ask to keep a copy of.
constexpr size_t BMP_INFO_COPY_SIZE = 40 + 256 * 4;

struct BmpImage {
    std::vector<uint32_t> pixels; // width * height, top row first
    int width = 0;
    int height = 0;
};

// Decodes 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel, uncompressed, and 4- and 8-bit
// run-length pictures, with the 40-byte header (or a larger V4/V5 one) or the old 12-byte
// one; bottom-up or top-down. Colour indexes past the table give black. On failure the image
// is left empty.
BmpResult bmp_decode(const uint8_t* data, size_t size, BmpImage& image);

// Copies up to BMP_INFO_COPY_SIZE bytes from byte 14 on (the information header and the
// colour table) into out, zero-filling what the buffer does not hold; returns the bytes that
// came from the buffer.
size_t bmp_info_copy(const uint8_t* data, size_t size, uint8_t* out);
