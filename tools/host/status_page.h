// The page at "/": where the two machine endpoints are, and the current table
// as kdhost prints it, for a person checking a machine from a browser.
#pragma once

#include <string>

#include "served_snapshot.h"

std::string StatusPage(const ServedState &state, const std::string &pluginPath);

// Text made safe inside HTML elements and attribute values.
std::string HtmlEscaped(const std::string &utf8);
