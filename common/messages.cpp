// Formatted message boxes and yes/no questions over the platform's boxes.
#include "common/messages.h"

#include "common/text_sjis.h"
#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

MessageBoxes g_message_boxes;

namespace {

// The Shift-JIS caption; converted per box, which is rare enough not to keep a copy.
std::string caption() {
    return utf8_to_sjis("メッセージ");
}

size_t buffer_size() {
    size_t size = g_message_boxes.buffer_size;
    if (size < 3) {
        return 3;
    }
    return size < MESSAGE_BUFFER_SEQUENCER ? size : MESSAGE_BUFFER_SEQUENCER;
}

// text holds length bytes (already within size - 3); cuts it to a whole character and puts
// CR LF and NUL behind it.
void end_with_crlf(char* text, size_t length, size_t size) {
    size_t n = sjis_cut_length(text, length, size - 3);
    text[n] = '\r';
    text[n + 1] = '\n';
    text[n + 2] = '\0';
}

} // namespace

void messages_reset() {
    g_message_boxes = MessageBoxes{};
}

void show_message(const char* format, ...) {
    char text[MESSAGE_BUFFER_SEQUENCER];
    size_t size = buffer_size();
    int n = 0;
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        // Two bytes of the buffer are kept back for CR LF.
        n = vsnprintf(text, size - 2, format, args);
        va_end(args);
    }
    size_t length = n < 0 ? 0 : static_cast<size_t>(n);
    end_with_crlf(text, length < size - 3 ? length : size - 3, size);
    platform_message_box(caption().c_str(), text, MessageIcon::exclamation);
}

bool ask_yes_no(const char* text) {
    // A question keeps the larger buffer in both programs: the converter's overwrite question
    // puts a path of up to 260 bytes before the question itself, which must not be cut off.
    char copy[MESSAGE_BUFFER_SEQUENCER];
    size_t size = MESSAGE_BUFFER_SEQUENCER;
    size_t length = text != nullptr ? strnlen(text, size - 3) : 0;
    if (length > 0) {
        memcpy(copy, text, length);
    }
    end_with_crlf(copy, length, size);
    return platform_ask_yes_no(caption().c_str(), copy);
}
