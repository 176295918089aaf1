// The connection-state query (WinINet) and TCP client sockets through Windows Sockets 1.1.
#include "platform/win32/win32_files.h"

#include <cstring>
#include <wininet.h>
#include <winsock.h>

struct PlatformSocket {
    SOCKET handle;
};

namespace {

// A silent server must not hang a one-shot program: reads and sends give up after this.
constexpr DWORD SOCKET_TIMEOUT_MS = 10000;
constexpr WORD WINSOCK_1_1 = MAKEWORD(1, 1);
// The query's flags word starts with modem and LAN set, as the system's own samples do.
constexpr DWORD CONNECTION_FLAGS_PRESET = INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_LAN;

bool resolve(const char* host, int port, sockaddr_in& address, HostLookup* lookup) {
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    unsigned long numeric = inet_addr(host);
    if (numeric != INADDR_NONE || strcmp(host, "255.255.255.255") == 0) {
        if (lookup != nullptr) {
            *lookup = HostLookup::by_address;
        }
        address.sin_addr.s_addr = numeric;
        return true;
    }
    if (lookup != nullptr) {
        *lookup = HostLookup::by_name;
    }
    const hostent* found = gethostbyname(host);
    if (found == nullptr || found->h_addrtype != AF_INET || found->h_addr_list[0] == nullptr) {
        return false;
    }
    memcpy(&address.sin_addr, found->h_addr_list[0], sizeof address.sin_addr);
    return true;
}

} // namespace

bool win32_network_available() {
    DWORD flags = CONNECTION_FLAGS_PRESET;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

// Each socket holds one Windows Sockets start, released when it closes.
PlatformSocket* win32_tcp_connect(const char* host, int port, HostLookup* lookup) {
    WSADATA data;
    if (WSAStartup(WINSOCK_1_1, &data) != 0) {
        return nullptr;
    }
    sockaddr_in address;
    SOCKET handle = INVALID_SOCKET;
    if (resolve(host, port, address, lookup)) {
        handle = socket(AF_INET, SOCK_STREAM, 0);
    }
    if (handle != INVALID_SOCKET) {
        DWORD timeout = SOCKET_TIMEOUT_MS;
        setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
        setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
        if (connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return new PlatformSocket{handle};
        }
        closesocket(handle);
    }
    WSACleanup();
    return nullptr;
}

PlatformSocket* win32_tcp_connect_unrecorded(const char* host, int port) {
    return win32_tcp_connect(host, port, nullptr);
}

long win32_tcp_send(PlatformSocket* socket, const void* data, size_t count) {
    int part = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(count);
    int n = send(socket->handle, static_cast<const char*>(data), part, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

long win32_tcp_receive(PlatformSocket* socket, void* buffer, size_t count) {
    int part = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(count);
    int n = recv(socket->handle, static_cast<char*>(buffer), part, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

void win32_tcp_close(PlatformSocket* socket) {
    if (socket == nullptr) {
        return;
    }
    shutdown(socket->handle, 2); // both directions (SD_BOTH)
    closesocket(socket->handle);
    delete socket;
    WSACleanup();
}
