// The settings file line by line, as the profile reader splits it, for what it
// reads differently from what its author meant: text in another encoding,
// comments after values, keys the plug-in never asks for.
#pragma once

#include <map>
#include <string>
#include <vector>

struct SettingsNote {
    int line = 0; // 1-based; 0 for the file as a whole
    std::string sentence;
};

struct SettingsScan {
    std::vector<SettingsNote> notes;
    // The keys the plug-in reads, as it spells them ("Fan2"), and the line of
    // the entry the reader uses.
    std::map<std::string, int> keyLines;
};

// bytes: the whole file. Sentences quote the file's text as UTF-8, made safe
// for a terminal.
SettingsScan ScanSettings(const std::string &bytes);

// Text of the file (ANSI) as a sentence quotes it, shown as the plug-in will
// show it: 'text' in UTF-8, made safe for a terminal, cut at 60 characters.
std::string QuotedSetting(const std::string &ansi);
