// Base64 coding and the mail text put on the clipboard after an i-mode conversion.
#include "converter/mail_text.h"

#include "common/messages.h"
#include "common/text_sjis.h"
#include "platform/platform.h"

#include <cstring>

MailText g_mail_text;

namespace {

constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

uint8_t decode_char(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<uint8_t>(c - 'A');
    }
    if (c >= 'a' && c <= 'z') {
        return static_cast<uint8_t>(c - 'a' + 26);
    }
    if (c >= '0' && c <= '9') {
        return static_cast<uint8_t>(c - '0' + 52);
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    if (c != '=') {
        show_message("%s", utf8_to_sjis("不正な文字を検出しました").c_str());
    }
    return 0;
}

} // namespace

// Clears the counted text only: the record is a 400 KB buffer of which only `length` bytes
// are ever read, too large to build afresh on the stack.
void mail_text_reset() {
    g_mail_text.text[0] = '\0';
    g_mail_text.length = 0;
}

void base64_encode(const uint8_t* data, char* out, size_t length) {
    size_t o = 0;
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        out[o++] = ALPHABET[data[i] >> 2];
        out[o++] = ALPHABET[((data[i] & 3) << 4) | (data[i + 1] >> 4)];
        out[o++] = ALPHABET[((data[i + 1] & 15) << 2) | (data[i + 2] >> 6)];
        out[o++] = ALPHABET[data[i + 2] & 63];
    }
    if (length - i == 1) {
        out[o++] = ALPHABET[data[i] >> 2];
        out[o++] = ALPHABET[(data[i] & 3) << 4];
        out[o++] = '=';
        out[o++] = '=';
    } else if (length - i == 2) {
        out[o++] = ALPHABET[data[i] >> 2];
        out[o++] = ALPHABET[((data[i] & 3) << 4) | (data[i + 1] >> 4)];
        out[o++] = ALPHABET[(data[i + 1] & 15) << 2];
        out[o++] = '=';
    }
    out[o] = '\0';
}

int base64_decode_group(const char* in, uint8_t* out) {
    uint8_t c[4];
    for (int i = 0; i < 4; i++) {
        c[i] = decode_char(in[i]);
    }
    out[0] = static_cast<uint8_t>((c[0] << 2) + (c[1] >> 4));
    out[1] = static_cast<uint8_t>((c[1] << 4) + (c[2] >> 2));
    out[2] = static_cast<uint8_t>((c[2] << 6) + c[3]);
    if (in[2] == '=') {
        return 1;
    }
    return in[3] == '=' ? 2 : 3;
}

bool mail_text_build(const uint8_t* file, size_t length) {
    if ((length + 2) / 3 * 4 + 8 > MAIL_TEXT_SIZE) {
        mail_text_reset();
        return false;
    }
    memcpy(g_mail_text.text, "--B:M\r\n", 7);
    base64_encode(file, g_mail_text.text + 7, length);
    g_mail_text.length = 7 + (length + 2) / 3 * 4;
    return platform_clipboard_put_text(g_mail_text.text);
}
