// The conversion forms shared by both systems, over each system's own sjis_to_utf8.
#include "platform/text_convert.h"

#include <cstring>

std::string sjis_to_utf8(const std::string& text) {
    return sjis_to_utf8(text.data(), text.size());
}

std::string sjis_to_utf8(const char* text) {
    return sjis_to_utf8(text, strlen(text));
}

std::string sjis_line_to_utf8(const char* text) {
    std::string out = sjis_to_utf8(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}
