// Patched copies of files of any kind, published whole or not at all.

#include "FileTestHelpers.h"
#include "TestFiles.h"

#include "core/FileAccess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifndef _WIN32 // POSIX-only cases: a pipe, the file-size limit, the creation mask
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

using namespace varnholt;
using varnholt::testfiles::causeOf;
using varnholt::testfiles::pattern;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
using varnholt::testfiles::writeBytes;

namespace {

// Copies `source` to `output`, checks the size of the copy, overwrites the byte
// at `patchAt` when it lies inside, checks what reads back, and publishes.
void copyPatchAndPublish(const std::string& source, const std::string& output, std::uint64_t size,
                         std::uint64_t patchAt) {
    OutputCopy copy(source, output);
    EXPECT_EQ(copy.size(), size);
    const std::uint8_t patch[] = {0xA5};
    if (patchAt < copy.size()) {
        copy.write(patchAt, patch);
        std::uint8_t back[2] = {};
        EXPECT_EQ(copy.read(patchAt, back), std::min<std::uint64_t>(2, copy.size() - patchAt));
        EXPECT_EQ(back[0], 0xA5);
    }
    copy.publish();
}

// Marks a file read-only (for everyone) or writable again.
void setReadOnly(const std::string& path, bool readOnly) {
    using std::filesystem::perms;
    std::filesystem::permissions(
        testfiles::pathOf(path), perms::owner_write | perms::group_write | perms::others_write,
        readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
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

TEST(FileAccess, CopiesOfEverySizeAndKindArePatchedAndPublishedWhole) {
    TempFolder folder;
    const std::string output = folder.file("Varnholt000.sav");
    for (std::size_t size : {0u, 1u, 4095u, 65536u, (3u << 20) + 7}) {
        SCOPED_TRACE(size);
        const std::string source = folder.file("source.sav");
        writeBytes(source, pattern(size));
        copyPatchAndPublish(source, output, size, size / 2);
        auto expected = pattern(size);
        if (size > 0)
            expected[size / 2] = 0xA5;
        EXPECT_EQ(readBytes(output), expected);
        EXPECT_EQ(readBytes(source), pattern(size)) << "the source is never written";
        EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Varnholt000.sav", "source.sav"}));
    }
#ifndef _WIN32
    // A source of unknown size, which the kernel cannot copy, is copied to its
    // end piece by piece, and every piece counts in the copy's size.
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto expected = pattern(3000000);
    std::thread writer([&] { writeBytes(fifo, expected); });
    copyPatchAndPublish(fifo, folder.file("\xc3\xa9t\xc3\xa9 \xe4\xb8\xad.sav"), 3000000, 2999999);
    writer.join();
    expected.back() = 0xA5;
    EXPECT_EQ(readBytes(folder.file("\xc3\xa9t\xc3\xa9 \xe4\xb8\xad.sav")), expected);
#endif
}

TEST(FileAccess, PublishingReplacesAnEarlierFileAndAbandoningLeavesNothing) {
    TempFolder folder;
    const std::string source = folder.file("source.sav");
    const std::string out = folder.file("Varnholt000.sav");
    writeBytes(source, pattern(10));
#ifndef _WIN32
    chmod(source.c_str(), 0600);
#endif
    writeBytes(out, pattern(5000));
    {
        OutputCopy abandoned(source, out);
        abandoned.write(0, pattern(3));
        // The copy never grows.
        EXPECT_EQ(causeOf([&] { abandoned.write(9, pattern(2)); }, out), FileErrorCause::EndOfFile);
    }
    EXPECT_EQ(readBytes(out), pattern(5000)) << "nothing changes before publishing";
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Varnholt000.sav", "source.sav"}));

#ifndef _WIN32
    // New files get the usual permissions, not those of the source or of a private temporary.
    const mode_t mask = umask(022);
#endif
    copyPatchAndPublish(source, out, 10, 100);
    copyPatchAndPublish(source, folder.file("new.sav"), 10, 100);
#ifndef _WIN32
    umask(mask);
    for (const char* name : {"Varnholt000.sav", "new.sav"}) {
        struct stat info {};
        ASSERT_EQ(stat(folder.file(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u) << name;
    }
#endif
    EXPECT_EQ(readBytes(out), pattern(10));
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"Varnholt000.sav", "new.sav", "source.sav"}));
}

#ifndef _WIN32
TEST(FileAccess, AFullDiskLeavesTheFolderAsItWas) {
    TempFolder folder;
    const std::string source = folder.file("source.sav");
    const std::string out = folder.file("Varnholt000.sav");
    writeBytes(source, pattern(1 << 20));
    writeBytes(out, pattern(100));
    const auto before = folder.entries();
    try {
        FileSizeLimit limit(64 * 1024);
        OutputCopy copy(source, out);
        copy.publish();
        FAIL() << "the copy should have failed";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::DiskFull);
        EXPECT_EQ(error.path(), out);
    }
    EXPECT_EQ(folder.entries(), before) << "no temporary file is left behind";
    EXPECT_EQ(readBytes(out), pattern(100)) << "the earlier file is untouched";
}
#endif

#ifndef _WIN32
// A program started without standard input gets descriptor 0 for the first file
// it opens; that one is closed like any other.
TEST(FileAccess, DescriptorZeroIsClosedToo) {
    TempFolder folder;
    const std::string source = folder.file("source.sav");
    writeBytes(source, pattern(3));
    const int input = ::dup(0);
    ::close(0);
    { SequentialFile file(source); }
    const bool leftOpen = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);
    ::close(input);
    EXPECT_FALSE(leftOpen);
}
#endif

