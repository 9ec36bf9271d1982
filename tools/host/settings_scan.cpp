// Lines are split as the platform's profile reader splits them: a section is
// "[name]", a setting "key=value" with the spaces around both dropped, keys
// and section names compared without regard to case, the first of two equal
// keys (or sections) the one read; a value runs to the end of its line.
#include "settings_scan.h"

#include <windows.h>

#include <algorithm>

#include "monitor_link/shared_sensor_block.h"
#include "settings_words.h"
#include "terminal_text.h"
#include "text_output.h"

namespace {

const char kBlanks[] = " \t";

std::string Trimmed(const std::string &text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameKey(const std::string &a, const std::string &b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// True when the text holds a multi-byte UTF-8 sequence and nothing that is not UTF-8.
bool LooksLikeUtf8(const std::string &text) {
    bool multiByte = false;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = text[i];
        if (c < 0x80) {
            continue;
        }
        size_t follow = c >= 0xC2 && c <= 0xDF   ? 1
                        : (c & 0xF0) == 0xE0     ? 2
                        : c >= 0xF0 && c <= 0xF4 ? 3
                                                 : 0;
        if (follow == 0 || i + follow >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        multiByte = true;
        i += follow;
    }
    return multiByte;
}

// Where a comment begins inside a value: ';' or '#' at its start or after a
// blank ('#' also followed by one, so "Fan #2" is a name), else npos.
size_t CommentStart(const std::string &value) {
    for (size_t i = 0; i < value.size(); ++i) {
        bool afterBlank = i == 0 || value[i - 1] == ' ' || value[i - 1] == '\t';
        bool beforeBlank = i + 1 == value.size() || value[i + 1] == ' ' || value[i + 1] == '\t';
        if (afterBlank && (value[i] == ';' || (value[i] == '#' && beforeBlank))) {
            return i;
        }
    }
    return std::string::npos;
}

size_t EditDistance(const std::string &a, const std::string &b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            bool same = tolower(static_cast<unsigned char>(a[i - 1])) ==
                        tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Why the plug-in never reads a key of its section, as the end of a sentence.
std::string UnreadKeyWords(const std::string &key) {
    for (const char *format : {SETTINGS_TEMPERATURE_KEY, SETTINGS_FAN_KEY}) {
        const std::string stem = KeyStem(format);
        if (key.size() > stem.size() && SameKey(key.substr(0, stem.size()), stem) &&
            key.find_first_not_of("0123456789", stem.size()) == std::string::npos) {
            return "sources are numbered " + KeyOf(format, 1) + " to " +
                   KeyOf(format, SENSOR_SLOTS) + " (the block has " + std::to_string(SENSOR_SLOTS) +
                   " of each, and no leading zeros).";
        }
    }
    std::string nearest;
    size_t best = 3; // further than two edits is no misspelling
    for (const std::string &known : SettingsKeys()) {
        size_t distance = EditDistance(key, known);
        if (distance < best) {
            best = distance;
            nearest = known;
        }
    }
    return nearest.empty() ? "it reads only " SETTINGS_USE_FAHRENHEIT ", " +
                                 KeyWithWord(SETTINGS_TEMPERATURE_KEY, "N") + " and " +
                                 KeyWithWord(SETTINGS_FAN_KEY, "N") + "."
                           : "did you mean " + nearest + "?";
}

struct Scanner {
    SettingsScan scan;
    std::string section;      // the current section's name, as written
    bool ours = false;        // inside the first [kelvodyn]
    bool again = false;       // inside a later [kelvodyn], noted once
    int oursLine = 0;         // the line of the first [kelvodyn]
    bool sectionSeen = false; // any section header so far

    void Note(int line, const std::string &sentence) {
        scan.notes.push_back({line, sentence});
    }

    void Section(int line, const std::string &name) {
        sectionSeen = true;
        section = name;
        ours = false;
        again = false;
        if (!SameKey(name, SETTINGS_SECTION)) {
            return;
        }
        if (oursLine == 0) {
            oursLine = line;
            ours = true;
        } else {
            again = true;
            Note(line, "A second [" SETTINGS_SECTION "] section: the reader uses only the first "
                       "(line " +
                           std::to_string(oursLine) +
                           "), so nothing below this line is read; move its settings up there.");
        }
    }

    void Setting(int line, const std::string &key, const std::string &value) {
        if (again) {
            return;
        }
        if (!ours) {
            Note(line, QuotedSetting(key) + " is outside the [" SETTINGS_SECTION "] section (" +
                           (sectionSeen ? "in [" + TerminalText(AnsiToUtf8(section), 40) + "]"
                                        : std::string("before any section")) +
                           "): the plug-in reads only [" SETTINGS_SECTION "].");
            return;
        }
        const std::vector<std::string> keys = SettingsKeys();
        auto known = std::find_if(keys.begin(), keys.end(),
                                  [&](const std::string &k) { return SameKey(k, key); });
        if (known == keys.end()) {
            Note(line,
                 "The plug-in never reads " + QuotedSetting(key) + ": " + UnreadKeyWords(key));
            return;
        }
        auto first = scan.keyLines.find(*known);
        if (first != scan.keyLines.end()) {
            Note(line, *known + " is given again: the reader uses the first one, on line " +
                           std::to_string(first->second) + ".");
            return;
        }
        scan.keyLines[*known] = line;
        size_t comment = CommentStart(value);
        if (comment != std::string::npos) {
            Note(line, "The profile reader has no comments after a value: " +
                           QuotedSetting(value.substr(comment)) + " is part of " + *known +
                           "'s value " + QuotedSetting(value) +
                           ". Put the comment on a line of its own.");
        }
    }

    void Line(int number, const std::string &raw) {
        if (LooksLikeUtf8(raw)) {
            const std::string shown = Trimmed(raw);
            Note(number, "UTF-8 text: the plug-in reads the file in the ANSI code page (" +
                             std::to_string(GetACP()) + "), so '" + TerminalText(shown, 60) +
                             "' shows as " + QuotedSetting(shown) +
                             ". Save the file as ANSI text.");
        }
        const std::string text = Trimmed(raw);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            return;
        }
        if (text[0] == '[') {
            size_t end = text.find(']');
            if (end != std::string::npos) {
                Section(number, Trimmed(text.substr(1, end - 1)));
                return;
            }
        }
        size_t equals = text.find('=');
        if (equals == std::string::npos) {
            Note(number, QuotedSetting(text) + " is no setting (Key=Value), no [section] and no "
                                               "comment: the reader ignores it.");
            return;
        }
        Setting(number, Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1)));
    }
};

} // namespace

std::string QuotedSetting(const std::string &ansi) {
    return QuotedText(AnsiToUtf8(ansi), 60);
}

SettingsScan ScanSettings(const std::string &bytes) {
    Scanner scanner;
    std::string text = bytes;
    if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0) {
        scanner.Note(0, "The file is UTF-16 (Unicode) text: the plug-in's names are ANSI, so "
                        "characters outside the code page turn into '?'. Save it as ANSI text.");
        return scanner.scan;
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        scanner.Note(1, "The file begins with a UTF-8 byte-order mark: Windows' profile reader "
                        "takes it for part of the first line (a [" SETTINGS_SECTION "] there is "
                        "not found) and shows UTF-8 names garbled. Save the file as ANSI text.");
        text.erase(0, 3);
    }
    int number = 1;
    for (size_t start = 0; start <= text.size(); ++number) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        scanner.Line(number, line);
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return scanner.scan;
}
