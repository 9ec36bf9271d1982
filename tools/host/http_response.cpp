// Responses are written whole into one buffer and sent in one go; the body's
// length is always given, for HEAD as for GET.
#include "http_response.h"

const char *ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Unknown";
    }
}

HttpResponse ErrorResponse(int status, const std::string &sentence) {
    HttpResponse response;
    response.status = status;
    response.contentType = "text/plain; charset=utf-8";
    response.body = std::to_string(status) + " " + ReasonPhrase(status) + ": " + sentence + "\n";
    return response;
}

std::string ResponseBytes(const HttpResponse &response, bool headOnly) {
    std::string bytes = "HTTP/1.1 " + std::to_string(response.status) + " " +
                        ReasonPhrase(response.status) + "\r\n";
    bytes += "Content-Type: " + response.contentType + "\r\n";
    bytes += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    bytes += "Cache-Control: no-store\r\n";
    bytes += "Connection: close\r\n";
    for (const auto &header : response.headers) {
        bytes += header.first + ": " + header.second + "\r\n";
    }
    bytes += "\r\n";
    if (!headOnly) {
        bytes += response.body;
    }
    return bytes;
}
