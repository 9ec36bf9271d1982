// Numbers as text for people and for machines.
#pragma once

#include <string>

// The shortest decimal that reads back as the very same float ("45.5", "7000").
std::string ShortestFloat(float value);

// A fixed number of decimals, as the table shows a reading ("45.50", "900").
std::string FixedFloat(float value, int decimals);
