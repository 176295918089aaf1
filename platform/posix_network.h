// POSIX sockets and process start shared by the backends that run on Linux.
#pragma once

#include "platform/network.h"

PlatformSocket* posix_tcp_connect(const char* host, int port, HostLookup* lookup);
long posix_tcp_send(PlatformSocket* socket, const void* data, size_t count);
long posix_tcp_receive(PlatformSocket* socket, void* buffer, size_t count);
void posix_tcp_close(PlatformSocket* socket);

// Starts program_path with the given arguments (null-terminated list) without waiting.
bool posix_spawn_detached(const char* program_path, const char* const* arguments);
