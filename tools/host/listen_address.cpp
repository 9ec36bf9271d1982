// Only the form is checked here; whether the address is one of this machine's
// is known when the server binds it.
#include "listen_address.h"

#include "option_values.h"

bool ParseListenAddress(const std::string &text, ListenAddress &address, std::string &error) {
    std::string host = "127.0.0.1";
    std::string port = text;
    if (!text.empty() && text[0] == '[') {
        size_t close = text.find("]:");
        if (close == std::string::npos || close == 1) {
            error = "--serve takes [ADDR:]PORT, with an IPv6 address in brackets: [::1]:9876";
            return false;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else if (text.find(':') != std::string::npos) {
        size_t colon = text.find(':');
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.empty() || port.find(':') != std::string::npos) {
            error = "--serve takes [ADDR:]PORT, e.g. 9876 or 0.0.0.0:9876 (an IPv6 address "
                    "goes in brackets: [::1]:9876)";
            return false;
        }
    }
    if (host.find_first_of("[]") != std::string::npos) {
        error = "--serve takes [ADDR:]PORT, with brackets only around a whole IPv6 address: "
                "[::1]:9876";
        return false;
    }
    int64_t number = 0;
    if (!ParseInteger(port, 0, 65535, number) ||
        port.find_first_not_of("0123456789") != std::string::npos) {
        error = "--serve needs a port from 0 to 65535 (0: any free port), not '" + port + "'";
        return false;
    }
    address.host = host;
    address.port = uint16_t(number);
    return true;
}

std::string HostAndPort(const std::string &host, uint16_t port) {
    bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ListenUrl(const std::string &host, uint16_t port) {
    return "http://" + HostAndPort(host, port) + "/";
}
