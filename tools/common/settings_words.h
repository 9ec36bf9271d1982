// The settings file's words as the tools write, check and quote them, made
// from the plug-in's own definitions (src/module/settings_file.h), so a word
// of the file is spelt in one place only.
#pragma once

#include <string>
#include <vector>

extern "C" {
#include "module/settings_file.h"
}

// A number of settings_file.h as text, for help written at compile time:
// SETTINGS_NUMBER_TEXT(SETTINGS_NAME_CHARS) is "31".
#define SETTINGS_NUMBER_TEXT(number) SETTINGS_NUMBER_TEXT_(number)
#define SETTINGS_NUMBER_TEXT_(number) #number
#define SETTINGS_NAME_CHARS_TEXT SETTINGS_NUMBER_TEXT(SETTINGS_NAME_CHARS)

// The section's header line, [kelvodyn], without its line end.
std::string SettingsSectionLine();

// A key of a source: KeyOf(SETTINGS_FAN_KEY, 2) is "Fan2".
std::string KeyOf(const char *keyFormat, int number);

// The key without its number: Fan for Fan%d.
std::string KeyStem(const char *keyFormat);

// The key with a word for its number: KeyWithWord(SETTINGS_FAN_KEY, "N") is
// "FanN"; a default name's format likewise ("KD fan speed N").
std::string KeyWithWord(const char *keyFormat, const char *word);

// Every key the plug-in reads, in its order: UseFahrenheit, Temperature1 ..
// Temperature32, Fan1 .. Fan32.
std::vector<std::string> SettingsKeys();

// The words a writer uses for yes and no.
const char *YesWord();
const char *NoWord();

// Every yes/no word the plug-in knows, as UTF-8 for a sentence: "yes, 1,
// true, да or no, 0, false, нет".
std::string KnownWordsText();
