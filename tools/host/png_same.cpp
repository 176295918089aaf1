// Compares the pixels of two PNG files (any colour type, as 8-bit RGB): exit status 0 when
// they are the same size and equal pixel for pixel, 1 when not (the first difference is
// printed), 2 when a file cannot be read.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool read_rgb(const char* path, std::vector<png_byte>& bytes, png_uint_32& width,
              png_uint_32& height) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    bytes.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = image.width;
    height = image.height;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: png_same A.png B.png\n");
        return 2;
    }
    std::vector<png_byte> a;
    std::vector<png_byte> b;
    png_uint_32 aw = 0, ah = 0, bw = 0, bh = 0;
    for (int i = 1; i <= 2; i++) {
        bool ok = i == 1 ? read_rgb(argv[1], a, aw, ah) : read_rgb(argv[2], b, bw, bh);
        if (!ok) {
            fprintf(stderr, "png_same: cannot read %s\n", argv[i]);
            return 2;
        }
    }
    if (aw != bw || ah != bh) {
        printf("sizes differ: %ux%u and %ux%u\n", aw, ah, bw, bh);
        return 1;
    }
    for (size_t i = 0; i < a.size(); i += 3) {
        if (memcmp(&a[i], &b[i], 3) != 0) {
            size_t pixel = i / 3;
            printf("first difference at x %zu, y %zu: %02x%02x%02x and %02x%02x%02x\n", pixel % aw,
                   pixel / aw, a[i], a[i + 1], a[i + 2], b[i], b[i + 1], b[i + 2]);
            return 1;
        }
    }
    printf("same: %ux%u\n", aw, ah);
    return 0;
}
