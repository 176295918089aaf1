// The table entries the Linux backends share (files, program directory, language, clock,
// programs and sockets through the posix_* functions): a backend copies this table and names
// only what it does differently.
#pragma once

#include "platform/platform_backend.h"
#include "platform/posix_files.h"
#include "platform/posix_network.h"
#include "platform/posix_programs.h"

// A desktop system is taken as connected; a connection that fails says so itself.
bool posix_network_available();
// Connects without recording how the host name was looked up.
PlatformSocket* posix_tcp_connect_unrecorded(const char* host, int port);

constexpr PlatformBackend POSIX_BACKEND_BASE = {
    .file_open = posix_file_open,
    .file_read = posix_file_read,
    .file_write = posix_file_write,
    .file_close = posix_file_close,
    .file_create_beside = posix_file_create_beside,
    .file_rename = posix_file_rename,
    .file_remove = posix_file_remove,
    .file_exists = posix_file_exists,
    .list_directory = posix_list_directory,
    .directory_exists = posix_directory_exists,
    .home_directory = posix_home_directory,
    .current_directory = posix_current_directory,
    .program_directory = posix_program_directory,
    .system_language = posix_system_language,
    .tick_ms = posix_tick_ms,
    .path_display_text = posix_path_display_text,
    .start_program = posix_start_program,
    .open_document = posix_open_document,
    .network_available = posix_network_available,
    .tcp_connect = posix_tcp_connect_unrecorded,
    .tcp_send = posix_tcp_send,
    .tcp_receive = posix_tcp_receive,
    .tcp_close = posix_tcp_close,
};
