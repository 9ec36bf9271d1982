// A loopback HTTP client over Winsock for the serving tests: one exchange on a
// fresh connection, or a connection held open to play a slow client.
#pragma once

#include <cstdint>
#include <string>

struct HttpReply {
    bool connected = false;
    bool closed = false; // the server closed the connection (false: our wait ran out)
    std::string raw;     // every byte that came back
    int status = 0;      // from the status line, 0 when none came
    std::string head;    // status line and header fields
    std::string body;
};

// Sends request as it is on a new connection to 127.0.0.1:port and reads until
// the server closes or timeoutMs passes.
HttpReply HttpExchange(uint16_t port, const std::string &request, unsigned timeoutMs = 15000);

// "GET path HTTP/1.1" with a Host field.
HttpReply HttpGet(uint16_t port, const std::string &path, unsigned timeoutMs = 15000);

// The value of a header field in the reply, or "" (names without regard to case).
std::string HeaderValue(const HttpReply &reply, const std::string &name);

class HeldConnection {
  public:
    explicit HeldConnection(uint16_t port);
    ~HeldConnection();
    HeldConnection(const HeldConnection &) = delete;
    HeldConnection &operator=(const HeldConnection &) = delete;

    bool connected() const;
    bool Send(const std::string &bytes);
    // Whether the server has answered or closed yet, without waiting.
    bool ServerActed();
    // Reads until the server closes or timeoutMs passes.
    HttpReply Finish(unsigned timeoutMs);

  private:
    uintptr_t socket_;
    HttpReply reply_;
};
