// The server's standard output and error share one pipe, read by a thread of
// its own until the server's end closes it. The job also keeps any crash of
// the server from waiting on an error dialog nobody sees.
#include "server_child.h"

#include "error_words.h"
#include "serve_instance.h"
#include "terminal_text.h"

namespace {

// A line longer than this is cut: the server's lines are sentences.
const size_t kLongestLine = 2000;

HANDLE CreateServerJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (job != nullptr &&
        !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        job = nullptr;
    }
    return job;
}

} // namespace

ServerChild::ServerChild(LineSink output) : output_(std::move(output)), job_(CreateServerJob()) {}

ServerChild::~ServerChild() {
    if (process_ != nullptr) {
        TerminateProcess(process_, ERROR_PROCESS_ABORTED);
        Finish();
    }
    if (job_ != nullptr) {
        CloseHandle(job_);
    }
}

bool ServerChild::Start(const std::wstring &command, const std::wstring &folder,
                        std::string &error) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) {
        error = "cannot make a pipe for its output: " + ErrorWords(GetLastError());
        return false;
    }
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info{};
    std::wstring line = command;
    // No console at all: nothing shows, and only kdserve decides when it stops.
    const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED | DETACHED_PROCESS, nullptr,
                                        folder.c_str(), &startup, &info);
    const DWORD code = GetLastError();
    CloseHandle(write);
    if (input != INVALID_HANDLE_VALUE) {
        CloseHandle(input);
    }
    if (!started) {
        CloseHandle(read);
        error = "cannot be started: " + ErrorWords(code);
        return false;
    }
    if (job_ != nullptr) {
        AssignProcessToJobObject(job_, info.hProcess);
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    reader_ = std::thread([this, read] { ReadOutput(read); });
    return true;
}

void ServerChild::ReadOutput(HANDLE pipe) {
    std::string pending;
    char buffer[4096];
    DWORD got = 0;
    auto flush = [&] {
        while (!pending.empty() && pending.back() == '\r') {
            pending.pop_back();
        }
        output_(TerminalText(pending, kLongestLine));
        pending.clear();
    };
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                flush();
            } else if (pending.size() < kLongestLine * 4) {
                pending += buffer[i];
            }
        }
    }
    if (!pending.empty()) {
        flush();
    }
    CloseHandle(pipe);
}

uint32_t ServerChild::Finish() {
    DWORD code = 0;
    WaitForSingleObject(process_, INFINITE);
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    processId_ = 0;
    if (reader_.joinable()) {
        reader_.join(); // the pipe closed with the server
    }
    return code;
}

uint32_t ServerChild::Stop(DWORD waitMs) {
    HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, ServeStopEventName(processId_).c_str());
    if (stop != nullptr) {
        SetEvent(stop);
        CloseHandle(stop);
    }
    if (stop == nullptr || WaitForSingleObject(process_, waitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_, ERROR_PROCESS_ABORTED);
    }
    return Finish();
}
