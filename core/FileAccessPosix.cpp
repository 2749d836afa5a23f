// File access on Linux and macOS: failures, reading a save, path queries. The
// patched copy is in OutputCopyPosix.cpp.

#include "core/FileAccessPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

namespace varnholt {

namespace fileio {

FileErrorCause causeOf(int error) {
    switch (error) {
    case 0:
        return FileErrorCause::None;
    case ENOENT:
        return FileErrorCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::InvalidFileHandle;
    case ESPIPE:
        return FileErrorCause::SeekFailed;
    case EIO:
        return FileErrorCause::HardwareIo;
    case EBUSY:
    case ETXTBSY:
        return FileErrorCause::SharingViolation;
    case EDEADLK:
    case ENOLCK:
        return FileErrorCause::LockingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    case EMLINK:
        return FileErrorCause::DirectoryFull;
    default:
        return FileErrorCause::Other;
    }
}

void fail(const std::string& path, int error) {
    throw FileError(causeOf(error), path);
}

void closeChecked(Descriptor& descriptor, const std::string& path) {
    if (::close(descriptor.release()) != 0 && errno != EINTR)
        fail(path, errno);
}

} // namespace fileio

using fileio::fail;
using fileio::retryInterrupted;

struct SequentialFile::State {
    explicit State(const std::string& filePath)
        : path(filePath), file(::open(filePath.c_str(), O_RDONLY | O_CLOEXEC)) {}
    std::string path;
    fileio::Descriptor file;
};

SequentialFile::SequentialFile(const std::string& path) : state_(std::make_unique<State>(path)) {
    if (state_->file.get() < 0)
        fail(path, errno);
    struct stat info {};
    if (::fstat(state_->file.get(), &info) != 0)
        fail(path, errno);
    if (S_ISDIR(info.st_mode))
        fail(path, EISDIR);
}

SequentialFile::~SequentialFile() = default;

std::size_t SequentialFile::read(std::span<std::uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = retryInterrupted(
            [&] { return ::read(state_->file.get(), into.data() + done, into.size() - done); });
        if (got < 0)
            fail(state_->path, errno);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void SequentialFile::close() {
    fileio::closeChecked(state_->file, state_->path);
}

std::string fullPath(const std::string& path) {
    if (path.empty() || path.front() == '/')
        return path;
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder + (folder.back() == '/' ? "" : "/") + path;
}

bool pathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace varnholt
