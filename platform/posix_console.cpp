// Standard output and standard error through the C library's streams.
#include "platform/console.h"

#include <cstdarg>
#include <cstdio>

namespace {

FILE* stream_of(ConsoleStream stream) {
    return stream == ConsoleStream::output ? stdout : stderr;
}

} // namespace

void platform_console_print(ConsoleStream stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stream_of(stream), format, args);
    va_end(args);
}

bool platform_console_write(ConsoleStream stream, const void* bytes, size_t count) {
    FILE* out = stream_of(stream);
    bool ok = fwrite(bytes, 1, count, out) == count;
    return fflush(out) == 0 && ok;
}
