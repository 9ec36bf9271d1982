// Reading what kdhost prints through a pipe: its frames and table rows.
#pragma once

#include <string>
#include <vector>

// The lines of text, without the empty one after the last newline.
std::vector<std::string> Lines(const std::string &text);

// --watch frames written to a pipe, one after another with a blank line between;
// a frame still being written (no blank line after it yet) is left out unless
// the tool has ended.
std::vector<std::string> CompleteFrames(const std::string &output, bool ended);

// The table row of the source with this name in a table or frame, or "".
std::string RowOf(const std::string &table, const std::string &name);

// How many table rows (lines that start with a source index) the text holds.
size_t RowCount(const std::string &table);

// The line of the source with this index in kdhost --json output, or "".
std::string JsonLineOf(const std::string &json, int index);

// Text with line ends turned into spaces, undoing kdhost's wrapping of sentences.
std::string Unwrapped(std::string text);

// The degree sign as kdhost writes it to a pipe: UTF-8.
extern const std::string kDegreesUtf8;
