#pragma once
// What the Windows file access files share (FileAccessWin32.cpp,
// OutputCopyWin32.cpp), and what only Windows adds to core/FileAccess.h.

#include "core/FileAccess.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace varnholt {

// The failure cause of a Windows system error code (GetLastError).
FileErrorCause causeOfWindowsError(unsigned long code);

namespace fileio {

// Throws the FileError of `error` for `path`. The caller reads the code before
// any clean-up call can change it.
[[noreturn]] void fail(const std::string& path, DWORD error);

// The UTF-16 path for a file operation; BadPath for text that is not UTF-8 or
// holds a NUL. A path as long as MAX_PATH or longer gets the "\\?\" form, which
// the system takes without the length limit.
std::wstring systemPath(const std::string& path);

// A handle, closed on every way out; closeChecked reports a failure to close.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid())
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

  private:
    HANDLE handle_;
};

void closeChecked(Handle& handle, const std::string& path);

// Opened for reading; others may read it too, but nobody may write it meanwhile.
HANDLE openForReading(const std::string& path);

// Reads up to `size` bytes; fewer only at the end of the file (or of a pipe).
std::size_t readUpTo(HANDLE handle, std::uint8_t* into, std::size_t size, const std::string& path);

// Writes every byte; a write that stores none is DiskFull.
void writeAll(HANDLE handle, std::span<const std::uint8_t> bytes, const std::string& path);

} // namespace fileio

} // namespace varnholt
