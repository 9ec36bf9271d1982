// Why threads: answering takes a snapshot through the plug-in, which blocks
// for a millisecond or more, so a single select() loop would hold every other
// client up meanwhile. The threads are a pool (connection_pool.h) capped at
// the connection limit and kept, since starting one costs more under Wine
// than a whole answer; every wait is a select() of at most 200 ms against a
// deadline, so a slow or silent client costs one thread for a few seconds and
// Stop() ends everything promptly. After its answer a connection is shut for
// sending, and whatever the client still sends is discarded until it closes
// (a bounded "lingering close"): closing with unread bytes would reset the
// connection and could destroy the answer. The answering thread waits a
// moment for that itself; a client still open then is handed to the accept
// thread, which drains it a slice at a time.
#include "http_server.h"

#define FD_SETSIZE 128 // before winsock2.h: the lingering sockets plus the listener
#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "connection_pool.h"
#include "terminal_text.h"

namespace {

constexpr unsigned kSliceMs = 200;      // how often a waiting thread looks at the stop flag
constexpr size_t kMaxLingering = 100;   // below FD_SETSIZE, with the listener
constexpr size_t kMaxDrained = 1 << 20; // a client still sending past this is cut off
// Read from one lingering client per wake: a client that streams faster than
// it is drained then costs the others one slice at most, never a whole drain.
constexpr size_t kDrainPerWake = 64 * 1024;
// How long the answering thread waits for its client to close before handing
// the connection to the accept thread: most clients close at once, having
// read the answer.
constexpr unsigned kCloseWaitMs = 20;

enum class Wait { Ready, TimedOut, Stopped, Failed };

Wait WaitForSocket(SOCKET s, bool forWriting, ULONGLONG deadline, const std::atomic<bool> &stop) {
    for (;;) {
        if (stop) {
            return Wait::Stopped;
        }
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return Wait::TimedOut;
        }
        ULONGLONG slice = deadline - now < kSliceMs ? deadline - now : kSliceMs;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval timeout{0, long(slice * 1000)};
        int ready =
            select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &timeout);
        if (ready > 0) {
            return Wait::Ready;
        }
        if (ready < 0) {
            return Wait::Failed;
        }
    }
}

bool SendAll(SOCKET s, const std::string &bytes, unsigned timeoutMs,
             const std::atomic<bool> &stop) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    size_t sent = 0;
    while (sent < bytes.size()) {
        size_t left = bytes.size() - sent;
        int n = send(s, bytes.data() + sent, int(left < 65536 ? left : 65536), 0);
        if (n > 0) {
            sent += size_t(n);
        } else if (WSAGetLastError() != WSAEWOULDBLOCK ||
                   WaitForSocket(s, true, deadline, stop) != Wait::Ready) {
            return false;
        }
    }
    return true;
}

struct Lingering {
    SOCKET socket;
    ULONGLONG deadline;
    size_t drained;
};

std::string BindError(const std::string &where, int code) {
    std::string why;
    switch (code) {
    case WSAEADDRINUSE:
        why = "the port is already in use by another program";
        break;
    case WSAEADDRNOTAVAIL:
        why = "that address is not one of this machine's";
        break;
    case WSAEACCES:
        why = "the system does not allow it (the port may be reserved)";
        break;
    case WSAEAFNOSUPPORT:
    case WSAEPROTONOSUPPORT:
        why = "this machine has no network of that kind (IPv6 may be off)";
        break;
    default:
        why = "the system cannot listen there (Winsock error " + std::to_string(code) + ")";
    }
    return "cannot listen on " + where + ": " + why;
}

// Why an address that parsed cannot be served, or "": an answer sent from a
// broadcast or multicast address reaches no client, and an IPv4 address in
// IPv6 form is listened on as neither.
std::string UnservableReason(const sockaddr *address) {
    if (address->sa_family == AF_INET) {
        const uint32_t ip = ntohl(((const sockaddr_in *)address)->sin_addr.s_addr);
        if (ip == 0xFFFFFFFFu) {
            return "it is the broadcast address, which no client can connect to";
        }
        if ((ip >> 28) == 0xE) {
            return "it is a multicast address, which no client can connect to";
        }
        if ((ip >> 24) == 0 && ip != 0) {
            return "addresses starting with 0. name no machine (0.0.0.0 is every interface)";
        }
        return "";
    }
    const in6_addr &ip = ((const sockaddr_in6 *)address)->sin6_addr;
    if (IN6_IS_ADDR_MULTICAST(&ip)) {
        return "it is a multicast address, which no client can connect to";
    }
    if (IN6_IS_ADDR_V4MAPPED(&ip) || IN6_IS_ADDR_V4COMPAT(&ip)) {
        return "it is an IPv4 address written in IPv6 form: give the IPv4 address itself "
               "(127.0.0.1:PORT)";
    }
    return "";
}

