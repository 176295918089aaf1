// TCP client sockets and detached process start with POSIX calls.
#include "platform/posix_network.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

struct PlatformSocket {
    int fd;
};

namespace {

// A silent server must not hang a one-shot program: reads and the connect give up after this.
constexpr int SOCKET_TIMEOUT_SECONDS = 10;

bool resolve(const char* host, int port, sockaddr_in& address, HostLookup* lookup) {
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, host, &address.sin_addr) == 1) {
        if (lookup != nullptr) {
            *lookup = HostLookup::by_address;
        }
        return true;
    }
    if (lookup != nullptr) {
        *lookup = HostLookup::by_name;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    address.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

} // namespace

PlatformSocket* posix_tcp_connect(const char* host, int port, HostLookup* lookup) {
    sockaddr_in address;
    if (!resolve(host, port, address, lookup)) {
        return nullptr;
    }
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    timeval timeout{SOCKET_TIMEOUT_SECONDS, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return nullptr;
    }
    return new PlatformSocket{fd};
}

long posix_tcp_send(PlatformSocket* socket, const void* data, size_t count) {
    ssize_t n;
    do {
        n = send(socket->fd, data, count, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long posix_tcp_receive(PlatformSocket* socket, void* buffer, size_t count) {
    ssize_t n;
    do {
        n = recv(socket->fd, buffer, count, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

bool posix_network_available() {
    return true;
}

PlatformSocket* posix_tcp_connect_unrecorded(const char* host, int port) {
    return posix_tcp_connect(host, port, nullptr);
}

void posix_tcp_close(PlatformSocket* socket) {
    if (socket == nullptr) {
        return;
    }
    shutdown(socket->fd, SHUT_RDWR);
    close(socket->fd);
    delete socket;
}

bool posix_spawn_detached(const char* program_path, const char* const* arguments) {
    // A started program does not share our terminal, as one started from a desktop has none:
    // melconv then shows its window rather than asking on a terminal nobody watches.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int rc = posix_spawnp(&pid, program_path, &actions, nullptr,
                          const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return false;
    }
    // Reaped by a thread of its own rather than by ignoring SIGCHLD for the whole process,
    // which would make every later pclose and waitpid fail.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}
