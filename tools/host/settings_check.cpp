// The names and the unit come from the plug-in's own profile call and yes/no
// words (src/module/settings_file.c), so what is printed is what the plug-in
// will show; the line scan says why where that differs from the file's text.
#include "settings_check.h"

#include <algorithm>

#include "error_words.h"
#include "exit_codes.h"
#include "file_access.h"
#include "number_text.h"
#include "settings_scan.h"
#include "settings_words.h"
#include "terminal_text.h"
#include "text_output.h"
#include "wide_path.h"

extern "C" {
#include "module/settings_path.h"
}

namespace {

// A default no file can hold: the key is missing.
const char kMissing[] = "\x01";

struct GivenKey {
    std::string key;
    std::string value; // as the reader answers it, whole
    int line;
};

int LineOf(const SettingsScan &scan, const std::string &key) {
    auto found = scan.keyLines.find(key);
    return found == scan.keyLines.end() ? 0 : found->second;
}

std::string FahrenheitNote(const GivenKey &given) {
    std::string word = given.value.substr(0, SETTINGS_WORD_CHARS);
    if (given.value.empty() || SettingsWord(word.c_str()) >= 0) {
        return "";
    }
    std::string counted = given.value.size() > SETTINGS_WORD_CHARS
                              ? " (only its first " + std::to_string(SETTINGS_WORD_CHARS) +
                                    " characters count: " + QuotedSetting(word) + ")"
                              : "";
    return given.key + "=" + QuotedSetting(given.value) + counted +
           " is no word the plug-in knows (" + KnownWordsText() +
           ", in any case), so temperatures stay in degrees Celsius.";
}

// Names the host will show: cut ones, and equal ones within a group.
void NameNotes(const std::vector<GivenKey> &given, std::vector<SettingsNote> &notes) {
    for (size_t i = 0; i < given.size(); ++i) {
        const GivenKey &g = given[i];
        if (g.key == SETTINGS_USE_FAHRENHEIT) {
            continue;
        }
        const std::string name = g.value.substr(0, SETTINGS_NAME_CHARS);
        if (g.value.size() > SETTINGS_NAME_CHARS) {
            notes.push_back({g.line, g.key + " is " + std::to_string(g.value.size()) +
                                         " characters long; the plug-in shows only the first " +
                                         std::to_string(SETTINGS_NAME_CHARS) + ": " +
                                         QuotedSetting(name) + "."});
        }
        // The keys are the plug-in's own spelling: a fan's starts with the fans' stem.
        auto group = [](const std::string &key) {
            return key.rfind(KeyStem(SETTINGS_FAN_KEY), 0) == 0;
        };
        for (size_t j = 0; j < i; ++j) {
            if (!name.empty() && group(given[j].key) == group(g.key) &&
                given[j].value.substr(0, SETTINGS_NAME_CHARS) == name) {
                notes.push_back({g.line, g.key + " is called " + QuotedSetting(name) + " like " +
                                             given[j].key + " (line " +
                                             std::to_string(given[j].line) +
                                             "): the host shows two sources of one name."});
                break;
            }
        }
    }
}

std::string NoteLines(const SettingsNote &note) {
    std::string head = note.line > 0 ? "line " + std::to_string(note.line) + ": " : "file: ";
    std::string text;
    for (const std::string &line : WrapWords(note.sentence, 78 - head.size())) {
        text += (text.empty() ? head : std::string(head.size(), ' ')) + line + "\n";
    }
    return text;
}

// A settings file is a few lines; past this it is some other file.
constexpr size_t kLargestFile = 1 << 20;

// The settings file beside a plug-in, as a full path.
std::string SettingsBeside(const std::string &pluginPath) {
    std::string buffer = FullPath(pluginPath);
    buffer.resize(buffer.size() + sizeof SETTINGS_EXTENSION);
    ReplaceExtension(&buffer[0], SETTINGS_EXTENSION);
    return buffer.c_str();
}

// A sentence as lines of at most 78 characters.
std::string Paragraph(const std::string &sentence) {
    std::string text;
    for (const std::string &line : WrapWords(sentence, 78)) {
        text += line + "\n";
    }
    return text;
}

} // namespace

std::string UnreachableSettingsNote(const std::string &pluginPath) {
    std::string ansi;
    const std::string path = SettingsBeside(pluginPath);
    if (AnsiFormOfPath(path, ansi)) {
        return "";
    }
    const std::string sentence =
        "The plug-in's folder has characters the ANSI code page (" + std::to_string(GetACP()) +
        ") lacks, and the plug-in looks for its settings file through an ANSI path: it "
        "cannot find " +
        ShownPath(path) + ", so every source keeps its default name (" +
        KeyWithWord(SETTINGS_TEMPERATURE_NAME, "N") + ", " + KeyWithWord(SETTINGS_FAN_NAME, "N") +
        "), in degrees Celsius. Settings of your own need a folder whose name the code page "
        "has.";
    return Paragraph(sentence);
}