HttpResponse HeadError(HeadStatus status) {
    switch (status) {
    case HeadStatus::TooLarge:
        return ErrorResponse(431, "the request head is larger than 8 KiB or has too many fields");
    case HeadStatus::VersionUnsupported:
        return ErrorResponse(505, "only HTTP/1.0 and HTTP/1.1 are answered here");
    default:
        return ErrorResponse(400, "that is not an HTTP/1.x request line and header fields");
    }
}

} // namespace

struct HttpServer::State {
    ServerLimits limits;
    RequestHandler handler;
    bool winsock = false;
    SOCKET listener = INVALID_SOCKET;
    uint16_t port = 0;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> answered{0};
    std::thread acceptor;
    std::unique_ptr<ConnectionPool> pool;
    std::mutex handedMutex;
    std::vector<Lingering> handed;    // from connection threads, taken up by the acceptor
    std::vector<Lingering> lingering; // the acceptor's own

    void AcceptLoop();
    void AcceptPending();
    void Serve(SOCKET s);
    void Reject(SOCKET s);
    void Linger(SOCKET s);
    void HandOver(const Lingering &l);
    void DrainLingering(const fd_set &readable);
    void CloseEverything();
};

void HttpServer::State::Serve(SOCKET s) {
    char head[kMaxRequestHead];
    size_t got = 0;
    HttpRequest request;
    HeadStatus status = HeadStatus::Incomplete;
    Wait wait = Wait::Ready;
    const ULONGLONG deadline = GetTickCount64() + limits.headTimeoutMs;
    while (status == HeadStatus::Incomplete && got < sizeof head) {
        int n = recv(s, head + got, int(sizeof head - got), 0);
        if (n > 0) {
            got += size_t(n);
            status = ParseRequestHead(head, got, request);
        } else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK ||
                   (wait = WaitForSocket(s, false, deadline, stop)) != Wait::Ready) {
            break;
        }
    }
    HttpResponse response;
    bool headOnly = false;
    if (status == HeadStatus::Complete) {
        headOnly = request.method == "HEAD";
        try {
            response = handler(request);
        } catch (...) {
            response = ErrorResponse(500, "the answer could not be made");
        }
    } else if (status != HeadStatus::Incomplete) {
        response = HeadError(status);
    } else if (wait == Wait::TimedOut && got > 0) {
        response = ErrorResponse(408, "the request head did not arrive in time");
    } else {
        // Nothing came (a speculative connection), the client left, or we stop.
        closesocket(s);
        return;
    }
    if (SendAll(s, ResponseBytes(response, headOnly), limits.sendTimeoutMs, stop)) {
        ++answered;
    }
    Linger(s);
}

void HttpServer::State::Reject(SOCKET s) {
    HttpResponse response =
        ErrorResponse(503, "kdhost is answering " + std::to_string(limits.maxConnections) +
                               " connections already; try again in a moment");
    response.headers.push_back({"Retry-After", "1"});
    // A fresh socket's send buffer is empty: this never waits.
    std::string bytes = ResponseBytes(response, false);
    if (send(s, bytes.data(), int(bytes.size()), 0) == int(bytes.size())) {
        ++answered;
    }
    shutdown(s, SD_SEND);
    HandOver({s, GetTickCount64() + limits.lingerMs, 0});
}

