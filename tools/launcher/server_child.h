// kdhost --serve as kdserve's child: started without a console, in a job
// object that ends it whenever kdserve ends, so no server outlives the
// program that watches it; what it prints goes, line by line, to a sink.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

using LineSink = std::function<void(const std::string &line)>;

class ServerChild {
  public:
    explicit ServerChild(LineSink output);
    ~ServerChild(); // ends a running server at once
    ServerChild(const ServerChild &) = delete;
    ServerChild &operator=(const ServerChild &) = delete;

    // Starts the command line from folder; false with a sentence when it cannot.
    bool Start(const std::wstring &command, const std::wstring &folder, std::string &error);
    bool running() const {
        return process_ != nullptr;
    }
    HANDLE process() const {
        return process_;
    }
    DWORD processId() const {
        return processId_;
    }
    // Once process() is signalled: its exit code, after the last of its output.
    uint32_t Finish();
    // Asks it to stop through its stop event and waits up to waitMs; then ends
    // it at once. Its exit code, after the last of its output.
    uint32_t Stop(DWORD waitMs);

  private:
    void ReadOutput(HANDLE pipe);

    LineSink output_;
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    std::thread reader_;
};
