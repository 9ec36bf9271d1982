// Child processes for cross-process tests.
#include "processes.h"

#include <algorithm>
#include <vector>

#include "plugin.h"

namespace {

// A program of this build by its name, or any program by its full path.
std::string CommandLine(const std::string &program, const std::string &arguments) {
    bool fullPath = program.find_first_of("\\:") != std::string::npos;
    return "\"" + (fullPath ? program : BuildDir() + "\\" + program) + "\" " + arguments;
}

} // namespace

ChildProcess StartTool(const std::string &program, const std::string &arguments) {
    ChildProcess child;
    std::string command = CommandLine(program, arguments);
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

namespace {

// Both ends of an anonymous pipe; only the child's end is inheritable.
bool CreateOutputPipe(HANDLE &read, HANDLE &write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreatePipe(&read, &write, &inherit, 0) &&
           SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
}

std::string WithoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

CapturedTool::CapturedTool(const std::string &program, const std::string &arguments) {
    HANDLE outWrite = nullptr, errWrite = nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    if (CreateOutputPipe(out_.read, outWrite) && CreateOutputPipe(err_.read, errWrite)) {
        std::string command = CommandLine(program, arguments);
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        child_.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child_.info) != 0;
    }
    // Only the child holds the write ends now, so the reads end when it does.
    for (HANDLE handle : {outWrite, errWrite, input}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    StartReading(out_);
    StartReading(err_);
}

CapturedTool::~CapturedTool() {
    Kill();
    StopReading();
}

void CapturedTool::StartReading(Stream &stream) {
    if (stream.read == nullptr) {
        return;
    }
    // Reads only what is there, so the thread never blocks in a read that a
    // pipe left open by a stuck process would never end.
    stream.reader = std::thread([this, &stream] {
        char buffer[4096];
        for (;;) {
            DWORD available = 0;
            if (!PeekNamedPipe(stream.read, nullptr, 0, nullptr, &available, nullptr)) {
                return; // every write end is closed: all output is in
            }
            if (available == 0) {
                if (stopping_ && GetTickCount() - stoppedAt_ > 5000) {
                    return;
                }
                Sleep(5);
                continue;
            }
            DWORD got = 0;
            if (!ReadFile(stream.read, buffer,
                          sizeof buffer < available ? sizeof buffer : available, &got, nullptr) ||
                got == 0) {
                return;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            stream.text.append(buffer, got);
        }
    });
}

void CapturedTool::StopReading() {
    if (!stopping_) {
        stoppedAt_ = GetTickCount();
        stopping_ = true;
    }
    for (Stream *stream : {&out_, &err_}) {
        if (stream->reader.joinable()) {
            stream->reader.join();
        }
        if (stream->read != nullptr) {
            CloseHandle(stream->read);
            stream->read = nullptr;
        }
    }
}

std::string CapturedTool::Output() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return WithoutCarriageReturns(out_.text);
}

std::string CapturedTool::Errors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return WithoutCarriageReturns(err_.text);
}

int CapturedTool::Wait(DWORD milliseconds) {
    int code = WaitForExit(child_, milliseconds);
    if (code != -1) {
        StopReading(); // everything it wrote is read once the pipes close
    }
    return code;
}

void CapturedTool::Kill() {
    KillProcess(child_);
}

int RunTool(const std::string &program, const std::string &arguments, std::string *output,
            std::string *errors, DWORD milliseconds) {
    CapturedTool tool(program, arguments);
    int code = tool.Wait(milliseconds);
    if (output != nullptr) {
        *output = tool.Output();
    }
    if (errors != nullptr) {
        *errors = tool.Errors();
    }
    return code;
}

bool WaitForOutput(const CapturedTool &tool, const std::string &text, DWORD milliseconds) {
    return WaitUntil([&] { return tool.Output().find(text) != std::string::npos; }, milliseconds);
}

::testing::AssertionResult StartMonitor(const char *arguments,
                                        std::unique_ptr<CapturedTool> &monitor,
                                        const std::string &program) {
    monitor.reset();
    if (arguments == nullptr) {
        return ::testing::AssertionSuccess();
    }
    monitor = std::make_unique<CapturedTool>(program, arguments);
    if (WaitForOutput(*monitor, "publishing")) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << program << " " << arguments << " did not publish: " << monitor->Errors();
}
