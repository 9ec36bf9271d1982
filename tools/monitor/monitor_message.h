// kdmonitor's messages to people: one line, "kdmonitor: " first, and escaped,
// since they quote paths, labels and recorded cells that anyone could write.
#pragma once

#include <string>

#include "text_output.h"

// Writes the UTF-8 sentence as one line, control characters escaped and
// anything past a few lines' worth cut.
void Say(const TextStream &stream, const std::string &utf8);

// The same on standard error.
void Warn(const std::string &utf8);
