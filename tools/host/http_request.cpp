// Parses a request head as RFC 9112 describes it, strictly: a request line of
// token, target and version separated by single spaces, then "name: value"
// fields. Checks the first line while it is still arriving, so bytes that
// cannot be HTTP (a TLS hello, binary garbage) are refused at once.
#include "http_request.h"

#include <cstring>
#include <string_view>

namespace {

bool IsTokenChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c != 0 && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

bool AllTokenChars(std::string_view text) {
    for (unsigned char c : text) {
        if (!IsTokenChar(c)) {
            return false;
        }
    }
    return true;
}

bool AllVisible(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

// Field values: visible characters, spaces, tabs and bytes above 0x7F.
bool IsFieldValueText(std::string_view text) {
    for (unsigned char c : text) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            return false;
        }
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string_view WithoutQuery(std::string_view target) {
    return target.substr(0, target.find_first_of("?#"));
}

// The path of an origin-form ("/x?y") or absolute-form ("http://host/x") target;
// false for a target of neither form.
bool PathOfTarget(std::string_view target, std::string &path) {
    if (target[0] == '/' || target == "*") {
        path = std::string(WithoutQuery(target));
        return true;
    }
    for (std::string_view scheme : {"http://", "https://"}) {
        if (StartsWithNoCase(target, scheme)) {
            std::string_view rest = WithoutQuery(target.substr(scheme.size()));
            size_t slash = rest.find('/');
            path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
            return true;
        }
    }
    return false;
}

// The request line, whole or the part received so far. Incomplete means
// nothing is wrong yet; a whole line is then filled into request.
HeadStatus CheckRequestLine(std::string_view line, bool whole, HttpRequest &request) {
    const size_t npos = std::string_view::npos;
    size_t methodEnd = line.find(' ');
    std::string_view method = line.substr(0, methodEnd);
    if (!AllTokenChars(method) || (methodEnd != npos && method.empty())) {
        return HeadStatus::Malformed;
    }
    if (methodEnd == npos) {
        return whole ? HeadStatus::Malformed : HeadStatus::Incomplete;
    }
    size_t targetEnd = line.find(' ', methodEnd + 1);
    std::string_view target = line.substr(methodEnd + 1, targetEnd - methodEnd - 1);
    if (!AllVisible(target) || (targetEnd != npos && target.empty())) {
        return HeadStatus::Malformed;
    }
    if (targetEnd == npos) {
        return whole ? HeadStatus::Malformed : HeadStatus::Incomplete;
    }
    std::string_view version = line.substr(targetEnd + 1);
    const std::string_view pattern = "HTTP/#.#";
    if (version.size() > pattern.size()) {
        return HeadStatus::Malformed;
    }
    for (size_t i = 0; i < version.size(); ++i) {
        bool fits =
            pattern[i] == '#' ? version[i] >= '0' && version[i] <= '9' : version[i] == pattern[i];
        if (!fits) {
            return HeadStatus::Malformed;
        }
    }
    if (version.size() < pattern.size()) {
        return whole ? HeadStatus::Malformed : HeadStatus::Incomplete;
    }
    if (!whole) {
        return HeadStatus::Incomplete;
    }
    if (version[5] != '1') {
        return HeadStatus::VersionUnsupported;
    }
    std::string path;
    if (!PathOfTarget(target, path) && method != "CONNECT") {
        return HeadStatus::Malformed;
    }
    request.method = std::string(method);
    request.target = std::string(target);
    request.path = path;
    request.minorVersion = version[7] - '0';
    return HeadStatus::Complete;
}

// "name: value", no space before the colon, no folded continuation line.
bool ParseHeaderField(std::string_view line, HttpHeader &field) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 || !AllTokenChars(line.substr(0, colon))) {
        return false;
    }
    std::string_view value = line.substr(colon + 1);
    size_t first = value.find_first_not_of(" \t");
    size_t last = value.find_last_not_of(" \t");
    value = first == std::string_view::npos ? "" : value.substr(first, last - first + 1);
    if (!IsFieldValueText(value)) {
        return false;
    }
    field.name = std::string(line.substr(0, colon));
    field.value = std::string(value);
    return true;
}

bool EqualsNoCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() && StartsWithNoCase(text, lower);
}

// Content-Length as framing allows it: every value, in one field or several,
// in a list or not, is the same run of digits (leading zeros aside). Two
// lengths that differ are how a request is smuggled past a proxy that takes
// the other one; such a request is malformed, as is a length that is no number.
bool ContentLengthsAgree(const std::vector<HttpHeader> &headers) {
    std::string_view agreed;
    bool seen = false;
    for (const HttpHeader &field : headers) {
        if (!EqualsNoCase(field.name, "content-length")) {
            continue;
        }
        std::string_view rest = field.value;
        for (;;) {
            const size_t comma = rest.find(',');
            std::string_view item = rest.substr(0, comma);
            const size_t first = item.find_first_not_of(" \t");
            const size_t last = item.find_last_not_of(" \t");
            item = first == std::string_view::npos ? "" : item.substr(first, last - first + 1);
            if (item.empty() || item.find_first_not_of("0123456789") != std::string_view::npos) {
                return false;
            }
            const size_t significant = item.find_first_not_of('0');
            item = significant == std::string_view::npos ? "0" : item.substr(significant);
            if (seen && item != agreed) {
                return false;
            }
            agreed = item;
            seen = true;
            if (comma == std::string_view::npos) {
                break;
            }
            rest = rest.substr(comma + 1);
        }
    }
    return true;
}

// The next line ended by LF, without its CR; false when no LF has come yet.
bool NextLine(std::string_view bytes, size_t &at, std::string_view &line) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) {
        return false;
    }
    line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    at = end + 1;
    return true;
}

} // namespace

HeadStatus ParseRequestHead(const char *bytes, size_t size, HttpRequest &request) {
    // Only the first kMaxRequestHead bytes can hold a head we accept.
    std::string_view head(bytes, size < kMaxRequestHead ? size : kMaxRequestHead);
    const HeadStatus unfinished =
        size >= kMaxRequestHead ? HeadStatus::TooLarge : HeadStatus::Incomplete;
    size_t at = 0;
    std::string_view line;
    // Empty lines before the request line are ignored, as clients may send them.
    do {
        if (!NextLine(head, at, line)) {
            std::string_view partial = head.substr(at);
            if (!partial.empty() && partial.back() == '\r') {
                partial.remove_suffix(1);
            }
            HeadStatus status = CheckRequestLine(partial, false, request);
            return status == HeadStatus::Incomplete ? unfinished : status;
        }
    } while (line.empty());

    HttpRequest parsed;
    HeadStatus status = CheckRequestLine(line, true, parsed);
    if (status != HeadStatus::Complete) {
        return status;
    }
    for (;;) {
        if (!NextLine(head, at, line)) {
            return unfinished;
        }
        if (line.empty()) {
            break;
        }
        HttpHeader field;
        if (!ParseHeaderField(line, field)) {
            return HeadStatus::Malformed;
        }
        if (parsed.headers.size() == kMaxHeaderFields) {
            return HeadStatus::TooLarge;
        }
        parsed.headers.push_back(std::move(field));
    }
    if (!ContentLengthsAgree(parsed.headers)) {
        return HeadStatus::Malformed;
    }
    request = std::move(parsed);
    return HeadStatus::Complete;
}
