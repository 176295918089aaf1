// Starting programs and opening documents through the shell's "open" verb.
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"

#include <shellapi.h>

namespace {

// ShellExecute reports success as a value above 32.
constexpr INT_PTR SHELL_EXECUTE_OK_ABOVE = 32;

bool shell_open(const char* file, const char* parameters) {
    std::wstring wide_file = win32_widen(file);
    std::wstring wide_parameters = parameters != nullptr ? win32_widen(parameters) : L"";
    HINSTANCE result = ShellExecuteW(nullptr, L"open", wide_file.c_str(),
                                     parameters != nullptr ? wide_parameters.c_str() : nullptr,
                                     nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > SHELL_EXECUTE_OK_ABOVE;
}

} // namespace

bool win32_start_program(const char* program_path, const char* argument) {
    return shell_open(program_path, argument);
}

bool win32_open_document(const char* path_or_address) {
    return shell_open(path_or_address, nullptr);
}
