// File access on Windows. Paths are UTF-8 in the program and become UTF-16 at
// each system call (the wide API), so no path depends on the code page.

#include "core/FileAccessWin32.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>

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

namespace {

// The code is read by the caller before any clean-up call can change it.
[[noreturn]] void fail(const std::string& path, DWORD error) {
    throw FileError(causeOfWindowsError(error), path, static_cast<int>(error));
}

// UTF-8 to UTF-16; false for text that is not valid UTF-8 or holds a NUL.
bool toWide(const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX || text.find('\0') != std::string::npos)
        return false;
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                               length) == length;
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
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

// The UTF-16 path for a file operation. A path as long as MAX_PATH or longer
// gets the "\\?\" form, which the system takes without the length limit.
std::wstring systemPath(const std::string& path) {
    std::wstring wide;
    if (!toWide(path, wide))
        throw FileError(FileErrorCause::BadPath, path, ERROR_NO_UNICODE_TRANSLATION);
    if (wide.size() < MAX_PATH || wide.rfind(LR"(\\?\)", 0) == 0)
        return wide;
    const std::wstring full = absoluteWide(wide);
    if (full.empty())
        return wide; // the call itself then reports what is wrong
    if (full.rfind(LR"(\\)", 0) == 0)
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

// Closes on every way out; closeChecked reports a failure to close.
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

// Reads up to `size` bytes; fewer only at the end of the file.
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

// The folder part of a path, separator included ("" for a bare name).
std::string folderPrefix(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    if (separator != std::string::npos)
        return path.substr(0, separator + 1);
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    return {};
}

// A read-only file or a directory of the output's name is refused as Windows
// itself refuses to replace it, before anything is written.
void refuseUnwritableTarget(const std::wstring& target, const std::string& path) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        fail(path, ERROR_ACCESS_DENIED);
}

void seekTo(HANDLE handle, std::uint64_t offset, const std::string& path) {
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle, distance, nullptr, FILE_BEGIN))
        fail(path, GetLastError());
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

SequentialFile::SequentialFile(const std::string& path) : path_(path) {
    handle_ = reinterpret_cast<std::intptr_t>(openForReading(path));
}

SequentialFile::~SequentialFile() {
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::size_t SequentialFile::read(std::span<std::uint8_t> into) {
    return readUpTo(reinterpret_cast<HANDLE>(handle_), into.data(), into.size(), path_);
}

void SequentialFile::close() {
    HANDLE handle = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    if (!CloseHandle(handle))
        fail(path_, GetLastError());
}

struct OutputCopy::State {
    std::string sourcePath;
    std::string outputPath;
    std::wstring target; // the output path for the system
    std::wstring name;   // the temporary file's, in the output's folder
    HANDLE file = INVALID_HANDLE_VALUE;
    std::uint64_t size = 0;
    bool published = false;

    ~State() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!published && !name.empty())
            DeleteFileW(name.c_str());
    }

    // A hidden file beside the output that nobody else may open meanwhile.
    void create() {
        const std::string folder = folderPrefix(outputPath);
        ULONGLONG seed = GetTickCount64() ^ (ULONGLONG{GetCurrentProcessId()} << 32);
        for (int attempt = 0; attempt < 100; ++attempt) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            static const char digits[] = "0123456789abcdef";
            std::string candidate = folder + ".varnholt-";
            for (int i = 0; i < 8; ++i)
                candidate += digits[(seed >> (60 - 4 * i)) & 15];
            const std::wstring wide = systemPath(candidate);
            file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                name = wide;
                return;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                fail(outputPath, error);
        }
        fail(outputPath, ERROR_FILE_EXISTS);
    }

    // Copies the source piece by piece to its real end (a size the system
    // cannot tell, or one that grows meanwhile, is still copied whole); each
    // failure is told by the side that failed.
    void copyFrom(HANDLE source) {
        constexpr std::size_t piece = 1u << 20;
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[piece]);
        for (;;) {
            const std::size_t got = readUpTo(source, buffer.get(), piece, sourcePath);
            writeAll(file, {buffer.get(), got}, outputPath);
            size += got;
            if (got < piece)
                return;
        }
    }
};

OutputCopy::OutputCopy(const std::string& sourcePath, const std::string& outputPath)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.sourcePath = sourcePath;
    state.outputPath = outputPath;
    Handle source(openForReading(sourcePath));
    state.target = systemPath(outputPath);
    // What publish() would refuse is refused before a byte is copied.
    refuseUnwritableTarget(state.target, outputPath);
    state.create();
    state.copyFrom(source.get());
    closeChecked(source, sourcePath);
}

OutputCopy::~OutputCopy() = default;

std::uint64_t OutputCopy::size() const {
    return state_->size;
}

std::size_t OutputCopy::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    State& state = *state_;
    if (offset >= state.size)
        return 0;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), state.size - offset));
    seekTo(state.file, offset, state.outputPath);
    return readUpTo(state.file, into.data(), wanted, state.outputPath);
}

void OutputCopy::write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    State& state = *state_;
    if (offset > state.size || bytes.size() > state.size - offset)
        throw FileError(FileErrorCause::EndOfFile, state.outputPath);
    seekTo(state.file, offset, state.outputPath);
    writeAll(state.file, bytes, state.outputPath);
}

void OutputCopy::publish() {
    State& state = *state_;
    if (state.published)
        return;
    // The published file is an ordinary one, not hidden.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(state.file, FileBasicInfo, &basic, sizeof basic))
        fail(state.outputPath, GetLastError());
    if (!FlushFileBuffers(state.file))
        fail(state.outputPath, GetLastError());
    HANDLE file = state.file;
    state.file = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file))
        fail(state.outputPath, GetLastError());
    refuseUnwritableTarget(state.target, state.outputPath);
    // One step, written through to the disk before it returns.
    if (!MoveFileExW(state.name.c_str(), state.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(state.outputPath, GetLastError());
    state.published = true;
}

std::string fullPath(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !toWide(path, wide))
        return path;
    const std::wstring full = absoluteWide(wide);
    return full.empty() ? path : toUtf8(full);
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
