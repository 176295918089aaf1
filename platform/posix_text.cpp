// Shift-JIS (code page 932) to and from UTF-8 through the C library's iconv.
#include "platform/posix_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

std::string sjis_text_to_utf8(const char* text) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return text;
    }
    char* in = const_cast<char*>(text);
    size_t in_left = strlen(text);
    char buffer[256];
    while (in_left > 0) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back('?');
            in++;
            in_left--;
        }
    }
    iconv_close(cd);
    return out;
}

bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out) {
    out.clear();
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    char* in = const_cast<char*>(utf8);
    size_t in_left = strlen(utf8);
    char buffer[256];
    bool whole = true;
    while (in_left > 0 && whole) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        whole = r != static_cast<size_t>(-1) || errno == E2BIG;
    }
    iconv_close(cd);
    if (!whole) {
        out.clear();
    }
    return whole;
}
