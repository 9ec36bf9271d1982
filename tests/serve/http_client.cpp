// Blocking Winsock calls with receive timeouts; Winsock is started once for the
// test program and left to the process's end.
#include "http_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>

namespace {

bool StartWinsock() {
    static bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET ConnectLoopback(uint16_t port) {
    if (!StartWinsock()) {
        return INVALID_SOCKET;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s != INVALID_SOCKET && connect(s, (sockaddr *)&address, sizeof address) != 0) {
        closesocket(s);
        s = INVALID_SOCKET;
    }
    return s;
}

// Reads into reply until the server closes or the time is up; splits it then.
void ReadReply(SOCKET s, unsigned timeoutMs, HttpReply &reply) {
    DWORD start = GetTickCount();
    char buffer[16384];
    while (!reply.closed && GetTickCount() - start < timeoutMs) {
        DWORD left = timeoutMs - (GetTickCount() - start);
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char *)&left, sizeof left);
        int n = recv(s, buffer, sizeof buffer, 0);
        if (n > 0) {
            reply.raw.append(buffer, size_t(n));
        } else if (n == 0 || WSAGetLastError() != WSAETIMEDOUT) {
            reply.closed = true;
        }
    }
    size_t end = reply.raw.find("\r\n\r\n");
    reply.head = reply.raw.substr(0, end);
    reply.body = end == std::string::npos ? "" : reply.raw.substr(end + 4);
    if (reply.raw.rfind("HTTP/1.1 ", 0) == 0) {
        reply.status = std::atoi(reply.raw.c_str() + 9);
    }
}

bool SendAll(SOCKET s, const std::string &bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        int n = send(s, bytes.data() + sent, int(bytes.size() - sent), 0);
        if (n <= 0) {
            return false;
        }
        sent += size_t(n);
    }
    return true;
}

} // namespace

HttpReply HttpExchange(uint16_t port, const std::string &request, unsigned timeoutMs) {
    HeldConnection connection(port);
    connection.Send(request);
    return connection.Finish(timeoutMs);
}

HttpReply HttpGet(uint16_t port, const std::string &path, unsigned timeoutMs) {
    return HttpExchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", timeoutMs);
}

std::string HeaderValue(const HttpReply &reply, const std::string &name) {
    auto lower = [](std::string text) {
        for (char &c : text) {
            c = char(std::tolower((unsigned char)c));
        }
        return text;
    };
    const std::string head = lower(reply.head), wanted = "\r\n" + lower(name) + ": ";
    size_t at = head.find(wanted);
    if (at == std::string::npos) {
        return "";
    }
    at += wanted.size();
    return reply.head.substr(at, head.find("\r\n", at) - at);
}

HeldConnection::HeldConnection(uint16_t port) : socket_(ConnectLoopback(port)) {
    reply_.connected = socket_ != INVALID_SOCKET;
}

HeldConnection::~HeldConnection() {
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
    }
}

bool HeldConnection::connected() const {
    return reply_.connected;
}

bool HeldConnection::Send(const std::string &bytes) {
    return reply_.connected && SendAll(socket_, bytes);
}

bool HeldConnection::ServerActed() {
    if (!reply_.connected) {
        return true;
    }
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket_, &set);
    timeval now{0, 0};
    return select(0, &set, nullptr, nullptr, &now) != 0;
}

HttpReply HeldConnection::Finish(unsigned timeoutMs) {
    if (reply_.connected) {
        ReadReply(socket_, timeoutMs, reply_);
    }
    return reply_;
}