// On the answering thread, right after the answer, while the next request is
// still to come: closing here spares the accept thread, and so the next
// connection, the work of a socket that is already done with.
void HttpServer::State::Linger(SOCKET s) {
    shutdown(s, SD_SEND);
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG waitUntil = now + kCloseWaitMs;
    Lingering l{s, now + limits.lingerMs, 0};
    // The client has only just been sent the answer: wait before reading.
    while (WaitForSocket(s, false, waitUntil, stop) == Wait::Ready) {
        char discard[4096];
        int n = recv(s, discard, sizeof discard, 0);
        if (n == 0 || (n < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) {
            closesocket(s); // closed, as most clients do at once, or failed
            return;
        }
        if (n > 0 && (l.drained += size_t(n)) > kMaxDrained) {
            closesocket(s);
            return;
        }
    }
    // Still open or still sending: the accept thread drains it a slice at a time.
    HandOver(l);
}

void HttpServer::State::HandOver(const Lingering &l) {
    std::lock_guard<std::mutex> lock(handedMutex);
    if (handed.size() >= kMaxLingering) {
        closesocket(l.socket);
        return;
    }
    handed.push_back(l);
}

// One connection per wake: the next is seen by the next select() at once, and
// a lone request costs no accept that finds nothing.
void HttpServer::State::AcceptPending() {
    SOCKET s = accept(listener, nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return; // that client already gave up
    }
    // It has the listener's properties, non-blocking mode included.
    if (!pool->Admit(uintptr_t(s))) {
        Reject(s);
    }
}

void HttpServer::State::DrainLingering(const fd_set &readable) {
    const ULONGLONG now = GetTickCount64();
    std::vector<Lingering> kept;
    for (Lingering &l : lingering) {
        bool done = now >= l.deadline;
        if (!done && FD_ISSET(l.socket, &readable)) {
            char discard[4096];
            size_t taken = 0;
            while (!done && taken < kDrainPerWake) {
                int n = recv(l.socket, discard, sizeof discard, 0);
                if (n > 0) {
                    taken += size_t(n);
                    l.drained += size_t(n);
                    done = l.drained > kMaxDrained;
                } else {
                    // Closed, failed, or nothing more now (select wakes us for more).
                    done = n == 0 || WSAGetLastError() != WSAEWOULDBLOCK;
                    break;
                }
            }
        }
        if (done) {
            closesocket(l.socket);
        } else {
            kept.push_back(l);
        }
    }
    lingering.swap(kept);
}

void HttpServer::State::AcceptLoop() {
    while (!stop) {
        {
            std::lock_guard<std::mutex> lock(handedMutex);
            for (const Lingering &l : handed) {
                if (lingering.size() < kMaxLingering) {
                    lingering.push_back(l);
                } else {
                    closesocket(l.socket);
                }
            }
            handed.clear();
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener, &readable);
        for (const Lingering &l : lingering) {
            FD_SET(l.socket, &readable);
        }
        timeval timeout{0, 100 * 1000};
        if (select(0, &readable, nullptr, nullptr, &timeout) < 0) {
            Sleep(10);
            continue;
        }
        if (FD_ISSET(listener, &readable)) {
            AcceptPending();
        }
        DrainLingering(readable);
    }
}

void HttpServer::State::CloseEverything() {
    stop = true;
    if (acceptor.joinable()) {
        acceptor.join();
    }
    if (pool) {
        for (uintptr_t s : pool->Stop()) {
            closesocket(SOCKET(s));
        }
    }
    for (const std::vector<Lingering> *list : {&handed, &lingering}) {
        for (const Lingering &l : *list) {
            closesocket(l.socket);
        }
    }
    handed.clear();
    lingering.clear();
    if (listener != INVALID_SOCKET) {
        closesocket(listener);
        listener = INVALID_SOCKET;
    }
    if (winsock) {
        WSACleanup();
        winsock = false;
    }
}

HttpServer::HttpServer() : state_(std::make_unique<State>()) {}

HttpServer::~HttpServer() {
    Stop();
}

HttpServer::Outcome HttpServer::Start(const ListenAddress &address, const ServerLimits &limits,
                                      RequestHandler handler, std::string &error) {
    State &st = *state_;
    st.limits = limits;
    st.handler = std::move(handler);
    const std::string where = TerminalText(HostAndPort(address.host, address.port));
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error = "cannot listen on " + where + ": Winsock did not start";
        return Outcome::AddressUnusable;
    }
    st.winsock = true;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found) !=
            0 ||
        found == nullptr) {
        error = "cannot listen on " + where + ": '" + TerminalText(address.host) +
                "' is not an IP address (such as 127.0.0.1, 0.0.0.0 or [::1])";
        st.CloseEverything();
        return Outcome::AddressUnusable;
    }
    const std::string unservable = UnservableReason(found->ai_addr);
    if (!unservable.empty()) {
        freeaddrinfo(found);
        error = "cannot listen on " + where + ": " + unservable;
        st.CloseEverything();
        return Outcome::AddressUnusable;
    }
    st.listener = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    BOOL exclusive = TRUE; // no other program may bind the same port beside us
    setsockopt(st.listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, (const char *)&exclusive,
               sizeof exclusive);
    int failed = 0;
    if (st.listener == INVALID_SOCKET ||
        bind(st.listener, found->ai_addr, int(found->ai_addrlen)) != 0 ||
        listen(st.listener, SOMAXCONN) != 0) {
        failed = WSAGetLastError();
    }
    freeaddrinfo(found);
    sockaddr_storage bound{};
    int length = sizeof bound;
    if (failed == 0 && getsockname(st.listener, (sockaddr *)&bound, &length) != 0) {
        failed = WSAGetLastError();
    }
    if (failed != 0) {
        error = BindError(where, failed);
        st.CloseEverything();
        return failed == WSAEADDRINUSE ? Outcome::AddressInUse : Outcome::AddressUnusable;
    }
    st.port = ntohs(bound.ss_family == AF_INET6 ? ((sockaddr_in6 *)&bound)->sin6_port
                                                : ((sockaddr_in *)&bound)->sin_port);
    u_long nonBlocking = 1;
    ioctlsocket(st.listener, FIONBIO, &nonBlocking);
    st.pool = std::make_unique<ConnectionPool>(limits.maxConnections,
                                               [&st](uintptr_t s) { st.Serve(SOCKET(s)); });
    st.acceptor = std::thread([&st] { st.AcceptLoop(); });
    return Outcome::Listening;
}

uint16_t HttpServer::port() const {
    return state_->port;
}

uint64_t HttpServer::answered() const {
    return state_->answered;
}

void HttpServer::Stop() {
    state_->CloseEverything();
}
