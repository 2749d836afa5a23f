#pragma once
// What the POSIX file access files share (FileAccessPosix.cpp, OutputCopyPosix.cpp).

#include "core/FileAccess.h"

#include <unistd.h>

#include <cerrno>

#include <string>

namespace varnholt::fileio {

// The failure cause of an errno value.
FileErrorCause causeOf(int error);

// Throws the FileError of `error` (an errno value) for `path`.
[[noreturn]] void fail(const std::string& path, int error);

// `call` (a read, a write, a copy), made again while a signal interrupts it
// before it has moved anything (EINTR); what it returned at last. Not for
// close(), which must not be repeated.
template <class Call> auto retryInterrupted(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR)
        result = call();
    return result;
}

// A file descriptor, closed on every way out; closeChecked reports a failure to close.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// Closes the descriptor, throwing FileError for `path` when closing fails.
void closeChecked(Descriptor& descriptor, const std::string& path);

} // namespace varnholt::fileio
