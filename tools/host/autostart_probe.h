// The two questions kdhost --autostart asks of an address: could --serve
// listen there, and does a server answer there now.
#pragma once

#include <windows.h>

#include <string>

#include "listen_address.h"

// Listens on the address and lets it go again, as --serve would start: kExitOk,
// or kExitAddressInUse / kExitAddressUnusable with --serve's own sentence.
int CheckServeAddress(const ListenAddress &listen, std::string &error);

// Whether an HTTP server answers a request for / at the address within
// timeoutMs (for every interface: at the loopback address of its family).
bool ServerAnswers(const ListenAddress &listen, DWORD timeoutMs);
