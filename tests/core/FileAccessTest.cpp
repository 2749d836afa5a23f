// Reading whole files of any kind and writing outputs that never leave a partial file.

#include "TestFiles.h"

#include "core/FileAccess.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32 // POSIX-only cases: a pipe, the file-size limit, the creation mask
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

using namespace varnholt;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
using varnholt::testfiles::writeBytes;

namespace {

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + (i >> 8));
    return bytes;
}

std::vector<std::uint8_t> asVector(const FileBuffer& buffer) {
    return {buffer.bytes().begin(), buffer.bytes().end()};
}

#ifndef _WIN32
// Lowers the file-size limit for one scope, so that writes beyond it fail as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};
#endif

} // namespace

TEST(FileAccess, ReadsWholeFilesOfEverySize) {
    TempFolder folder;
    for (std::size_t size : {0u, 1u, 4095u, 65536u, 1u << 20}) {
        const std::string path = folder.file("f" + std::to_string(size));
        writeBytes(path, pattern(size));
        EXPECT_EQ(asVector(readWholeFile(path)), pattern(size)) << size;
    }
    const std::string unicode = folder.file("\xc3\xa9t\xc3\xa9 \xe4\xb8\xad.sav");
    writeBytes(unicode, pattern(10));
    EXPECT_EQ(asVector(readWholeFile(unicode)), pattern(10));
}

#ifndef _WIN32
TEST(FileAccess, ASourceOfUnknownSizeIsReadToItsEnd) {
    TempFolder folder;
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto expected = pattern(300000); // far more than the 64 KiB first guess
    std::thread writer([&] { writeBytes(fifo, expected); });
    const FileBuffer buffer = readWholeFile(fifo);
    writer.join();
    EXPECT_EQ(asVector(buffer), expected);
}
#endif

TEST(FileAccess, ReadFailuresCarryTheirCause) {
    TempFolder folder;
    const auto causeOf = [](const std::string& path) {
        try {
            readWholeFile(path);
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), path);
            return error.cause();
        }
        return FileErrorCause::None;
    };
    EXPECT_EQ(causeOf(folder.file("missing")), FileErrorCause::FileNotFound);
    EXPECT_EQ(causeOf(testfiles::utf8Of(folder.path())), FileErrorCause::AccessDenied);
    writeBytes(folder.file("plain"), {1});
    EXPECT_EQ(causeOf(folder.file("plain") + "/below"), FileErrorCause::BadPath);
#ifndef _WIN32 // Windows (and Wine) may answer a name too long for the disk as not found
    EXPECT_EQ(causeOf(folder.file(std::string(300, 'n'))), FileErrorCause::BadPath);
#endif
}

TEST(FileAccess, WritesReplaceAnEarlierFileWhole) {
    TempFolder folder;
    const std::string out = folder.file("Varnholt000.sav");
    writeBytes(out, pattern(5000));
    writeFileSafely(out, pattern(10));
    EXPECT_EQ(readBytes(out), pattern(10));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Varnholt000.sav"});
#ifndef _WIN32
    // New files get the usual permissions, not those of a private temporary file.
    const mode_t mask = umask(022);
    writeFileSafely(folder.file("new.sav"), pattern(1));
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat(folder.file("new.sav").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
#endif
}

#ifndef _WIN32
TEST(FileAccess, AFullDiskLeavesTheFolderAsItWas) {
    TempFolder folder;
    const std::string out = folder.file("Varnholt000.sav");
    writeBytes(out, pattern(100));
    writeBytes(folder.file("other.sav"), pattern(7));
    const auto before = folder.entries();
    try {
        FileSizeLimit limit(64 * 1024);
        writeFileSafely(out, pattern(1 << 20));
        FAIL() << "the write should have failed";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::DiskFull);
        EXPECT_EQ(error.path(), out);
        EXPECT_EQ(error.description(), "Disk full while accessing " + out + ".");
    }
    EXPECT_EQ(folder.entries(), before) << "no temporary file is left behind";
    EXPECT_EQ(readBytes(out), pattern(100)) << "the earlier file is untouched";
}
#endif

TEST(FileAccess, ReadOnlyTargetsAndFoldersAreRefused) {
    TempFolder folder;
    const std::string locked = folder.file("locked.sav");
    writeBytes(locked, pattern(3));
    std::filesystem::permissions(testfiles::pathOf(locked),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(writeFileSafely(locked, pattern(9)), FileError);
    EXPECT_EQ(readBytes(locked), pattern(3));
    const std::string dir = folder.file("dir.sav");
    std::filesystem::create_directory(testfiles::pathOf(dir));
    try {
        writeFileSafely(dir, pattern(9));
        FAIL();
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    }
    EXPECT_TRUE(std::filesystem::is_directory(testfiles::pathOf(dir)));
    EXPECT_TRUE(pathExists(dir));
    EXPECT_TRUE(isDirectory(dir));
    EXPECT_FALSE(isDirectory(locked));
    EXPECT_FALSE(pathExists(folder.file("none")));
    EXPECT_TRUE(isSameFile(locked, testfiles::utf8Of(folder.path()) + "/./locked.sav"));
    EXPECT_FALSE(isSameFile(locked, dir));
}
