// Untrusted text made safe to show a person: control characters and bytes
// that are no UTF-8 appear escaped, and long text is cut. Portable.
#pragma once

#include <cstddef>
#include <string>

// The text with every C0 and C1 control character, DEL and every byte that is
// not part of valid UTF-8 written visibly (\e, \a, \r, \n, \t, \x7f, \u009b,
// \xff), so nothing reaches a terminal as a command.
// At most maxChars characters of the input are kept; a cut ends in "...".
std::string TerminalText(const std::string &text, size_t maxChars = 200);

// Text whose end matters as much as its start (a path: its folder and its
// file's name), escaped as TerminalText does; past maxChars characters, its
// first and last halves with "..." between.
std::string TerminalTextBothEnds(const std::string &text, size_t maxChars);

// Paths run longer than other quoted text: cut later, and only when absurd
// (any path a person types stays whole; 30,000 characters do not).
constexpr size_t kPathChars = 1024;

// A path as every message shows it: TerminalTextBothEnds at kPathChars.
std::string PathText(const std::string &utf8Path);

// Text as a sentence quotes it: 'text', made safe by TerminalText and cut at
// maxChars.
std::string QuotedText(const std::string &utf8, size_t maxChars);
