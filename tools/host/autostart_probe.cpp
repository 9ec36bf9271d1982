// The address check is the server's own start, so install refuses exactly
// what --serve would; the answer check is one HEAD request over loopback.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "autostart_probe.h"

#include "exit_codes.h"
#include "http_server.h"

int CheckServeAddress(const ListenAddress &listen, std::string &error) {
    HttpServer server;
    auto refuse = [](const HttpRequest &) { return ErrorResponse(503, "not serving yet"); };
    switch (server.Start(listen, ServerLimits{}, refuse, error)) {
    case HttpServer::Outcome::Listening:
        server.Stop();
        return kExitOk;
    case HttpServer::Outcome::AddressInUse:
        return kExitAddressInUse;
    case HttpServer::Outcome::AddressUnusable:
        break;
    }
    return kExitAddressUnusable;
}

namespace {

// A status line came back for the request.
bool Exchange(SOCKET s, const addrinfo *address) {
    if (connect(s, address->ai_addr, int(address->ai_addrlen)) != 0) {
        return false;
    }
    const char request[] = "HEAD / HTTP/1.1\r\nHost: kdhost\r\n\r\n";
    if (send(s, request, int(sizeof request - 1), 0) != int(sizeof request - 1)) {
        return false;
    }
    char reply[16] = {};
    int got = 0;
    while (got < 12) {
        int n = recv(s, reply + got, int(sizeof reply - 1) - got, 0);
        if (n <= 0) {
            break;
        }
        got += n;
    }
    return got >= 12 && std::string(reply, 5) == "HTTP/";
}

} // namespace

bool ServerAnswers(const ListenAddress &listen, DWORD timeoutMs) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    std::string host = listen.host == "0.0.0.0" ? "127.0.0.1"
                       : listen.host == "::"    ? "::1"
                                                : listen.host;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    bool answers = false;
    if (getaddrinfo(host.c_str(), std::to_string(listen.port).c_str(), &hints, &found) == 0) {
        SOCKET s = socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
        if (s != INVALID_SOCKET) {
            DWORD timeout = timeoutMs;
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char *)&timeout, sizeof timeout);
            setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, (const char *)&timeout, sizeof timeout);
            answers = Exchange(s, found);
            closesocket(s);
        }
        freeaddrinfo(found);
    }
    WSACleanup();
    return answers;
}
