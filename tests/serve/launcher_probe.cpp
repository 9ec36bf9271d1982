// What the tests of the unattended server look at from outside: the Run
// value, the processes of kdserve and its server, ports and files.
#include <winsock2.h>

#include "launcher_probe.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include "serve_instance.h"

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"KelvoDyn serve";

// A loopback port the system picks as free now.
uint16_t FreePort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bind(s, (sockaddr *)&address, sizeof address);
    getsockname(s, (sockaddr *)&address, &length);
    closesocket(s);
    return ntohs(address.sin_port);
}

// The Run value as the logon reads it; empty when there is none.
std::wstring RegisteredCommand() {
    wchar_t data[4096];
    DWORD bytes = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, data, &bytes) !=
        ERROR_SUCCESS) {
        return L"";
    }
    return data;
}

std::vector<std::wstring> SplitCommand(const std::wstring &command) {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR *split = CommandLineToArgvW(command.c_str(), &count);
    for (int i = 0; split != nullptr && i < count; ++i) {
        args.push_back(split[i]);
    }
    LocalFree(split);
    return args;
}

// The command line started as the shell starts a Run value at logon: as it
// stands, with no console, no handles and no wait.
bool StartAsAtLogon(const std::wstring &command) {
    std::wstring line = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// The processes of this prefix whose parent is `parent` and whose file is `exe`.
std::vector<DWORD> ChildrenOf(DWORD parent, const wchar_t *exe) {
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, exe) == 0) {
            children.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return children;
}

bool ProcessRuns(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return false;
    }
    const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

// kdserve's hidden window for the port: top-level where there is a desktop,
// message-only where not (as under Wine without a display).
HWND LauncherWindow(uint16_t port) {
    const std::string title = LauncherWindowTitle(port);
    HWND window = FindWindowA(kLauncherWindowClass, title.c_str());
    return window ? window
                  : FindWindowExA(HWND_MESSAGE, nullptr, kLauncherWindowClass, title.c_str());
}

DWORD LauncherProcess(uint16_t port) {
    DWORD id = 0;
    if (HWND window = LauncherWindow(port)) {
        GetWindowThreadProcessId(window, &id);
    }
    return id;
}

DWORD ServerProcess(uint16_t port) {
    std::vector<DWORD> servers = ChildrenOf(LauncherProcess(port), L"kdhost.exe");
    return servers.size() == 1 ? servers[0] : 0;
}

void RemoveTree(const std::wstring &folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + L"\\" + name);
            } else {
                DeleteFileW((folder + L"\\" + name).c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}
