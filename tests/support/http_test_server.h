// A one-connection HTTP server on 127.0.0.1 (ephemeral port) for tests of the version check:
// it answers one request with a fixed reply, or closes at once, and then stops by itself.
#pragma once

#include <string>
#include <thread>

enum class HttpServerMode {
    reply,           // read the request, send the reply, close
    reply_in_halves, // the same, with a pause between the two halves of the reply
    close_early,     // accept and close without reading or answering
};

struct HttpTestServer {
    int listen_fd = -1;
    int port = 0;
    std::string reply;
    HttpServerMode mode = HttpServerMode::reply;
    std::string request; // what the client sent, up to the blank line
    std::thread thread;
};

// Binds and starts listening; false when no socket could be had.
bool http_test_server_start(HttpTestServer& server);
// Waits for the server thread (it serves one connection or gives up after a few seconds).
void http_test_server_stop(HttpTestServer& server);
// A port on 127.0.0.1 where nothing listens: connecting is refused.
int closed_local_port();
