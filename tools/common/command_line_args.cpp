// The wide command line is split by the system's own rules, the ones the C
// runtime follows for main()'s argv, so quoting means what it always meant.
#include "command_line_args.h"

#include <windows.h>

#include <shellapi.h>

#include "code_pages.h"

std::vector<std::string> ArgumentsOf(const std::wstring &commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR *split = CommandLineToArgvW(commandLine.c_str(), &count);
    for (int i = 1; split != nullptr && i < count; ++i) {
        arguments.push_back(WideToUtf8(split[i]));
    }
    LocalFree(split);
    return arguments;
}

std::vector<std::string> CommandLineArguments() {
    return ArgumentsOf(GetCommandLineW());
}