TEST(FileAccess, FailuresNameTheFileThatFailed) {
    TempFolder folder;
    const std::string source = folder.file("source.sav");
    const std::string out = folder.file("out.sav");
    writeBytes(source, pattern(3));
    const auto copyTo = [](const std::string& from, const std::string& to) {
        return [from, to] { OutputCopy(from, to).publish(); };
    };
    // The source.
    EXPECT_EQ(causeOf(copyTo(folder.file("missing"), out), folder.file("missing")),
              FileErrorCause::FileNotFound);
    const std::string folderPath = testfiles::utf8Of(folder.path());
    EXPECT_EQ(causeOf(copyTo(folderPath, out), folderPath), FileErrorCause::AccessDenied);
    EXPECT_EQ(causeOf(copyTo(source + "/below", out), source + "/below"), FileErrorCause::BadPath);
#ifndef _WIN32 // Windows (and Wine) may answer a name too long for the disk as not found
    const std::string longName = folder.file(std::string(300, 'n'));
    EXPECT_EQ(causeOf(copyTo(longName, out), longName), FileErrorCause::BadPath);
#endif
    // The output: no such folder, a folder in the way, a read-only file (refused
    // before copying, and again when it turns read-only meanwhile).
    const std::string nowhere = folder.file("no/such.sav");
    EXPECT_EQ(causeOf(copyTo(source, nowhere), nowhere), FileErrorCause::BadPath);
    const std::string dir = folder.file("dir.sav");
    std::filesystem::create_directory(dir);
    EXPECT_EQ(causeOf(copyTo(source, dir), dir), FileErrorCause::AccessDenied);
    const std::string locked = folder.file("locked.sav");
    writeBytes(locked, pattern(9));
    setReadOnly(locked, true);
    EXPECT_EQ(causeOf(copyTo(source, locked), locked), FileErrorCause::AccessDenied);
    setReadOnly(locked, false);
    {
        OutputCopy late(source, locked);
        setReadOnly(locked, true);
        EXPECT_EQ(causeOf([&] { late.publish(); }, locked), FileErrorCause::AccessDenied);
    } // where the copy has a name until then, it goes with the object
    EXPECT_EQ(readBytes(locked), pattern(9));
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"dir.sav", "locked.sav", "source.sav"}));
}

TEST(FileAccess, PathQueries) {
    TempFolder folder;
    const std::string file = folder.file("f.sav");
    writeBytes(file, pattern(3));
    const std::string dir = folder.file("dir.sav");
    std::filesystem::create_directory(dir);
    EXPECT_TRUE(pathExists(dir));
    EXPECT_TRUE(isDirectory(dir));
    EXPECT_FALSE(isDirectory(file));
    EXPECT_FALSE(pathExists(folder.file("none")));
    EXPECT_TRUE(isSameFile(file, testfiles::utf8Of(folder.path()) + "/./f.sav"));
    EXPECT_FALSE(isSameFile(file, dir));
    // Folders a new file can be written in.
    EXPECT_TRUE(isWritableFolder(testfiles::utf8Of(folder.path())));
    EXPECT_FALSE(isWritableFolder(file));
    EXPECT_FALSE(isWritableFolder(folder.file("none")));
    EXPECT_FALSE(isWritableFolder(""));
#ifndef _WIN32
    // The home folder: HOME, and the account's where HOME is empty.
    const char* home = std::getenv("HOME");
    const std::optional<std::string> savedHome =
        home ? std::optional<std::string>(home) : std::nullopt;
    ::setenv("HOME", "/somewhere/else", 1);
    const auto fromHome = homeFolder();
    ::setenv("HOME", "", 1);
    const auto fromAccount = homeFolder();
    if (savedHome)
        ::setenv("HOME", savedHome->c_str(), 1);
    else
        ::unsetenv("HOME");
    EXPECT_EQ(fromHome, "/somewhere/else");
    if (const passwd* account = ::getpwuid(::getuid());
        account && account->pw_dir && *account->pw_dir) {
        EXPECT_EQ(fromAccount, std::string(account->pw_dir));
    }
#endif
#ifndef _WIN32 // a current folder on Windows is held to MAX_PATH
    // A relative path in a current folder longer than the first guess at its length.
    std::filesystem::path deep = folder.path();
    for (char letter = 'a'; letter < 'm'; ++letter)
        deep /= std::string(40, letter);
    std::filesystem::create_directories(deep);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(deep);
    const std::string full = fullPath("q.sav");
    const std::string expected = testfiles::utf8Of(std::filesystem::current_path() / "q.sav");
    std::filesystem::current_path(previous);
    EXPECT_GT(expected.size(), 512u);
    EXPECT_EQ(full, expected);
#endif
}
