// The table entries the Windows backends share (files, directories, program directory,
// language, clock, programs and sockets through the win32_* functions): a backend copies this
// table and names only what it does differently.
#pragma once

#include "platform/platform_backend.h"
#include "platform/win32/win32_files.h"

constexpr PlatformBackend WIN32_BACKEND_BASE = {
    .file_open = win32_file_open,
    .file_read = win32_file_read,
    .file_write = win32_file_write,
    .file_close = win32_file_close,
    .file_create_beside = win32_file_create_beside,
    .file_rename = win32_file_rename,
    .file_remove = win32_file_remove,
    .file_exists = win32_file_exists,
    .list_directory = win32_list_directory,
    .directory_exists = win32_directory_exists,
    .home_directory = win32_home_directory,
    .current_directory = win32_current_directory,
    .program_directory = win32_program_directory,
    .system_language = win32_system_language,
    .tick_ms = win32_tick_ms,
    .key_down = win32_key_down,
    .path_display_text = win32_path_display_text,
    .start_program = win32_start_program,
    .open_document = win32_open_document,
    .network_available = win32_network_available,
    .tcp_connect = win32_tcp_connect_unrecorded,
    .tcp_send = win32_tcp_send,
    .tcp_receive = win32_tcp_receive,
    .tcp_close = win32_tcp_close,
};
