// Shift-JIS (code page 932) <-> UTF-8 through the C library's iconv, and paths shown as
// Shift-JIS.
#include "platform/posix_files.h"
#include "platform/text_convert.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr size_t NO_LIMIT = static_cast<size_t>(-1);

// Converts text[0..length) into out, never past `limit` bytes (whole characters only). An
// input that cannot be converted is counted; `placeholder` puts one '?' per byte of it,
// otherwise the rest of its UTF-8 sequence is skipped. Returns the count.
size_t convert(const char* to, const char* from, const char* text, size_t length, size_t limit,
               bool placeholder, std::string& out) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // Shown unchanged rather than not at all; a strict caller learns nothing was converted.
        out.assign(text, length < limit ? length : limit);
        return placeholder ? 0 : 1;
    }
    char* in = const_cast<char*>(text);
    size_t in_left = length;
    size_t failures = 0;
    while (in_left > 0 && out.size() < limit) {
        char buffer[256];
        size_t room = limit - out.size();
        char* o = buffer;
        size_t o_left = room < sizeof buffer ? room : sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            if (o == buffer) {
                break; // the next character does not fit what the limit leaves
            }
            continue;
        }
        // An invalid or cut sequence, or a character the target cannot hold.
        failures++;
        size_t skip = 1;
        if (placeholder) {
            if (out.size() >= limit) {
                break;
            }
            out.push_back('?');
        } else {
            // The whole character goes, not only its first byte.
            while (skip < in_left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) {
                skip++;
            }
        }
        in += skip;
        in_left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return failures;
}

} // namespace

std::string sjis_to_utf8(const char* text, size_t length) {
    std::string out;
    convert("UTF-8", "CP932", text, length, NO_LIMIT, true, out);
    return out;
}

std::string utf8_to_sjis(const char* utf8) {
    std::string out;
    convert("CP932", "UTF-8", utf8, strlen(utf8), NO_LIMIT, true, out);
    return out;
}

bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out) {
    return convert("CP932", "UTF-8", utf8, strlen(utf8), NO_LIMIT, false, out) == 0;
}

void posix_path_display_text(const char* path, char* out, size_t out_size) {
    if (out_size == 0) {
        return;
    }
    // Characters without a Shift-JIS form are approximated where the system knows how.
    std::string text;
    convert("CP932//TRANSLIT", "UTF-8", path, strlen(path), out_size - 1, true, text);
    memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
}
