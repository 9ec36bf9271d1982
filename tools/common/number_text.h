// Numbers as text for people and for machines.
#pragma once

#include <cstddef>
#include <string>

// The shortest decimal that reads back as the very same float ("45.5", "7000").
std::string ShortestFloat(float value);

// At most `decimals` decimals, trailing zeros dropped: the monitor's own
// resolution ("38.88" for 38.879997, "45.5", "52"; whole numbers with 0).
std::string ResolutionText(float value, int decimals);

// A fixed number of decimals, as the table shows a reading ("45.50", "900").
std::string FixedFloat(float value, int decimals);

// "1 fan", "3 fans": a count with its noun in the singular or the plural.
std::string Counted(size_t count, const char *one, const char *many);
