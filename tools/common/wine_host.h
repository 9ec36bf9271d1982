// Whether a tool runs under Wine rather than Windows, for advice that differs
// between the two (Wine keeps named objects per prefix, Windows per session).
#pragma once

#include <string>

// True when ntdll exports wine_get_version, as only Wine's does.
// Test hook: with the environment variable KD_ASSUME_WINDOWS set to 1 it
// answers false, so the Windows wording can be checked under Wine.
bool RunsUnderWine();

// The Wine prefix this program runs in, as WINEPREFIX names it, or empty when
// the variable is not set (Wine then uses ~/.wine).
std::string WinePrefix();
