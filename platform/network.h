// TCP client connections for the version check: resolve, connect, send, receive, close.
#pragma once

#include <cstddef>

struct PlatformSocket;

// How the last connect looked its host up, for tests of the address rule.
enum class HostLookup { none, by_address, by_name };

// Whether the system reports a network connection at all.
bool platform_network_available();
// Resolves host (a dotted IPv4 address is taken by address, anything else by name) and
// connects to its first address. Null when resolving or connecting fails.
PlatformSocket* platform_tcp_connect(const char* host, int port);
// Bytes sent or received by one call; 0 from receive when the peer closed, -1 on failure.
long platform_tcp_send(PlatformSocket* socket, const void* data, size_t count);
long platform_tcp_receive(PlatformSocket* socket, void* buffer, size_t count);
// Shuts the connection down in both directions and closes it.
void platform_tcp_close(PlatformSocket* socket);
