// The standard output and error streams of a run from a terminal: the only way program code
// writes to them (usage texts, reports of a command-line run, start-up failures).
// Implemented in: posix_console.cpp.
#pragma once

#include <cstddef>

enum class ConsoleStream { output, error };

void platform_console_print(ConsoleStream stream, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Writes the bytes as they are and flushes them; false when they did not all go out.
bool platform_console_write(ConsoleStream stream, const void* bytes, size_t count);
