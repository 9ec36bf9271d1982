// Scratch copies of the plug-in for settings-file tests.
#include "plugin_copy.h"

#include <windows.h>

#include <fstream>

extern "C" {
#include "module/settings_file.h"
}

namespace {

std::string ScratchRoot() {
    std::string root = BuildDir() + "\\scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

void RemoveFolder(const std::string &folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name != "." && name != "..") {
                ::DeleteFileA((folder + "\\" + name).c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

PluginCopy::PluginCopy(const std::string &folder, const std::string &file)
    : folder_(ScratchRoot() + "\\" + folder), file_(file) {
    size_t dot = file.find_last_of('.');
    settingsName_ = (dot == std::string::npos ? file : file.substr(0, dot)) + ".ini";
    RemoveFolder(folder_);
    ok_ = CreateDirectoryA(folder_.c_str(), nullptr) &&
          CopyFileA(BuiltPluginPath().c_str(), (folder_ + "\\" + file_).c_str(), FALSE);
}

PluginCopy::~PluginCopy() {
    RemoveFolder(folder_);
}

void PluginCopy::WriteFile(const std::string &name, const std::string &bytes) const {
    std::ofstream out(folder_ + "\\" + name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void PluginCopy::DeleteFile(const std::string &name) const {
    ::DeleteFileA((folder_ + "\\" + name).c_str());
}

void PluginCopy::WriteSettings(const std::string &bytes) const {
    WriteFile(settingsName_, bytes);
}

std::unique_ptr<Plugin> PluginCopy::Load() const {
    std::string path = folder_ + "\\" + file_;
    if (file_.find('.') == std::string::npos) {
        path += ".";
    }
    return std::make_unique<Plugin>(path);
}

std::string SettingsText(std::initializer_list<std::string> lines) {
    std::string text = "[" SETTINGS_SECTION "]\r\n";
    for (const std::string &line : lines) {
        text += line + "\r\n";
    }
    return text;
}

LongPathCopy::LongPathCopy(size_t minLength) {
    const std::string root = ScratchRoot();
    std::wstring folder = L"\\\\?\\" + std::wstring(root.begin(), root.end());
    while (folder.size() - 4 + 14 < minLength) {
        folder += L"\\" + std::wstring(40, L'd');
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return;
        }
        folders_.push_back(folder);
    }
    // CopyFileW does not take such paths under Wine; CreateFileW does.
    std::ifstream source(BuiltPluginPath(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    path_ = folder + L"\\KelvoDyn.dll";
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ok_ = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
          written == bytes.size();
    CloseHandle(file);
}

LongPathCopy::~LongPathCopy() {
    DeleteFileW(path_.c_str());
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
        RemoveDirectoryW(folder->c_str());
    }
}
