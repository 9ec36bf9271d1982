// A file read from start to end as a std::istream, opened by the file layer
// (file_access.h), for readers that take a stream: memory stays one buffer
// whatever the file's size.
#pragma once

#include <windows.h>

#include <istream>
#include <memory>
#include <streambuf>
#include <string>

class FileReadBuffer : public std::streambuf {
  public:
    explicit FileReadBuffer(HANDLE file) : file_(file) {}
    ~FileReadBuffer() override;
    FileReadBuffer(const FileReadBuffer &) = delete;
    FileReadBuffer &operator=(const FileReadBuffer &) = delete;

  protected:
    int_type underflow() override;

  private:
    HANDLE file_;
    char buffer_[64 * 1024];
};

// The file as a stream, or nullptr with the reason in GetLastError(). A read
// that fails later ends the stream, as its end would.
std::unique_ptr<std::istream> OpenFileStream(const std::string &path);
