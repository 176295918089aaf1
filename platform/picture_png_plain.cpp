// Writes a pixel block as an 8-bit RGB PNG file with no library: the image data goes into
// uncompressed deflate blocks, which every PNG reader takes (for systems without libpng).
#include "platform/native_backend.h"
#include "platform/picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr size_t STORED_BLOCK_LIMIT = 65535;
constexpr uint8_t PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t COLOR_TYPE_RGB = 2;
constexpr uint8_t FILTER_NONE = 0;

uint32_t crc32_of(const uint8_t* bytes, size_t count) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; i++) {
        c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32_of(const std::vector<uint8_t>& bytes) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put_u32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_u32(out, crc32_of(out.data() + start, out.size() - start));
}

// A zlib stream of the bytes in stored (uncompressed) deflate blocks.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < STORED_BLOCK_LIMIT ? raw.size() - at : STORED_BLOCK_LIMIT;
        bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(at),
                   raw.begin() + static_cast<ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    put_u32(out, adler32_of(raw));
    return out;
}

} // namespace

bool picture_write_png(const char* path, const uint32_t* pixels, int width, int height) {
    if (path == nullptr || pixels == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + static_cast<size_t>(width) * 3));
    for (int y = 0; y < height; y++) {
        raw.push_back(FILTER_NONE);
        const uint32_t* line = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; x++) {
            raw.push_back(static_cast<uint8_t>(line[x] >> 16));
            raw.push_back(static_cast<uint8_t>(line[x] >> 8));
            raw.push_back(static_cast<uint8_t>(line[x]));
        }
    }
    std::vector<uint8_t> header;
    put_u32(header, static_cast<uint32_t>(width));
    put_u32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, COLOR_TYPE_RGB, 0, 0, 0});
    std::vector<uint8_t> file(std::begin(PNG_SIGNATURE), std::end(PNG_SIGNATURE));
    put_chunk(file, "IHDR", header);
    put_chunk(file, "IDAT", zlib_stored(raw));
    put_chunk(file, "IEND", {});

    PlatformFile* out = NATIVE_BACKEND_BASE.file_open(path, FileMode::write);
    if (out == nullptr) {
        return false;
    }
    bool written = NATIVE_BACKEND_BASE.file_write(out, file.data(), file.size()) == file.size();
    return NATIVE_BACKEND_BASE.file_close(out) && written;
}
