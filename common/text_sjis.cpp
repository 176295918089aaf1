// Shift-JIS lead-byte rules and byte-limit cuts.
#include "common/text_sjis.h"

#include <cstring>

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
