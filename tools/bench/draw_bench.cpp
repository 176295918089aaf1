// Drawing timings: the primitives on the shared picture, the built-in background, a full-
// screen copy and a 640 by 480 BMP decode. Prints figures; never a pass/fail test.
#include "platform/picture.h"
#include "sequencer/shell/background_default.h"
#include "sequencer/shell/bmp_file.h"
#include "sequencer/shell/draw.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_fill_rect_full_picture(benchmark::State& state) {
    draw_reset();
    for (auto _ : state) {
        fill_rect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 0x00C8D0D4, 0, 1);
    }
}
BENCHMARK(BM_fill_rect_full_picture);

// A clear of one text field as panels do it many times per redraw.
void BM_clear_text_field(benchmark::State& state) {
    draw_reset();
    for (auto _ : state) {
        clear_rect(343, 32, 367, 48);
    }
}
BENCHMARK(BM_clear_text_field);

void BM_bevel_button(benchmark::State& state) {
    draw_reset();
    for (auto _ : state) {
        bevel_frame(8, 329, 54, 359, 2);
    }
}
BENCHMARK(BM_bevel_button);

void BM_diagonal_wide_line(benchmark::State& state) {
    draw_reset();
    for (auto _ : state) {
        draw_line(0, 0, 639, 479, 0xFF, static_cast<int>(state.range(0)));
    }
}
BENCHMARK(BM_diagonal_wide_line)->Arg(1)->Arg(3);

void BM_background_paint(benchmark::State& state) {
    std::vector<uint32_t> pixels(PICTURE_WIDTH * PICTURE_HEIGHT);
    for (auto _ : state) {
        background_default_paint(pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_background_paint);

void BM_blit_full_picture(benchmark::State& state) {
    draw_reset();
    int slot = load_resource_picture(RESOURCE_BACKGROUND);
    for (auto _ : state) {
        blit(0, 0, slot, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
    }
    draw_reset();
}
BENCHMARK(BM_blit_full_picture);

// A 640 by 480 24-bit file, as a skin picture is.
void BM_bmp_decode_24bit_skin(benchmark::State& state) {
    const int width = PICTURE_WIDTH;
    const int height = PICTURE_HEIGHT;
    std::vector<uint8_t> file = {'B', 'M'};
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++) {
            file.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    size_t stride = width * 3;
    put32(static_cast<uint32_t>(54 + stride * height));
    put32(0);
    put32(54);
    put32(40);
    put32(width);
    put32(height);
    put32(1 | (24 << 16));
    for (int i = 0; i < 6; i++) {
        put32(0);
    }
    for (size_t i = 0; i < stride * height; i++) {
        file.push_back(static_cast<uint8_t>(i * 7));
    }
    BmpImage image;
    for (auto _ : state) {
        if (bmp_decode(file.data(), file.size(), image) != BmpResult::ok) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_bmp_decode_24bit_skin);

} // namespace

BENCHMARK_MAIN();
