// Shift-JIS lead-byte rules, byte-limit cuts and CP932 <-> UTF-8 conversion through iconv.
#include "common/text_sjis.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

bool sjis_is_lead_byte(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t sjis_cut_length(const char* text, size_t length, size_t max_bytes) {
    size_t limit = length < max_bytes ? length : max_bytes;
    size_t i = 0;
    while (i < limit) {
        size_t width = sjis_is_lead_byte(static_cast<uint8_t>(text[i])) ? 2 : 1;
        if (i + width > limit) {
            break;
        }
        i += width;
    }
    return i;
}

size_t sjis_copy_cut(char* out, const char* text, size_t length, size_t max_bytes) {
    size_t n = sjis_cut_length(text, length, max_bytes);
    memcpy(out, text, n);
    out[n] = '\0';
    return n;
}

namespace {

std::string convert(const char* to, const char* from, const char* text, size_t length) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(text, length);
    }
    char* in = const_cast<char*>(text);
    size_t in_left = length;
    char buffer[256];
    while (in_left > 0) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or cut sequence: show one placeholder and go on after the byte.
            out.push_back('?');
            in++;
            in_left--;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string sjis_to_utf8(const char* text, size_t length) {
    return convert("UTF-8", "CP932", text, length);
}

std::string sjis_to_utf8(const std::string& text) {
    return sjis_to_utf8(text.data(), text.size());
}

std::string utf8_to_sjis(const char* text) {
    return convert("CP932", "UTF-8", text, strlen(text));
}
