// The head of an HTTP/1.x request (request line and header fields) parsed from
// the bytes received so far into a record, within hard limits. No sockets here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The largest request head accepted, from the first byte to the empty line.
constexpr size_t kMaxRequestHead = 8192;
constexpr size_t kMaxHeaderFields = 100;

struct HttpHeader {
    std::string name; // as sent; compare without regard to case
    std::string value;
};

struct HttpRequest {
    std::string method;   // "GET", case as sent (methods are case-sensitive)
    std::string target;   // as sent: "/metrics?x=1" or "http://host:9876/metrics"
    std::string path;     // the target's path alone: "/metrics"
    int minorVersion = 1; // HTTP/1.0 or HTTP/1.1
    std::vector<HttpHeader> headers;
};

enum class HeadStatus {
    Incomplete,         // no empty line yet, and nothing wrong so far
    Complete,           // the record is filled
    Malformed,          // 400: not a request line, a broken header field, or lengths that differ
    TooLarge,           // 431: no end within kMaxRequestHead bytes, or too many fields
    VersionUnsupported, // 505: a well-formed line of another HTTP version
};

// Reads bytes[0, size) as the start of a request. Bytes after the head (a
// body, a pipelined request) are left alone. Fills request only when Complete.
HeadStatus ParseRequestHead(const char *bytes, size_t size, HttpRequest &request);
