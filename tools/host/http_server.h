// A small HTTP/1.1 server over Winsock: one accept thread and kept threads
// that answer one connection each, up to a fixed number, every connection
// closed after one answer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "http_request.h"
#include "http_response.h"
#include "listen_address.h"

struct ServerLimits {
    unsigned maxConnections = 32;  // answered at once; further ones get 503
    unsigned headTimeoutMs = 5000; // from accepting to the whole request head
    unsigned sendTimeoutMs = 5000; // for the client to take the answer
    unsigned lingerMs = 2000;      // waiting for the client to close after the answer
};

using RequestHandler = std::function<HttpResponse(const HttpRequest &)>;

class HttpServer {
  public:
    HttpServer();
    ~HttpServer(); // stops it
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Listens and starts answering. Anything but Listening comes with a sentence.
    enum class Outcome { Listening, AddressInUse, AddressUnusable };
    Outcome Start(const ListenAddress &address, const ServerLimits &limits, RequestHandler handler,
                  std::string &error);
    // The port it listens on (the system's pick when asked for port 0).
    uint16_t port() const;
    // Requests answered with a status (any, 503 included) so far.
    uint64_t answered() const;
    // Stops accepting, ends every connection and waits for their threads.
    void Stop();

    struct State;

  private:
    std::unique_ptr<State> state_;
};
