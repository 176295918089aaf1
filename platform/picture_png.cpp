// Writes a pixel block as an 8-bit RGB PNG file through libpng.
#include "platform/picture.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports errors by longjmp back into this frame, so it holds nothing that needs a
// destructor: the caller owns the row buffer and the file.
bool write_rows(FILE* file, const uint32_t* pixels, int width, int height, png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const uint32_t* line = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; x++) {
            row[3 * x] = static_cast<png_byte>(line[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(line[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(line[x]);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool picture_write_png(const char* path, const uint32_t* pixels, int width, int height) {
    if (path == nullptr || pixels == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = write_rows(file, pixels, width, height, row.data());
    bool closed = fclose(file) == 0;
    return written && closed;
}
