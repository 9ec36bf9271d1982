// --serve's [ADDR:]PORT against any text. Checks: an accepted address has a
// port of digits alone and a host that is not empty, and the address written
// back (HostAndPort, the URL's part) reads back as the same address; a
// refused one says why.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "listen_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    ListenAddress address;
    std::string error;
    if (!ParseListenAddress(text, address, error)) {
        Require(!error.empty(), "a refused address says why");
        return 0;
    }
    Require(error.empty(), "an accepted address leaves no error");
    Require(!address.host.empty(), "an accepted address has a host");
    const std::string written = HostAndPort(address.host, address.port);
    Require(text.find(':') == std::string::npos ||
                text.substr(text.rfind(':') + 1).find_first_not_of("0123456789") ==
                    std::string::npos,
            "the port is digits alone");
    ListenAddress again;
    Require(ParseListenAddress(written, again, error) && again.host == address.host &&
                again.port == address.port,
            "the address written back reads as the same address");
    Require(ListenUrl(address.host, address.port) == "http://" + written + "/",
            "the URL holds the address as written");
    return 0;
}
