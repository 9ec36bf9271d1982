// Only the form is checked here; whether the address is one of this machine's
// is known when the server binds it.
#include "listen_address.h"

#include "option_values.h"
#include "terminal_text.h"

namespace {

// Four decimal numbers of 0 to 255 without leading zeros: the system's parser
// also takes "0" (every interface), "127.1" and octal "010.0.0.1", which
// would listen where the user did not mean.
bool WholeIpv4(const std::string &host) {
    size_t parts = 0;
    for (size_t at = 0; at <= host.size(); ++parts) {
        size_t end = host.find('.', at);
        end = end == std::string::npos ? host.size() : end;
        std::string part = host.substr(at, end - at);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string::npos ||
            (part.size() > 1 && part[0] == '0') || std::stoi(part) > 255) {
            return false;
        }
        at = end + 1;
    }
    return parts == 4;
}

} // namespace

bool Loopback(const std::string &host) {
    return host.rfind("127.", 0) == 0 || host == "::1";
}

bool EveryInterface(const std::string &host) {
    return host == "0.0.0.0" || host == "::";
}

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
        error = "--serve needs a port from 0 to 65535 (0: any free port), not '" +
                TerminalText(port) + "'";
        return false;
    }
    if (host.find(':') == std::string::npos && !WholeIpv4(host)) {
        error = "--serve: '" + TerminalText(host) +
                "' is not an IP address in full: write an IPv4 address as four numbers "
                "(0.0.0.0:9876 for every interface), or the port alone for this machine only";
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

std::string ServedUrl(const std::string &host, uint16_t port, const std::string &machineName) {
    // 0.0.0.0 in a URL reaches nothing; the machine's name does, from here and elsewhere.
    if (EveryInterface(host)) {
        return ListenUrl(machineName.empty() ? "127.0.0.1" : machineName, port);
    }
    return ListenUrl(host, port);
}

std::string ServeStartText(const ListenAddress &address, uint16_t port,
                           const std::string &machineName, bool untilDuration) {
    const bool every = EveryInterface(address.host);
    std::string text = "kdhost: serving " + ServedUrl(address.host, port, machineName) +
                       " (metrics at /metrics, JSON at /data.json)" +
                       (untilDuration ? "; stops after the duration or Ctrl+C" : "; Ctrl+C stops") +
                       "\n";
    if (!Loopback(address.host)) {
        text += "kdhost: listening on " +
                (every ? "every network interface (" + HostAndPort(address.host, port) + ")"
                       : HostAndPort(address.host, port)) +
                ": other machines can reach this endpoint, and it has no login; allow the port "
                "in the firewall to trusted machines only\n";
    }
    return text;
}
