// Standard output and error on Windows: a window program writes to the console of the
// command prompt that started it, when there is one.
#include "platform/console.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <windows.h>

namespace {

// A program built for the window subsystem starts without streams; the first write attaches
// to the parent's console so that `ZB47.EXE --help` typed at a prompt is answered there.
void streams_attach() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
            (void)freopen("CONOUT$", "w", stdout);
            (void)freopen("CONOUT$", "w", stderr);
        }
    });
}

FILE* stream_of(ConsoleStream stream) {
    streams_attach();
    return stream == ConsoleStream::output ? stdout : stderr;
}

} // namespace

void platform_console_print(ConsoleStream stream, const char* format, ...) {
    FILE* out = stream_of(stream);
    va_list args;
    va_start(args, format);
    vfprintf(out, format, args);
    va_end(args);
}

bool platform_console_write(ConsoleStream stream, const void* bytes, size_t count) {
    FILE* out = stream_of(stream);
    bool ok = fwrite(bytes, 1, count, out) == count;
    return fflush(out) == 0 && ok;
}
