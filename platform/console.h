// The standard output and error streams of a run from a terminal: the only way program code
// writes to them (usage texts, reports of a command-line run, start-up failures).
// Implemented in: posix_console.cpp.
#pragma once

#include <cstddef>

enum class ConsoleStream { output, error };

// The C99 formats (%zu and the like) on every system: MinGW's stdio is built for them.
void platform_console_print(ConsoleStream stream, const char* format, ...)
    __attribute__((format(gnu_printf, 2, 3)));
// Writes the bytes as they are and flushes them; false when they did not all go out.
bool platform_console_write(ConsoleStream stream, const void* bytes, size_t count);
