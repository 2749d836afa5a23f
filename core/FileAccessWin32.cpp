// File access on Windows: failures, reading a save, path queries. The patched
// copy is in OutputCopyWin32.cpp. Paths are UTF-8 in the program and become
// UTF-16 at each system call (the wide API), so no path depends on the code page.

#include "core/FileAccessWin32.h"

#include "core/TextCodec.h"

#include <algorithm>

namespace varnholt {

FileErrorCause causeOfWindowsError(unsigned long code) {
    switch (code) {
    case ERROR_SUCCESS:
        return FileErrorCause::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_OPEN_FAILED:
        return FileErrorCause::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_WRONG_DISK:
    case ERROR_BAD_NETPATH:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_NO_UNICODE_TRANSLATION:
    case ERROR_BUFFER_OVERFLOW:
        return FileErrorCause::BadPath;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_SHARING_BUFFER_EXCEEDED:
    case ERROR_TOO_MANY_NAMES:
        return FileErrorCause::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_ACCESS:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_BUSY:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_FILE_READ_ONLY:
        return FileErrorCause::AccessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_FORMAT:
        return FileErrorCause::InvalidFileHandle;
    case ERROR_CURRENT_DIRECTORY:
        return FileErrorCause::RemoveCurrentDirectory;
    case ERROR_CANNOT_MAKE: // the classic answer of a full root directory
    case ERROR_NO_SPOOL_SPACE:
        return FileErrorCause::DirectoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_BAD_LENGTH:
        return FileErrorCause::SeekFailed;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_BAD_UNIT:
    case ERROR_IO_DEVICE:
    case ERROR_NET_WRITE_FAULT:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_FILE_CORRUPT:
    case ERROR_DISK_CORRUPT:
        return FileErrorCause::HardwareIo;
    case ERROR_SHARING_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FileErrorCause::SharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED:
    case ERROR_DRIVE_LOCKED:
        return FileErrorCause::LockingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
        return FileErrorCause::DiskFull;
    case ERROR_HANDLE_EOF:
        return FileErrorCause::EndOfFile;
    default:
        return FileErrorCause::Other;
    }
}

namespace fileio {

void fail(const std::string& path, DWORD error) {
    throw FileError(causeOfWindowsError(error), path);
}

namespace {

// UTF-8 to UTF-16; false for text that is not well-formed UTF-8 or holds a NUL.
bool toWide(const std::string& text, std::wstring& wide) {
    const auto decoded = strictUtf8ToUtf16(text);
    if (!decoded || text.find('\0') != std::string::npos)
        return false;
    wide.assign(decoded->begin(), decoded->end());
    return true;
}

std::string utf8Of(const std::wstring& wide) {
    return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::wstring absoluteWide(const std::wstring& wide) {
    DWORD capacity = MAX_PATH;
    for (;;) {
        std::wstring full(capacity, L'\0');
        const DWORD length = GetFullPathNameW(wide.c_str(), capacity, full.data(), nullptr);
        if (length == 0)
            return {};
        if (length < capacity) {
            full.resize(length);
            return full;
        }
        capacity = length + 1;
    }
}

bool identityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    std::wstring wide;
    try {
        wide = systemPath(path);
    } catch (const FileError&) {
        return false;
    }
    Handle handle(CreateFileW(wide.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.valid() && GetFileInformationByHandle(handle.get(), &info);
}

DWORD attributesOf(const std::string& path) {
    std::wstring wide;
    if (!toWide(path, wide) || wide.empty())
        return INVALID_FILE_ATTRIBUTES;
    if (wide.size() >= MAX_PATH)
        wide = systemPath(path);
    return GetFileAttributesW(wide.c_str());
}

} // namespace

std::wstring systemPath(const std::string& path) {
    std::wstring wide;
    if (!toWide(path, wide))
        throw FileError(FileErrorCause::BadPath, path);
    if (wide.size() < MAX_PATH || wide.rfind(LR"(\\?\)", 0) == 0)
        return wide;
    const std::wstring full = absoluteWide(wide);
    if (full.empty())
        return wide; // the call itself then reports what is wrong
    if (full.rfind(LR"(\\)", 0) == 0)
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

void closeChecked(Handle& handle, const std::string& path) {
    if (!CloseHandle(handle.release()))
        fail(path, GetLastError());
}

// Opened for reading; others may read it too, but nobody may write it meanwhile.
HANDLE openForReading(const std::string& path) {
    HANDLE handle = CreateFileW(systemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        fail(path, GetLastError());
    return handle;
}

std::size_t readUpTo(HANDLE handle, std::uint8_t* into, std::size_t size, const std::string& path) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle, into + done, want, &got, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
                break; // the end of a file or of a pipe
            fail(path, error);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void writeAll(HANDLE handle, std::span<const std::uint8_t> bytes, const std::string& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(handle, bytes.data() + done, want, &put, nullptr))
            fail(path, GetLastError());
        if (put == 0)
            fail(path, ERROR_HANDLE_DISK_FULL); // stored fewer bytes than asked
        done += put;
    }
}

} // namespace fileio

using namespace fileio;

struct SequentialFile::State {
    explicit State(const std::string& filePath) : path(filePath), file(openForReading(filePath)) {}
    std::string path;
    Handle file;
};

SequentialFile::SequentialFile(const std::string& path) : state_(std::make_unique<State>(path)) {}

SequentialFile::~SequentialFile() = default;

std::size_t SequentialFile::read(std::span<std::uint8_t> into) {
    return readUpTo(state_->file.get(), into.data(), into.size(), state_->path);
}

void SequentialFile::close() {
    closeChecked(state_->file, state_->path);
}

std::string fullPath(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !toWide(path, wide))
        return path;
    const std::wstring full = absoluteWide(wide);
    return full.empty() ? path : utf8Of(full);
}

bool pathExists(const std::string& path) {
    try {
        return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
    } catch (const FileError&) {
        return false;
    }
}

bool isDirectory(const std::string& path) {
    try {
        const DWORD attributes = attributesOf(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    } catch (const FileError&) {
        return false;
    }
}

bool isSameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return identityOf(a, first) && identityOf(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

} // namespace varnholt
