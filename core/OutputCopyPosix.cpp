// The patched copy on Linux and macOS (see OutputCopy in core/FileAccess.h).

#include "core/FileAccessPosix.h"
#include "core/PathStyle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include <random>

namespace varnholt {

using fileio::closeChecked;
using fileio::Descriptor;
using fileio::fail;
using fileio::retryInterrupted;

namespace {

mode_t creationMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A fresh hidden name in `folder`, for a file that is about to be created or linked.
std::string temporaryName(const std::string& folder) {
    static constexpr char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name = folder + "/.varnholt-";
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

// A file marked read-only is refused, as a read-only file is on Windows, whoever
// runs the program; a directory cannot be replaced by a file.
void refuseUnwritableTarget(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0)
        return;
    if (S_ISDIR(existing.st_mode) ||
        (S_ISREG(existing.st_mode) && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        fail(path, EACCES);
}

// Creating a file in the output's folder failed. Only the folder can be missing
// then: that is a bad path for the new file, as Windows says, not a file not found.
[[noreturn]] void failCreating(const std::string& outputPath, int error) {
    if (error == ENOENT)
        throw FileError(FileErrorCause::BadPath, outputPath);
    fail(outputPath, error);
}

void writeAll(int fd, const std::uint8_t* bytes, std::size_t size, const std::string& path) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put =
            retryInterrupted([&] { return ::write(fd, bytes + done, size - done); });
        if (put < 0)
            fail(path, errno);
        if (put == 0)
            fail(path, ENOSPC); // stored fewer bytes than asked
        done += static_cast<std::size_t>(put);
    }
}

} // namespace

struct OutputCopy::State {
    std::string sourcePath;
    std::string outputPath;
    int fd = -1;
    // The temporary file's name; empty while it has none (O_TMPFILE).
    std::string name;
    std::uint64_t size = 0;
    bool published = false;

    ~State() {
        if (fd >= 0)
            ::close(fd);
        if (!published && !name.empty())
            ::unlink(name.c_str());
    }

    // The temporary file in the output's folder: without a name where the
    // system has such files and this process can give it one later (through
    // /proc/self/fd); otherwise under a hidden name, removed on every failure.
    void create() {
        const std::string folder = folderOf(outputPath);
#ifdef O_TMPFILE
        if (::access("/proc/self/fd", X_OK) == 0) {
            fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
            if (fd >= 0)
                return;
            // Kernels and file systems without such files say so in one of these ways.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                failCreating(outputPath, errno);
        }
#endif
        name = folder + "/.varnholt-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            name.clear();
            failCreating(outputPath, error);
        }
        if (::fchmod(fd, creationMode()) != 0)
            fail(outputPath, errno);
    }

    // Copies `source` from its current position to its end: inside the kernel
    // while it can, then piece by piece, which also makes sure of the end (some
    // files report none) and tells which side failed.
    void copyFrom(int source) {
#ifdef __linux__
        for (;;) {
            const ssize_t copied = retryInterrupted(
                [&] { return ::copy_file_range(source, nullptr, fd, nullptr, 1u << 30, 0); });
            if (copied <= 0)
                break;
            size += static_cast<std::uint64_t>(copied);
        }
#endif
        constexpr std::size_t piece = 1u << 20;
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[piece]);
        for (;;) {
            const ssize_t got =
                retryInterrupted([&] { return ::read(source, buffer.get(), piece); });
            if (got < 0)
                fail(sourcePath, errno);
            if (got == 0)
                return;
            writeAll(fd, buffer.get(), static_cast<std::size_t>(got), outputPath);
            size += static_cast<std::uint64_t>(got);
        }
    }

    // Gives the unnamed copy the output's name: directly when that name is free
    // (one step, never a second name), else under a hidden name renamed over it.
    void linkInPlace() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, outputPath.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
        if (errno != EEXIST)
            fail(outputPath, errno);
        const std::string folder = folderOf(outputPath);
        for (int attempt = 0;; ++attempt) {
            name = temporaryName(folder);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            const int error = errno;
            name.clear();
            if (error != EEXIST || attempt == 100)
                fail(outputPath, error);
        }
        if (::rename(name.c_str(), outputPath.c_str()) != 0)
            fail(outputPath, errno); // the destructor removes the hidden name
    }
};

OutputCopy::OutputCopy(const std::string& sourcePath, const std::string& outputPath)
    : state_(std::make_unique<State>()) {
    state_->sourcePath = sourcePath;
    state_->outputPath = outputPath;
    Descriptor source(::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        fail(sourcePath, errno);
    struct stat info {};
    if (::fstat(source.get(), &info) != 0)
        fail(sourcePath, errno);
    if (S_ISDIR(info.st_mode))
        fail(sourcePath, EISDIR);
    // What publish() would refuse is refused before a byte is copied.
    refuseUnwritableTarget(outputPath);
    state_->create();
    state_->copyFrom(source.get());
    closeChecked(source, sourcePath);
}

OutputCopy::~OutputCopy() = default;

std::uint64_t OutputCopy::size() const {
    return state_->size;
}

std::size_t OutputCopy::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size() && offset + done < state_->size) {
        const ssize_t got = retryInterrupted([&] {
            return ::pread(state_->fd, into.data() + done, into.size() - done,
                           static_cast<off_t>(offset + done));
        });
        if (got < 0)
            fail(state_->outputPath, errno);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void OutputCopy::write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset > state_->size || bytes.size() > state_->size - offset)
        throw FileError(FileErrorCause::EndOfFile, state_->outputPath);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = retryInterrupted([&] {
            return ::pwrite(state_->fd, bytes.data() + done, bytes.size() - done,
                            static_cast<off_t>(offset + done));
        });
        if (put < 0)
            fail(state_->outputPath, errno);
        if (put == 0)
            fail(state_->outputPath, ENOSPC);
        done += static_cast<std::size_t>(put);
    }
}

void OutputCopy::publish() {
    State& state = *state_;
    if (state.published)
        return;
    if (::fsync(state.fd) != 0)
        fail(state.outputPath, errno);
    refuseUnwritableTarget(state.outputPath);
    if (state.name.empty()) {
        state.linkInPlace();
        // The bytes are on the disk and named; closing cannot lose them.
        ::close(state.fd);
        state.fd = -1;
    } else {
        const int fd = state.fd;
        state.fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            fail(state.outputPath, errno);
        if (::rename(state.name.c_str(), state.outputPath.c_str()) != 0)
            fail(state.outputPath, errno);
    }
    state.published = true;

    // Make the new name itself durable; the new file is complete either way.
    Descriptor folder(
        ::open(folderOf(state.outputPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

} // namespace varnholt
