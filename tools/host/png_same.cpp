// Compares the pixels of two PNG files (any colour type, as 8-bit RGB): exit status 0 when
// they are the same size and equal pixel for pixel, 1 when not (the first difference is
// printed), 2 when a file cannot be read.
#include "tests/support/png_read.h"

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: png_same A.png B.png\n");
        return 2;
    }
    std::vector<uint32_t> a;
    std::vector<uint32_t> b;
    int aw = 0, ah = 0, bw = 0, bh = 0;
    for (int i = 1; i <= 2; i++) {
        bool ok =
            i == 1 ? png_read_pixels(argv[1], a, aw, ah) : png_read_pixels(argv[2], b, bw, bh);
        if (!ok) {
            fprintf(stderr, "png_same: cannot read %s\n", argv[i]);
            return 2;
        }
    }
    if (aw != bw || ah != bh) {
        printf("sizes differ: %dx%d and %dx%d\n", aw, ah, bw, bh);
        return 1;
    }
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i] != b[i]) {
            printf("first difference at x %zu, y %zu: %06x and %06x\n", i % static_cast<size_t>(aw),
                   i / static_cast<size_t>(aw), a[i], b[i]);
            return 1;
        }
    }
    printf("same: %dx%d\n", aw, ah);
    return 0;
}
