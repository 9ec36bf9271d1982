// The "\\?\" prefix only fits full paths with a drive or a UNC server, and
// takes no "." or ".." parts, which GetFullPathNameW has removed by then.
#include "wide_path.h"

#include <windows.h>

std::wstring WidePath(const std::string &ansiPath) {
    std::wstring wide;
    if (!ansiPath.empty()) {
        int length =
            MultiByteToWideChar(CP_ACP, 0, ansiPath.data(), int(ansiPath.size()), nullptr, 0);
        wide.resize(size_t(length));
        MultiByteToWideChar(CP_ACP, 0, ansiPath.data(), int(ansiPath.size()), &wide[0], length);
    }
    if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) {
        return wide;
    }
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') {
        return L"\\\\?\\" + wide;
    }
    if (wide.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

bool AnsiPath(const std::wstring &widePath, std::string &ansiPath) {
    ansiPath.clear();
    if (widePath.empty()) {
        return true;
    }
    // A UTF-8 code page writes every character, and takes neither of these.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL *lossyOut = utf8 ? nullptr : &lossy;
    int length = WideCharToMultiByte(CP_ACP, flags, widePath.data(), int(widePath.size()), nullptr,
                                     0, nullptr, lossyOut);
    if (length <= 0 || lossy) {
        return false;
    }
    ansiPath.resize(size_t(length));
    WideCharToMultiByte(CP_ACP, flags, widePath.data(), int(widePath.size()), &ansiPath[0], length,
                        nullptr, lossyOut);
    return !lossy;
}

std::wstring FullWidePath(const std::wstring &path) {
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    if (length == 0 || (length = GetFullPathNameW(path.c_str(), length, &full[0], nullptr)) == 0 ||
        length >= full.size()) {
        return path;
    }
    full.resize(length);
    return full;
}

std::string PlainAnsiPath(std::wstring wide) {
    if (wide.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        wide = L"\\\\" + wide.substr(8);
    } else if (wide.rfind(L"\\\\?\\", 0) == 0) {
        wide.erase(0, 4);
    }
    std::string path;
    return AnsiPath(wide, path) ? path : "";
}

std::string FullPath(const std::string &path) {
    std::string ansi = PlainAnsiPath(FullWidePath(WidePath(path)));
    return ansi.empty() ? path : ansi;
}
