// Child processes for cross-process tests.
#include "processes.h"

#include <vector>

#include "plugin.h"

ChildProcess StartTool(const std::string &program, const std::string &arguments) {
    ChildProcess child;
    std::string command = "\"" + BuildDir() + "\\" + program + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    child.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &child.info) != 0;
    return child;
}

void KillProcess(ChildProcess &child) {
    if (child.started) {
        TerminateProcess(child.info.hProcess, 9);
        WaitForSingleObject(child.info.hProcess, 10000);
        CloseHandle(child.info.hProcess);
        CloseHandle(child.info.hThread);
        child.started = false;
    }
}

int WaitForExit(ChildProcess &child, DWORD milliseconds) {
    if (!child.started || WaitForSingleObject(child.info.hProcess, milliseconds) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(child.info.hProcess, &code);
    CloseHandle(child.info.hProcess);
    CloseHandle(child.info.hThread);
    child.started = false;
    return int(code);
}
