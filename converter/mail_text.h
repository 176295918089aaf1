// Base64 of RFC 4648 and the mail text ("--B:M", CR LF, the Base64 of the whole ringtone).
#pragma once

#include "converter/ringtone_io.h"

#include <cstddef>
#include <cstdint>

constexpr size_t MAIL_TEXT_SIZE = 7 + (RINGTONE_CAPACITY + 2) / 3 * 4 + 1;

// The last mail text built; single-threaded.
struct MailText {
    char text[MAIL_TEXT_SIZE] = {};
    size_t length = 0; // without the NUL; 0 when none was built
};

extern MailText g_mail_text;

void mail_text_reset();
// Writes the Base64 text of length bytes to out (4 * ceil(length / 3) characters) and a NUL.
void base64_encode(const uint8_t* data, char* out, size_t length);
// Decodes four characters into three bytes (all three stored) and returns how many count:
// 3, 2 when the fourth is '=', 1 when the third is '='. A character outside the alphabet
// counts as 0 and shows the invalid-character message.
int base64_decode_group(const char* in, uint8_t* out);
// Builds the mail text of a ringtone and puts it on the clipboard; false when there is no
// clipboard to take it (the text is kept for the command line all the same).
bool mail_text_build(const uint8_t* file, size_t length);
