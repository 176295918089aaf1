// Starting other programs and opening documents on Linux, shared by the desktop backends.
#pragma once

// Whether a program of that name is on PATH.
bool posix_program_on_path(const char* name);
bool posix_start_program(const char* program_path, const char* argument);
// Through xdg-open; false when it is missing or cannot start.
bool posix_open_document(const char* path_or_address);