std::string SettingsReport(const std::string &bytes, const std::string &fullPath, size_t &fixes) {
    SettingsScan scan = ScanSettings(bytes);
    // The profile reader takes ANSI paths only; CheckSettings has made sure there is one.
    std::string ansiPath;
    AnsiFormOfPath(fullPath, ansiPath);
    std::vector<GivenKey> given;
    // Room for the whole file, so no value is cut and its real length is told.
    const uint32_t wholeValue = uint32_t(bytes.size()) + sizeof kMissing + 1;
    for (const std::string &key : SettingsKeys()) {
        std::string value(wholeValue, '\0');
        value.resize(
            ReadSettingsFile(ansiPath.c_str(), key.c_str(), kMissing, &value[0], wholeValue));
        if (value != kMissing) {
            given.push_back({key, value, LineOf(scan, key)});
        }
    }
    std::vector<SettingsNote> notes = scan.notes;
    if (!given.empty() && given[0].key == SETTINGS_USE_FAHRENHEIT) {
        std::string note = FahrenheitNote(given[0]);
        if (!note.empty()) {
            notes.push_back({given[0].line, note});
        }
    }
    NameNotes(given, notes);
    std::stable_sort(notes.begin(), notes.end(),
                     [](const SettingsNote &a, const SettingsNote &b) { return a.line < b.line; });

    std::string text = "Settings file: " + ShownPath(fullPath) + "\n";
    for (const SettingsNote &note : notes) {
        text += NoteLines(note);
    }
    text += "\nAs the plug-in reads it (ANSI code page " + std::to_string(GetACP()) + "):\n";
    bool fahrenheit = false;
    for (const GivenKey &g : given) {
        if (g.key == SETTINGS_USE_FAHRENHEIT) {
            fahrenheit = SettingsWord(g.value.substr(0, SETTINGS_WORD_CHARS).c_str()) == 1;
            continue;
        }
        std::string name = g.value.substr(0, SETTINGS_NAME_CHARS);
        text += "  " + g.key + std::string(14 - g.key.size(), ' ') +
                (name.empty() ? "(no name)" : TerminalText(AnsiToUtf8(name), 60)) + "\n";
    }
    text += std::string("  temperatures  degrees ") + (fahrenheit ? "Fahrenheit" : "Celsius") +
            "\n  the others    their default names (" +
            KeyWithWord(SETTINGS_TEMPERATURE_NAME, "N") + ", " +
            KeyWithWord(SETTINGS_FAN_NAME, "N") + ")\n";
    fixes = notes.size();
    text += "\n" +
            (fixes == 0 ? std::string("Nothing to fix.")
                        : Counted(fixes, "thing", "things") + " to fix.") +
            "\n";
    return text;
}

int CheckSettings(const std::string &file, const std::string &pluginPath, const TextStream &out,
                  std::string &error) {
    // The profile reader looks for a file without a full path in the Windows folder.
    const std::string path = file.empty() ? SettingsBeside(pluginPath) : FullPath(file);
    std::string ansi;
    if (!AnsiFormOfPath(path, ansi)) {
        if (file.empty()) {
            // The plug-in finds no file there, whether one lies there or not.
            WriteText(out, UnreachableSettingsNote(pluginPath));
            return KindOfPath(path) == PathKind::Missing ? kExitOk : kExitNo;
        }
        error = "cannot read the settings file " + ShownPath(path) +
                " as the plug-in does: the profile reader it uses takes only ANSI paths, and "
                "this one has characters the ANSI code page (" +
                std::to_string(GetACP()) +
                ") lacks (a plug-in in that folder could not read it either); copy it to a "
                "folder whose name the code page has";
        return kExitFileFailed;
    }
    std::string bytes;
    DWORD code = 0;
    if (!ReadWholeFile(path, kLargestFile, bytes, code)) {
        // No file beside the plug-in is a setting too: the plug-in's defaults.
        if (file.empty() && code == ERROR_FILE_NOT_FOUND) {
            WriteText(out,
                      Paragraph("There is no settings file beside the plug-in (" + ShownPath(path) +
                                "): the defaults apply, every source keeps its default "
                                "name (" +
                                KeyWithWord(SETTINGS_TEMPERATURE_NAME, "N") + ", " +
                                KeyWithWord(SETTINGS_FAN_NAME, "N") + "), in degrees Celsius.") +
                          "\nNothing to fix.\n");
            return kExitOk;
        }
        error = "cannot read the settings file " + ShownPath(path) + ": " +
                (code == 0 ? "it is larger than 1 MiB, which no settings file is"
                           : FileErrorWords(path, code));
        return kExitFileFailed;
    }
    size_t fixes = 0;
    WriteText(out, SettingsReport(bytes, path, fixes));
    return fixes == 0 ? kExitOk : kExitNo;
}
