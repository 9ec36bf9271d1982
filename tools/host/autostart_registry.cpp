// HKEY_CURRENT_USER, so no administrator is needed and nothing reaches other
// users. The Startup tab's mark lives under Explorer\StartupApproved\Run by
// the same value name: an odd first byte of its data means disabled.
#include "autostart_registry.h"

#include <windows.h>

#include <vector>

#include "error_words.h"

const char kRunKeyShown[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueShown[] = "KelvoDyn serve";

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const wchar_t kValueName[] = L"KelvoDyn serve";

std::string RegistryError(const char *what, LONG code) {
    return std::string("cannot ") + what + " the value \"" + kRunValueShown + "\" of " +
           kRunKeyShown + ": " + ErrorWords(DWORD(code));
}

} // namespace

Registration ReadRegisteredCommand(std::wstring &command, std::string &error) {
    std::vector<wchar_t> data(1024);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD bytes = DWORD(data.size() * sizeof(wchar_t));
        LONG code = RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr,
                                 data.data(), &bytes);
        if (code == ERROR_FILE_NOT_FOUND) {
            return Registration::Absent;
        }
        if (code == ERROR_SUCCESS) {
            command.assign(data.data(), bytes / sizeof(wchar_t));
            command.resize(wcsnlen(command.c_str(), command.size()));
            return Registration::Present;
        }
        if (code != ERROR_MORE_DATA) {
            error = RegistryError("read", code);
            return Registration::Unreadable;
        }
        data.resize(data.size() * 4);
    }
    error = RegistryError("read", ERROR_MORE_DATA);
    return Registration::Unreadable;
}

bool WriteRegisteredCommand(const std::wstring &command, std::string &error) {
    HKEY key = nullptr;
    LONG code = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr);
    if (code == ERROR_SUCCESS) {
        code = RegSetValueExW(key, kValueName, 0, REG_SZ,
                              reinterpret_cast<const BYTE *>(command.c_str()),
                              DWORD((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (code != ERROR_SUCCESS) {
        error = RegistryError("write", code);
        return false;
    }
    return true;
}

bool DeleteRegisteredCommand(std::string &error) {
    HKEY key = nullptr;
    LONG code = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
    if (code == ERROR_SUCCESS) {
        code = RegDeleteValueW(key, kValueName);
        RegCloseKey(key);
    }
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) {
        error = RegistryError("delete", code);
        return false;
    }
    return true;
}

bool StartupDisabled() {
    BYTE data[16] = {};
    DWORD bytes = sizeof data;
    return RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kValueName, RRF_RT_REG_BINARY, nullptr,
                        data, &bytes) == ERROR_SUCCESS &&
           bytes > 0 && (data[0] & 1) != 0;
}

void ClearStartupMark() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, kValueName);
        RegCloseKey(key);
    }
}
