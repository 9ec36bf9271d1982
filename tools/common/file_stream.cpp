// The stream owns its buffer, and the buffer owns the handle.
#include "file_stream.h"

#include "file_access.h"

namespace {

class FileStream : public std::istream {
  public:
    explicit FileStream(HANDLE file) : std::istream(nullptr), buffer_(file) {
        rdbuf(&buffer_);
    }

  private:
    FileReadBuffer buffer_;
};

} // namespace

FileReadBuffer::~FileReadBuffer() {
    CloseHandle(file_);
}

FileReadBuffer::int_type FileReadBuffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    DWORD got = 0;
    if (!ReadFile(file_, buffer_, sizeof buffer_, &got, nullptr) || got == 0) {
        return traits_type::eof();
    }
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

std::unique_ptr<std::istream> OpenFileStream(const std::string &path) {
    HANDLE file = OpenFile(path, FileAccess::Read);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<FileStream>(file);
}
