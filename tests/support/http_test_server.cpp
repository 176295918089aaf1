// The test HTTP server: one accept with a deadline, bounded reads, then close.
#include "tests/support/http_test_server.h"

#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ACCEPT_WAIT_MS = 5000;

int bound_socket(int& port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

void serve(HttpTestServer* server) {
    pollfd waiting{server->listen_fd, POLLIN, 0};
    if (poll(&waiting, 1, ACCEPT_WAIT_MS) <= 0) {
        return;
    }
    int client = accept(server->listen_fd, nullptr, nullptr);
    if (client < 0) {
        return;
    }
    if (server->mode != HttpServerMode::close_early) {
        char buffer[512];
        while (server->request.find("\r\n\r\n") == std::string::npos &&
               server->request.size() < 8192) {
            pollfd readable{client, POLLIN, 0};
            if (poll(&readable, 1, ACCEPT_WAIT_MS) <= 0) {
                break;
            }
            ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            server->request.append(buffer, static_cast<size_t>(n));
        }
        size_t half = server->mode == HttpServerMode::reply_in_halves ? server->reply.size() / 2
                                                                      : server->reply.size();
        size_t sent = 0;
        while (sent < server->reply.size()) {
            size_t upto = sent < half ? half : server->reply.size();
            ssize_t n = send(client, server->reply.data() + sent, upto - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<size_t>(n);
            if (sent == half) {
                // Long enough for the client to read the first half on its own.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }
    close(client);
}

} // namespace

bool http_test_server_start(HttpTestServer& server) {
    server.listen_fd = bound_socket(server.port);
    if (server.listen_fd < 0 || listen(server.listen_fd, 1) != 0) {
        return false;
    }
    server.thread = std::thread(serve, &server);
    return true;
}

void http_test_server_stop(HttpTestServer& server) {
    if (server.thread.joinable()) {
        server.thread.join();
    }
    if (server.listen_fd >= 0) {
        close(server.listen_fd);
        server.listen_fd = -1;
    }
}

int closed_local_port() {
    int port = 0;
    int fd = bound_socket(port);
    if (fd >= 0) {
        close(fd);
    }
    return port;
}
