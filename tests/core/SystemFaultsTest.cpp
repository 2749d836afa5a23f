// What the patched copy does when the system answers as it may elsewhere: a
// file system without unnamed files (macOS, some Linux file systems), short
// reads and writes, a disk that stores nothing, a copy that cannot stay inside
// the kernel, hidden names already taken. This program defines the system calls
// it fails (open, pread, write, copy_file_range, linkat) itself, so that the
// core's calls reach these first; each passes on to the system's own unless the
// test in progress asks for a fault.

#include "FileTestHelpers.h"
#include "TestFiles.h"

#include "core/FileAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace varnholt;
using varnholt::testfiles::causeOf;
using varnholt::testfiles::pattern;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
using varnholt::testfiles::writeBytes;

namespace {

// The faults the next calls meet; all off between tests.
struct Faults {
    bool noUnnamedFiles = false;    // open(O_TMPFILE) says the file system has none
    bool noCopyInKernel = false;    // copy_file_range is not supported
    std::size_t longestRead = 0;    // pread returns at most this many bytes (0: all)
    std::size_t longestWrite = 0;   // write stores at most this many bytes (0: all)
    bool diskStoresNothing = false; // write stores no byte and sets no error
    int hiddenNamesTaken = 0;       // linkat to a hidden name: so many say EEXIST
    int hiddenLinks = 0;            // linkat calls for a hidden name, counted
    int reads = 0;                  // pread calls, counted
    // The calls that make a copy durable, in their order: "sync file",
    // "sync folder", "name" (a link or rename to `output` that succeeded).
    std::string output;
    std::vector<std::string> durability;
};
Faults faults;

template <typename F> F next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool isHiddenName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return std::strncmp(slash ? slash + 1 : path, ".varnholt-", 10) == 0;
}

class SystemFaults : public ::testing::Test {
  protected:
    void SetUp() override { faults = {}; }
    void TearDown() override { faults = {}; }

    TempFolder folder;
};

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (faults.noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

ssize_t pread(int fd, void* into, std::size_t size, off_t offset) {
    ++faults.reads;
    if (faults.longestRead != 0)
        size = std::min(size, faults.longestRead);
    return next<ssize_t (*)(int, void*, std::size_t, off_t)>("pread")(fd, into, size, offset);
}

ssize_t write(int fd, const void* bytes, std::size_t size) {
    if (fd > 2 && faults.diskStoresNothing) {
        errno = 0;
        return 0;
    }
    if (fd > 2 && faults.longestWrite != 0)
        size = std::min(size, faults.longestWrite);
    return next<ssize_t (*)(int, const void*, std::size_t)>("write")(fd, bytes, size);
}

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, std::size_t size,
                        unsigned flags) {
    if (faults.noCopyInKernel) {
        errno = EXDEV;
        return -1;
    }
    return next<ssize_t (*)(int, off_t*, int, off_t*, std::size_t, unsigned)>("copy_file_range")(
        in, inOffset, out, outOffset, size, flags);
}

int fsync(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0)
        faults.durability.push_back(S_ISDIR(info.st_mode) ? "sync folder" : "sync file");
    return next<int (*)(int)>("fsync")(fd);
}

int rename(const char* from, const char* to) noexcept {
    const int result = next<int (*)(const char*, const char*)>("rename")(from, to);
    if (result == 0 && faults.output == to)
        faults.durability.push_back("name");
    return result;
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept {
    if (isHiddenName(to)) {
        ++faults.hiddenLinks;
        if (faults.hiddenNamesTaken > 0) {
            --faults.hiddenNamesTaken;
            errno = EEXIST;
            return -1;
        }
    }
    const int result = next<int (*)(int, const char*, int, const char*, int)>("linkat")(
        fromFolder, from, toFolder, to, flags);
    if (result == 0 && faults.output == to)
        faults.durability.push_back("name");
    return result;
}

} // extern "C"

