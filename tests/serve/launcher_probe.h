// What the tests of the unattended server look at from outside, as a user or
// an administrator would: the Run value the logon reads, the processes of
// kdserve and its server, free ports, and files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

extern const wchar_t kRunKey[];
extern const wchar_t kRunValue[];

// A loopback port the system picks as free now.
uint16_t FreePort();

// The Run value as the logon reads it; empty when there is none.
std::wstring RegisteredCommand();
// A command line split by the C runtime's rules, the program first.
std::vector<std::wstring> SplitCommand(const std::wstring &command);
// Starts it as the shell starts a Run value at logon: as it stands, with no
// console, no handles and no wait.
bool StartAsAtLogon(const std::wstring &command);

// The processes whose parent is `parent` and whose file is `exe`.
std::vector<DWORD> ChildrenOf(DWORD parent, const wchar_t *exe);
bool ProcessRuns(DWORD id);

// kdserve's hidden window for the port: top-level where there is a desktop,
// message-only where not (as under Wine without a display); nullptr when none.
HWND LauncherWindow(uint16_t port);
DWORD LauncherProcess(uint16_t port); // 0 when none
DWORD ServerProcess(uint16_t port);   // its one kdhost --serve, or 0

void RemoveTree(const std::wstring &folder);
std::string FileText(const std::string &path);
