// Shift-JIS (code page 932) to UTF-8 through the C library's iconv.
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
