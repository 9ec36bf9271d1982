// POSIX sockets with blocking calls and per-socket timeouts: the client's own
// cost stays a few microseconds, so what is timed is the server.
#include "http_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void SetTimeouts(int s, unsigned timeoutMs) {
    timeval timeout{time_t(timeoutMs / 1000), suseconds_t(timeoutMs % 1000) * 1000};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

} // namespace

Exchange ParseAnswer(const std::string &raw) {
    Exchange e;
    const size_t headEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 9, "HTTP/1.1 ") != 0 || raw.size() < 12 || headEnd == std::string::npos) {
        e.failure = raw.empty() ? "nothing came back" : "no whole status line and head";
        return e;
    }
    e.status = std::atoi(raw.substr(9, 3).c_str());
    const std::string head = raw.substr(0, headEnd + 2);
    const char field[] = "\r\nContent-Length: ";
    const size_t at = head.find(field);
    if (at == std::string::npos) {
        e.failure = "no Content-Length";
        return e;
    }
    const size_t length = std::strtoul(head.c_str() + at + sizeof field - 1, nullptr, 10);
    const size_t body = raw.size() - (headEnd + 4);
    if (body != length) {
        e.failure = "a body of " + std::to_string(body) + " bytes, not the " +
                    std::to_string(length) + " announced";
        return e;
    }
    e.whole = true;
    return e;
}

Exchange GetOnce(uint16_t port, const std::string &path, unsigned timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                                std::to_string(port) +
                                "\r\nUser-Agent: kd_serve_load\r\nAccept: */*\r\n\r\n";
    std::string raw;
    std::string failure;
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        failure = std::string("no socket: ") + std::strerror(errno);
    } else {
        SetTimeouts(s, timeoutMs);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // loopback only, whatever is asked
        if (connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            failure = std::string("cannot connect: ") + std::strerror(errno);
        } else if (send(s, request.data(), request.size(), MSG_NOSIGNAL) !=
                   ssize_t(request.size())) {
            failure = std::string("cannot send: ") + std::strerror(errno);
        } else {
            char buffer[16384];
            for (;;) {
                const ssize_t n = recv(s, buffer, sizeof buffer, 0);
                if (n > 0) {
                    raw.append(buffer, size_t(n));
                    if (raw.size() > (1u << 20)) {
                        failure = "more than 1 MiB came back";
                        break;
                    }
                } else {
                    if (n < 0) {
                        failure = errno == EAGAIN || errno == EWOULDBLOCK
                                      ? "the server did not close in time"
                                      : std::string("reading failed: ") + std::strerror(errno);
                    }
                    break;
                }
            }
        }
        close(s);
    }
    Exchange e = failure.empty() ? ParseAnswer(raw) : Exchange{};
    if (!failure.empty()) {
        e.failure = failure;
    }
    e.ms = MsSince(start);
    return e;
}
