// Folders and files through the Windows functions; links and the final
// removal through the Linux shell, which Wine starts but cannot wait for:
// each shell command ends by creating or removing a marker that is polled.
#include "sensor_tree.h"

#include <windows.h>

#include <fstream>

#include "support/processes.h"

namespace {

// The Unix path of a Windows one, from Wine; "" outside Wine.
std::string UnixPath(const std::string &windowsPath) {
    using ToUnix = char *(CDECL *)(const WCHAR *);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        return "";
    }
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char *unix = toUnix(wide.c_str());
    std::string path = unix != nullptr ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::string Quoted(const std::string &text) {
    return "'" + text + "'";
}

bool Exists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a shell command line and waits until the path exists (or is gone).
bool RunShell(const std::string &command, const std::string &watched, bool toExist) {
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return false;
    }
    for (HANDLE handle : {info.hProcess, info.hThread}) {
        if (handle != nullptr) {
            CloseHandle(handle); // Wine gives none for a Linux program
        }
    }
    return WaitUntil([&] { return Exists(watched) == toExist; }, 10000);
}

void MakeFolders(const std::string &path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

std::string Backslashed(std::string path) {
    for (char &c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

} // namespace

SensorTree::SensorTree(const std::string &name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    unixRoot_ = UnixPath(root_);
    if (unixRoot_.empty() || unixRoot_.find('\'') != std::string::npos) {
        return;
    }
    if (Exists(root_) && !RunShell("rm -rf " + Quoted(unixRoot_), root_, false)) {
        return;
    }
    MakeFolders(hwmon());
    ok_ = Exists(hwmon());
}

SensorTree::~SensorTree() {
    if (!unixRoot_.empty() && Exists(root_)) {
        RunShell("rm -rf " + Quoted(unixRoot_), root_, false);
    }
}

std::string SensorTree::AddDevice(const std::string &hwmonK, const std::string &devicePath,
                                  const std::string &name) {
    const std::string device = "devices/" + devicePath;
    const std::string folder = device + "/hwmon/" + hwmonK;
    MakeFolders(root_ + "\\" + Backslashed(folder));
    Write(folder + "/name", name + "\n");
    links_.push_back("ln -s " + Quoted(unixRoot_ + "/" + folder) + " " +
                     Quoted(unixRoot_ + "/class/hwmon/" + hwmonK));
    links_.push_back("ln -s " + Quoted(unixRoot_ + "/" + device) + " " +
                     Quoted(unixRoot_ + "/" + folder + "/device"));
    return folder;
}

void SensorTree::Write(const std::string &relative, const std::string &bytes) const {
    std::ofstream out(root_ + "\\" + Backslashed(relative), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void SensorTree::AddLink(const std::string &unixTarget, const std::string &relative) {
    links_.push_back("ln -s " + Quoted(unixTarget) + " " + Quoted(unixRoot_ + "/" + relative));
}

void SensorTree::AddFifo(const std::string &relative) {
    links_.push_back("mkfifo " + Quoted(unixRoot_ + "/" + relative));
}

void SensorTree::Remove(const std::string &relative) const {
    std::string path = root_ + "\\" + Backslashed(relative);
    if (!DeleteFileA(path.c_str())) {
        RemoveDirectoryA(path.c_str());
    }
}

bool SensorTree::MakeLinks() {
    if (links_.empty()) {
        return true;
    }
    std::string command;
    for (const std::string &link : links_) {
        command += link + " && ";
    }
    links_.clear();
    const std::string marker = root_ + "\\links-made";
    return RunShell(command + "touch " + Quoted(UnixPath(marker)), marker, true);
}
