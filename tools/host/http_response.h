// An HTTP response as a record, and its bytes on the wire. Every response
// closes the connection, so each says so and gives its exact length.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // beyond the usual ones
};

const char *ReasonPhrase(int status);

// A short plain-text answer for an error status; it never repeats the request.
HttpResponse ErrorResponse(int status, const std::string &sentence);

// Status line, headers and, unless headOnly (a HEAD request), the body.
std::string ResponseBytes(const HttpResponse &response, bool headOnly);
