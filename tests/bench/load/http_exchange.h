// One HTTP exchange on a new loopback connection, as Prometheus and curl make
// them: connect, send the request, read until the server closes, close.
#pragma once

#include <cstdint>
#include <string>

struct Exchange {
    bool whole = false; // a status line, and a body of exactly Content-Length bytes
    int status = 0;
    double ms = 0;      // from before connecting to after closing
    std::string failure; // why it is not whole, for the report
};

// GET path from 127.0.0.1:port; every wait is bounded by timeoutMs.
Exchange GetOnce(uint16_t port, const std::string &path, unsigned timeoutMs);

// The status and whether the answer is whole, from every byte that came back.
Exchange ParseAnswer(const std::string &raw);