// Where the file system has no unnamed files, the copy lives under a hidden
// name: with the mode a new file gets, renamed over the output on publish, and
// removed when it is never published. The descriptor is closed once only: a
// file the program opens afterwards keeps its own.
TEST_F(SystemFaults, WithoutUnnamedFilesTheCopyHasAHiddenNameUntilPublished) {
    faults.noUnnamedFiles = true;
    const std::string source = folder.file("in.sav");
    const std::string output = folder.file("out.sav");
    const auto original = pattern(3000);
    writeBytes(source, original);
    writeBytes(output, {1, 2, 3});

    const mode_t mask = ::umask(027);
    std::optional<OutputCopy> copy;
    copy.emplace(source, output);
    EXPECT_EQ(copy->size(), original.size());
    EXPECT_EQ(folder.entries().size(), 3u) << "the hidden copy, beside in and out";
    const std::uint8_t patch[] = {0xEE};
    copy->write(100, patch);
    copy->publish();
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.sav", "out.sav"}));
    // New files take the lowest free descriptors, the one the copy had among them.
    int others[4];
    for (int& other : others)
        ASSERT_GE(other = ::open(source.c_str(), O_RDONLY | O_CLOEXEC), 0);
    copy.reset();
    for (int other : others) {
        EXPECT_NE(::fcntl(other, F_GETFD), -1) << "another file's descriptor was closed";
        ::close(other);
    }

    copy.emplace(source, folder.file("never.sav"));
    copy.reset();
    ::umask(mask);

    auto expected = original;
    expected[100] = 0xEE;
    EXPECT_EQ(readBytes(output), expected);
    struct stat info {};
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.sav", "out.sav"}))
        << "a copy never published leaves nothing behind";
}

// Reads and writes that the system splits are carried on to the end; a write
// that stores nothing is a full disk, not a loop or a silent short copy.
TEST_F(SystemFaults, ShortReadsAndWritesAreCarriedOnAndAWriteOfNothingIsAFullDisk) {
    faults.noCopyInKernel = true;
    faults.longestWrite = 4096 + 5;
    faults.longestRead = 3;
    const std::string source = folder.file("in.sav");
    const std::string output = folder.file("out.sav");
    const auto original = pattern(100000);
    writeBytes(source, original);
    {
        OutputCopy copy(source, output);
        EXPECT_EQ(copy.size(), original.size());
        std::uint8_t back[10] = {};
        faults.reads = 0;
        EXPECT_EQ(copy.read(99995, back), 5u);
        EXPECT_TRUE(std::equal(back, back + 5, original.begin() + 99995));
        EXPECT_GE(faults.reads, 2) << "a read of three bytes at a time";
        copy.publish();
    }
    EXPECT_EQ(readBytes(output), original);

    faults = {};
    faults.noCopyInKernel = true;
    faults.diskStoresNothing = true;
    EXPECT_EQ(
        causeOf([&] { OutputCopy copy(source, folder.file("full.sav")); }, folder.file("full.sav")),
        FileErrorCause::DiskFull)
        << "a copy that stored nothing is a full disk";
    faults = {};
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.sav", "out.sav"}));
}

// An output that exists is replaced through a hidden name; a hidden name that is
// taken is tried again under another, up to a hundred more, then the copy fails
// and leaves the output as it was.
TEST_F(SystemFaults, TakenHiddenNamesAreTriedAgainThenGivenUp) {
    const std::string source = folder.file("in.sav");
    const std::string output = folder.file("out.sav");
    const auto original = pattern(500);
    writeBytes(source, original);
    writeBytes(output, {9});

    faults.hiddenNamesTaken = 3;
    {
        OutputCopy copy(source, output);
        copy.publish();
    }
    EXPECT_EQ(faults.hiddenLinks, 4);
    EXPECT_EQ(readBytes(output), original);

    writeBytes(output, {9});
    faults.hiddenNamesTaken = 1000;
    faults.hiddenLinks = 0;
    EXPECT_NE(causeOf(
                  [&] {
                      OutputCopy copy(source, output);
                      copy.publish();
                  },
                  output),
              FileErrorCause::None)
        << "published although every hidden name was taken";
    EXPECT_EQ(faults.hiddenLinks, 101) << "the first name and a hundred more";
    EXPECT_EQ(readBytes(output), std::vector<std::uint8_t>{9});
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.sav", "out.sav"}));
}

// A published copy survives a power cut whole: its bytes reach the disk before
// it takes the output's name, and the folder's new entry after. Whether the
// name is new, replaces a file, or the copy had a hidden name from the start.
TEST_F(SystemFaults, TheCopyIsOnTheDiskBeforeItIsNamedAndTheNameAfter) {
    const std::string source = folder.file("in.sav");
    writeBytes(source, pattern(5000));
    const std::vector<std::string> durable{"sync file", "name", "sync folder"};
    for (const bool unnamedFiles : {true, false})
        for (const bool outputExists : {false, true}) {
            const std::string output =
                folder.file(std::string(unnamedFiles ? "unnamed" : "hidden") +
                            (outputExists ? "-replaced.sav" : "-new.sav"));
            if (outputExists)
                writeBytes(output, {1});
            faults = {};
            faults.noUnnamedFiles = !unnamedFiles;
            faults.output = output;
            {
                OutputCopy copy(source, output);
                copy.publish();
            }
            EXPECT_EQ(faults.durability, durable) << output;
            EXPECT_EQ(readBytes(output), pattern(5000)) << output;
        }
}
