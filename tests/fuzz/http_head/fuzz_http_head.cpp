// The HTTP request head parser against any bytes a client can send. Checks:
// a prefix of an accepted head is never refused and, once complete, gives the
// same record; bytes added to a refused head never make it acceptable; a
// complete record holds only what the grammar allows, and the head written
// back from it parses to the same record.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "http_request.h"

namespace {

bool SameRecord(const HttpRequest &a, const HttpRequest &b) {
    if (a.method != b.method || a.target != b.target || a.path != b.path ||
        a.minorVersion != b.minorVersion || a.headers.size() != b.headers.size()) {
        return false;
    }
    for (size_t i = 0; i < a.headers.size(); ++i) {
        if (a.headers[i].name != b.headers[i].name || a.headers[i].value != b.headers[i].value) {
            return false;
        }
    }
    return true;
}

bool IsToken(const std::string &text) {
    if (text.empty()) {
        return false;
    }
    for (unsigned char c : text) {
        if (!std::isalnum(c) && std::strchr("!#$%&'*+-.^_`|~", c) == nullptr) {
            return false;
        }
    }
    return true;
}

// What the grammar allows in a complete record.
void CheckRecord(const HttpRequest &request) {
    Require(IsToken(request.method), "the method is a token");
    Require(!request.target.empty(), "the target is not empty");
    for (unsigned char c : request.target) {
        Require(c > 0x20 && c < 0x7F, "the target is visible ASCII");
    }
    Require(request.method == "CONNECT" || request.path == "*" ||
                (!request.path.empty() && request.path[0] == '/'),
            "the path starts with a slash");
    Require(request.path.find_first_of("?#") == std::string::npos, "the path has no query");
    Require(request.minorVersion >= 0 && request.minorVersion <= 9, "HTTP/1.x");
    Require(request.headers.size() <= kMaxHeaderFields, "at most kMaxHeaderFields fields");
    for (const HttpHeader &field : request.headers) {
        Require(IsToken(field.name), "a field name is a token");
        for (unsigned char c : field.value) {
            Require((c >= 0x20 || c == '\t') && c != 0x7F, "a field value has no control byte");
        }
        if (!field.value.empty()) {
            Require(std::strchr(" \t", field.value.front()) == nullptr &&
                        std::strchr(" \t", field.value.back()) == nullptr,
                    "a field value is trimmed");
        }
    }
}

std::string HeadOf(const HttpRequest &request) {
    std::string head = request.method + " " + request.target + " HTTP/1." +
                       std::to_string(request.minorVersion) + "\r\n";
    for (const HttpHeader &field : request.headers) {
        head += field.name + ": " + field.value + "\r\n";
    }
    return head + "\r\n";
}

bool Refused(HeadStatus status) {
    return status == HeadStatus::Malformed || status == HeadStatus::VersionUnsupported;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *bytes = reinterpret_cast<const char *>(data);
    HttpRequest whole;
    const HeadStatus status = ParseRequestHead(bytes, size, whole);

    if (status == HeadStatus::Complete || status == HeadStatus::Incomplete) {
        // Every line end and up to 64 other cut points.
        const size_t step = size / 64 + 1;
        for (size_t cut = 0; cut < size; ++cut) {
            if (cut % step != 0 && bytes[cut] != '\n' && bytes[cut] != '\r') {
                continue;
            }
            HttpRequest part;
            const HeadStatus partStatus = ParseRequestHead(bytes, cut, part);
            Require(partStatus == HeadStatus::Incomplete || partStatus == HeadStatus::Complete,
                    "a prefix of an accepted head is never refused");
            if (partStatus == HeadStatus::Complete) {
                Require(status == HeadStatus::Complete && SameRecord(part, whole),
                        "a complete prefix gives the record of the whole");
            }
        }
    }
    if (Refused(status) && size < kMaxRequestHead - 8) {
        std::string more(bytes, size);
        more += "\r\n\r\nx: y";
        HttpRequest extended;
        Require(ParseRequestHead(more.data(), more.size(), extended) == status,
                "bytes added to a refused head leave it refused alike");
    }
    if (status == HeadStatus::Complete) {
        CheckRecord(whole);
        const std::string again = HeadOf(whole);
        if (again.size() < kMaxRequestHead) {
            HttpRequest reread;
            Require(ParseRequestHead(again.data(), again.size(), reread) == HeadStatus::Complete &&
                        SameRecord(reread, whole),
                    "the head written from a record parses to the same record");
        }
    }
    return 0;
}
