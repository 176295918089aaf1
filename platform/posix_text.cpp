// Shift-JIS (code page 932) to and from UTF-8 through the C library's iconv.
#include "platform/posix_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// Converts the whole text; a byte that cannot be converted becomes '?' (lenient) or ends the
// conversion with false (strict). False too when iconv knows neither encoding.
bool convert(const char* to, const char* from, const char* text, bool strict, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    char* in = const_cast<char*>(text);
    size_t in_left = strlen(text);
    char buffer[256];
    bool whole = true;
    while (in_left > 0 && whole) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            whole = !strict;
            if (!strict) {
                out.push_back('?');
                in++;
                in_left--;
            }
        }
    }
    iconv_close(cd);
    return whole;
}

} // namespace

std::string sjis_text_to_utf8(const char* text) {
    std::string out;
    if (!convert("UTF-8", "CP932", text, false, out)) {
        return text;
    }
    return out;
}

bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out) {
    out.clear();
    if (!convert("CP932", "UTF-8", utf8, true, out)) {
        out.clear();
        return false;
    }
    return true;
}
