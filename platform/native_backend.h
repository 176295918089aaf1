// The table entries of the system the program was built for (POSIX or Windows), so that a
// backend that runs on both (headless) copies the right one and calls its functions.
#pragma once

#ifdef _WIN32
#include "platform/win32/win32_backend.h"

inline constexpr const PlatformBackend& NATIVE_BACKEND_BASE = WIN32_BACKEND_BASE;

inline PlatformSocket* native_tcp_connect(const char* host, int port, HostLookup* lookup) {
    return win32_tcp_connect(host, port, lookup);
}
inline bool native_started_from_desktop() {
    return win32_started_from_desktop();
}
#else
#include "platform/posix_backend.h"

inline constexpr const PlatformBackend& NATIVE_BACKEND_BASE = POSIX_BACKEND_BASE;

inline PlatformSocket* native_tcp_connect(const char* host, int port, HostLookup* lookup) {
    return posix_tcp_connect(host, port, lookup);
}
inline bool native_started_from_desktop() {
    return posix_started_from_desktop();
}
#endif
