// The "\\?\" prefix only fits full paths with a drive or a UNC server, and
// takes no "." or ".." parts, which GetFullPathNameW has removed by then.
#include "wide_path.h"

#include <windows.h>

#include "code_pages.h"

namespace {

const wchar_t kPrefix[] = L"\\\\?\\";
const wchar_t kUncPrefix[] = L"\\\\?\\UNC\\";

} // namespace

bool HasLongPathPrefix(const std::wstring &path) {
    return path.rfind(kPrefix, 0) == 0;
}

std::wstring WithoutLongPathPrefix(const std::wstring &path) {
    if (path.rfind(kUncPrefix, 0) == 0) {
        return L"\\\\" + path.substr(wcslen(kUncPrefix));
    }
    return HasLongPathPrefix(path) ? path.substr(wcslen(kPrefix)) : path;
}

std::wstring WidePath(const std::string &path) {
    std::wstring wide = Utf8ToWide(path);
    if (wide.size() < MAX_PATH || HasLongPathPrefix(wide)) {
        return wide;
    }
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') {
        return kPrefix + wide;
    }
    if (wide.rfind(L"\\\\", 0) == 0) {
        return kUncPrefix + wide.substr(2);
    }
    return wide;
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

std::string PlainPath(const std::wstring &wide) {
    return WideToUtf8(WithoutLongPathPrefix(wide));
}

std::string PlainAnsiPath(const std::wstring &wide) {
    std::string path;
    return NarrowExactly(WithoutLongPathPrefix(wide), CP_ACP, path) ? path : "";
}

std::string FullPath(const std::string &path) {
    std::string full = PlainPath(FullWidePath(WidePath(path)));
    return full.empty() ? path : full;
}

bool AnsiFormOfPath(const std::string &path, std::string &ansi) {
    return NarrowExactly(Utf8ToWide(path), CP_ACP, ansi);
}
