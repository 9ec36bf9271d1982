// The name rules of the settings file: what the profile reader drops, strips
// and cuts, undone or avoided before the name is written.
#include "settings_name.h"

extern "C" {
#include "module/settings_file.h"
}

namespace {

// The plug-in reads at most this many characters of a name.
const size_t kNameChars = SETTINGS_NAME_CHARS;

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring TrimmedWide(const std::wstring &text) {
    size_t first = 0, last = text.size();
    while (first < last && IsSpace(text[first])) {
        ++first;
    }
    while (last > first && IsSpace(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// The longest start of text whose ANSI form has at most maxBytes bytes, never
// splitting a surrogate pair or a double-byte character.
std::string CutToNameLength(const std::wstring &text, size_t maxBytes,
                            const NameCodePage &codePage) {
    for (size_t chars = text.size(); chars > 0; --chars) {
        if (chars < text.size() && text[chars] >= 0xDC00 && text[chars] <= 0xDFFF) {
            continue; // would split a surrogate pair
        }
        std::string ansi = codePage.toAnsi(TrimmedWide(text.substr(0, chars)));
        if (ansi.size() <= maxBytes) {
            return ansi;
        }
    }
    return "";
}

// The reader strips one pair of like quotes around a value.
bool StrippedByReader(const std::string &name) {
    return name.size() >= 2 && (name.front() == '"' || name.front() == '\'') &&
           name.back() == name.front();
}

} // namespace

std::string SettingsNameIn(const std::string &utf8, const NameCodePage &codePage,
                           const std::string &suffix) {
    std::wstring wide = codePage.fromUtf8(utf8);
    for (wchar_t &c : wide) {
        c = (c < 0x20 || c == 0x7F) ? L' ' : c;
    }
    wide = TrimmedWide(wide);
    const size_t room = suffix.size() < kNameChars ? kNameChars - suffix.size() : 0;
    std::string name = CutToNameLength(wide, room, codePage) + suffix;
    if (StrippedByReader(name) && name.size() == kNameChars) {
        name = CutToNameLength(wide, room - 1, codePage) + suffix;
    }
    return StrippedByReader(name) ? "\"" + name + "\"" : name;
}
