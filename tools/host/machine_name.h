// The name other machines know this one by, for URLs of a server listening
// on every interface.
#pragma once

#include <string>

// The DNS host name, escaped for a terminal; "" when the system has none.
std::string MachineName();
