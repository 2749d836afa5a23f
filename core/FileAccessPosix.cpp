// File access on Linux and macOS.

#include "core/FileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <limits>

namespace varnholt {

namespace {

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

[[noreturn]] void fail(const std::string& path, int error) {
    throw FileError(causeOf(error), path, error);
}

// Closes on every way out; close() failures are reported by closeChecked.
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
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

void closeChecked(Descriptor& descriptor, const std::string& path) {
    if (::close(descriptor.release()) != 0 && errno != EINTR)
        fail(path, errno);
}

// Reads until the buffer is full or the file ends; returns false at the end of the file.
bool readInto(int fd, FileBuffer& buffer, const std::string& path) {
    while (buffer.size() < buffer.capacity()) {
        const std::size_t want = buffer.capacity() - buffer.size();
        const ssize_t got = ::read(fd, buffer.data() + buffer.size(), want);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(path, errno);
        }
        if (got == 0)
            return false;
        buffer.setSize(buffer.size() + static_cast<std::size_t>(got));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target) {
        const std::string folder = folderOf(target);
        name_ = folder + "/.varnholt-XXXXXX";
        fd_ = ::mkstemp(name_.data());
        if (fd_ < 0)
            fail(target, errno);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!kept_)
            ::unlink(name_.c_str());
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void keep() { kept_ = true; }

  private:
    std::string name_;
    int fd_ = -1;
    bool kept_ = false;
};

mode_t creationMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

SequentialFile::SequentialFile(const std::string& path) : path_(path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    handle_ = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        handle_ = -1;
        fail(path, error);
    }
}

SequentialFile::~SequentialFile() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

std::size_t SequentialFile::read(std::span<std::uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got =
            ::read(static_cast<int>(handle_), into.data() + done, into.size() - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(path_, errno);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void SequentialFile::close() {
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        fail(path_, errno);
}

FileBuffer readWholeFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        fail(path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        fail(path, errno);
    if (S_ISDIR(info.st_mode))
        fail(path, EISDIR);

    // One request for the reported size plus one byte; the spare byte tells
    // whether the file has grown since its size was taken.
    const bool sizeKnown =
        S_ISREG(info.st_mode) && info.st_size >= 0 &&
        static_cast<std::uint64_t>(info.st_size) < std::numeric_limits<std::size_t>::max();
    FileBuffer buffer(sizeKnown ? static_cast<std::size_t>(info.st_size) + 1 : 65536);
    // A size that cannot be learnt or that grew: read on to the real end.
    while (readInto(fd.get(), buffer, path))
        buffer.grow(buffer.capacity() * 2);
    closeChecked(fd, path);
    return buffer;
}

void writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        // A file marked read-only is refused, as a read-only file is on Windows,
        // whoever runs the program; a directory cannot be replaced by a file.
        if (S_ISDIR(existing.st_mode) ||
            (S_ISREG(existing.st_mode) && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
            fail(path, EACCES);
    }

    TemporaryFile temporary(path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(temporary.fd(), bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(path, errno);
        }
        if (put == 0)
            fail(path, ENOSPC); // stored fewer bytes than asked
        done += static_cast<std::size_t>(put);
    }
    if (::fchmod(temporary.fd(), creationMode()) != 0)
        fail(path, errno);
    if (::fsync(temporary.fd()) != 0)
        fail(path, errno);
    if (temporary.close() != 0)
        fail(path, errno);
    if (::rename(temporary.name().c_str(), path.c_str()) != 0)
        fail(path, errno);
    temporary.keep();

    // Make the rename itself durable; the new file is complete either way.
    Descriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
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
