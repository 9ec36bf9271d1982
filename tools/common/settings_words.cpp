// The key formats hold one "%d" for the source's number.
#include "settings_words.h"

#include <cstdio>

#include "code_pages.h"
#include "monitor_link/shared_sensor_block.h"

namespace {

const char *const kTrueWords[] = SETTINGS_TRUE_WORDS;
const char *const kFalseWords[] = SETTINGS_FALSE_WORDS;
// The Russian words are Windows-1251 bytes, whatever the system's code page.
constexpr unsigned kRussianCodePage = 1251;

template <size_t N> std::string WordList(const char *const (&words)[N]) {
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        text += (i == 0 ? "" : ", ") + WideToUtf8(Widen(words[i], kRussianCodePage));
    }
    return text;
}

} // namespace

std::string SettingsSectionLine() {
    return "[" SETTINGS_SECTION "]";
}

std::string KeyOf(const char *keyFormat, int number) {
    char key[64];
    std::snprintf(key, sizeof key, keyFormat, number);
    return key;
}

std::string KeyStem(const char *keyFormat) {
    const std::string format = keyFormat;
    return format.substr(0, format.find('%'));
}

std::string KeyWithWord(const char *keyFormat, const char *word) {
    std::string format = keyFormat;
    const size_t at = format.find("%d");
    return at == std::string::npos ? format : format.replace(at, 2, word);
}

std::vector<std::string> SettingsKeys() {
    std::vector<std::string> keys{SETTINGS_USE_FAHRENHEIT};
    for (const char *format : {SETTINGS_TEMPERATURE_KEY, SETTINGS_FAN_KEY}) {
        for (int n = 1; n <= SENSOR_SLOTS; ++n) {
            keys.push_back(KeyOf(format, n));
        }
    }
    return keys;
}

const char *YesWord() {
    return kTrueWords[0];
}

const char *NoWord() {
    return kFalseWords[0];
}

std::string KnownWordsText() {
    return WordList(kTrueWords) + " or " + WordList(kFalseWords);
}
