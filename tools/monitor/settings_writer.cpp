// Names converted for the profile format, the settings text, and its safe write.
#include "settings_writer.h"

#include <windows.h>

#include "error_words.h"
#include "settings_name.h"
#include "text_output.h"

namespace {

std::string WideToAnsi(const std::wstring &wide) {
    if (wide.empty()) {
        return std::string();
    }
    // No best-fit guesses: what the code page lacks, and U+FFFD for bytes that
    // were no UTF-8, is a plain '?'.
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()),
                                     nullptr, 0, "?", nullptr);
    std::string ansi(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &ansi[0],
                        length, "?", nullptr);
    return ansi;
}

std::string KeyLine(const char *key, size_t number, const std::string &value) {
    return key + std::to_string(number) + "=" + value + "\r\n";
}

// ANSI text (a path from the command line) kept to one comment line.
std::string OneLine(std::string text) {
    for (char &c : text) {
        c = (c == '\r' || c == '\n') ? ' ' : c;
    }
    return text;
}

} // namespace

std::string SettingsName(const std::string &utf8) {
    return SettingsNameIn(utf8, {Utf8ToWide, WideToAnsi});
}

std::string SettingsText(const SensorSelection &selection, bool fahrenheit,
                         const std::string &source) {
    std::string text =
        "; Settings for KelvoDyn.dll, written by kdmonitor --write-settings from the\r\n"
        "; kernel's sensors in " +
        OneLine(source) +
        ".\r\n"
        "; Temperature N and Fan N name the sources in the order kdmonitor --hwmon\r\n"
        "; publishes them; a name may be edited, at most 31 characters.\r\n"
        "\r\n"
        "[kelvodyn]\r\n" +
        "UseFahrenheit=" + (fahrenheit ? "yes" : "no") + "\r\n";
    size_t temps = 0, fans = 0;
    for (const Sensor &sensor : selection.published) {
        bool fan = sensor.group == SourceGroup::Fan;
        text += KeyLine(fan ? "Fan" : "Temperature", fan ? ++fans : ++temps,
                        SettingsName(SensorName(sensor)));
    }
    return text;
}

WriteResult WriteSettingsFile(const std::string &path, const std::string &text, bool replace,
                              std::string &error) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "cannot write " + path + ": it is a folder";
        return WriteResult::Failed;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !replace) {
        return WriteResult::Exists;
    }
    std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    // The temporary file is an inner detail: the sentence names the file asked for.
    auto fail = [&](const std::string &what) {
        error = "cannot write " + path + ": " + what + " (" + ErrorWords(GetLastError()) + ")";
        DeleteFileA(temporary.c_str());
        return WriteResult::Failed;
    };
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot write " + path + ": " + FileErrorWords(path, GetLastError());
        return WriteResult::Failed;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) {
        return fail("writing the temporary file failed");
    }
    // Without replace, a file that appeared meanwhile still makes the rename fail.
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExA(temporary.c_str(), path.c_str(), flags)) {
        if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS) {
            DeleteFileA(temporary.c_str());
            return WriteResult::Exists;
        }
        return fail("the old file stays as it was; it may be open in another program");
    }
    return WriteResult::Written;
}
