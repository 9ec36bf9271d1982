// Where kdhost --serve listens: "[ADDR:]PORT", 127.0.0.1 when only a port is
// given, so nothing is reachable from other machines unless asked for.
#pragma once

#include <cstdint>
#include <string>

struct ListenAddress {
    std::string host = "127.0.0.1"; // numeric IPv4 or IPv6, without brackets
    uint16_t port = 0;              // 0: a free port the system picks
};

// "9876", "0.0.0.0:9876", "[::1]:9876". False with a sentence in error.
bool ParseListenAddress(const std::string &text, ListenAddress &address, std::string &error);

// "127.0.0.1:9876", with an IPv6 address in brackets: "[::1]:9876".
std::string HostAndPort(const std::string &host, uint16_t port);

// "http://127.0.0.1:9876/".
std::string ListenUrl(const std::string &host, uint16_t port);

// An address of this machine only (127.x.x.x, ::1).
bool Loopback(const std::string &host);

// 0.0.0.0 or ::, the addresses that listen on every interface.
bool EveryInterface(const std::string &host);

// The URL clients use: ListenUrl of the address, or for every interface of
// the machine's name (machineName; "" when unknown: 127.0.0.1).
std::string ServedUrl(const std::string &host, uint16_t port, const std::string &machineName);

// The start line of kdhost --serve, and for an address other machines can
// reach, a second one saying so and that there is no login. The URL names the
// machine (machineName; "" when unknown) where the address is every interface.
std::string ServeStartText(const ListenAddress &address, uint16_t port,
                           const std::string &machineName, bool untilDuration);
