// Windows only: system error codes as the user reads them, UTF-8 and long
// paths through the wide API, and another program holding a save open.

#include "CoreTestSupport.h"
#include "TestFiles.h"

#include "core/ApplyChanges.h"
#include "core/FileAccessWin32.h"
#include "core/SaveGameLoader.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace varnholt;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
namespace gen = varnholt::savegen;

namespace {

FileErrorCause causeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const FileError& error) {
        return error.cause();
    }
    return FileErrorCause::None;
}

// Runs hold_open.exe (built beside this test) on `path` until destroyed.
class HeldOpen {
  public:
    HeldOpen(const wchar_t* mode, const std::string& path) {
        static int count = 0;
        const std::wstring tag =
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
        const std::wstring readyName = L"varnholt-ready-" + tag;
        const std::wstring releaseName = L"varnholt-release-" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
        release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        wchar_t self[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring helper = self;
        helper = helper.substr(0, helper.find_last_of(L'\\') + 1) + L"hold_open.exe";
        std::wstring command = L"\"" + helper + L"\" " + mode + L" \"" +
                               testfiles::pathOf(path).wstring() + L"\" " + readyName + L" " +
                               releaseName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process))
            throw std::runtime_error("cannot start hold_open.exe");
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        HANDLE waitFor[] = {ready_, process_};
        if (WaitForMultipleObjects(2, waitFor, FALSE, 20000) != WAIT_OBJECT_0)
            throw std::runtime_error("hold_open.exe did not open the file");
    }
    ~HeldOpen() {
        SetEvent(release_);
        WaitForSingleObject(process_, 20000);
        CloseHandle(process_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

  private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
};

} // namespace

TEST(FileAccessWin32, SystemErrorCodesBecomeTheCausesUsersRead) {
    const struct {
        DWORD code;
        FileErrorCause cause;
    } rows[] = {
        {ERROR_SUCCESS, FileErrorCause::None},
        {ERROR_FILE_NOT_FOUND, FileErrorCause::FileNotFound},
        {ERROR_PATH_NOT_FOUND, FileErrorCause::BadPath},
        {ERROR_INVALID_NAME, FileErrorCause::BadPath},
        {ERROR_INVALID_DRIVE, FileErrorCause::BadPath},
        {ERROR_FILENAME_EXCED_RANGE, FileErrorCause::BadPath},
        {ERROR_NO_UNICODE_TRANSLATION, FileErrorCause::BadPath},
        {ERROR_TOO_MANY_OPEN_FILES, FileErrorCause::TooManyOpenFiles},
        {ERROR_ACCESS_DENIED, FileErrorCause::AccessDenied},
        {ERROR_WRITE_PROTECT, FileErrorCause::AccessDenied},
        {ERROR_INVALID_HANDLE, FileErrorCause::InvalidFileHandle},
        {ERROR_CURRENT_DIRECTORY, FileErrorCause::RemoveCurrentDirectory},
        {ERROR_CANNOT_MAKE, FileErrorCause::DirectoryFull},
        {ERROR_SEEK, FileErrorCause::SeekFailed},
        {ERROR_NEGATIVE_SEEK, FileErrorCause::SeekFailed},
        {ERROR_CRC, FileErrorCause::HardwareIo},
        {ERROR_NOT_READY, FileErrorCause::HardwareIo},
        {ERROR_SHARING_VIOLATION, FileErrorCause::SharingViolation},
        {ERROR_LOCK_VIOLATION, FileErrorCause::LockingViolation},
        {ERROR_DISK_FULL, FileErrorCause::DiskFull},
        {ERROR_HANDLE_DISK_FULL, FileErrorCause::DiskFull},
        {ERROR_HANDLE_EOF, FileErrorCause::EndOfFile},
        {ERROR_NOT_ENOUGH_MEMORY, FileErrorCause::Other},
        {12345, FileErrorCause::Other},
    };
    for (const auto& row : rows)
        EXPECT_EQ(causeOfWindowsError(row.code), row.cause) << "code " << row.code;
}

TEST(FileAccessWin32, PathsAreUtf8AndMayBeLongerThanMaxPath) {
    TempFolder folder;
    const std::string source = folder.file("source.sav");
    testfiles::writeBytes(source, {1, 2, 3});
    const auto sizeOf = [](const std::string& path) {
        std::uint8_t bytes[8];
        return SequentialFile(path).read(bytes);
    };
    // The name reaches the disk as these characters, not as code-page bytes.
    const std::string unicode = folder.file("\xce\xa9mega \xc3\xbc \xe4\xb8\xad.sav");
    OutputCopy(source, unicode).publish();
    const auto wideName = folder.path() / L"\u03a9mega \u00fc \u4e2d.sav";
    EXPECT_TRUE(std::filesystem::exists(wideName));
    // The copy was hidden while it was made; the new file is not.
    EXPECT_EQ(GetFileAttributesW(wideName.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(sizeOf(unicode), 3u);

    // Text that is not UTF-8 is a bad path, and nothing is created.
    const std::string invalid = folder.folder() + "bad\xff.sav";
    EXPECT_EQ(causeOf([&] { OutputCopy(invalid, unicode); }), FileErrorCause::BadPath);
    EXPECT_EQ(causeOf([&] { OutputCopy(source, invalid); }), FileErrorCause::BadPath);
    EXPECT_FALSE(pathExists(invalid));
    EXPECT_EQ(folder.entries().size(), 2u);

    // A folder deeper than MAX_PATH characters.
    std::wstring deep = L"\\\\?\\" + folder.path().wstring();
    std::vector<std::wstring> made;
    for (int level = 0; level < 3; ++level) {
        deep += L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
        made.push_back(deep);
    }
    const std::string longPath = testfiles::utf8Of(deep.substr(4)) + "\\long.sav";
    ASSERT_GT(longPath.size(), static_cast<std::size_t>(MAX_PATH));
    OutputCopy(source, longPath).publish();
    EXPECT_EQ(sizeOf(longPath), 3u);
    EXPECT_TRUE(pathExists(longPath));
    EXPECT_TRUE(isDirectory(testfiles::utf8Of(deep.substr(4))));
    DeleteFileW((deep + L"\\long.sav").c_str());
    for (auto level = made.rbegin(); level != made.rend(); ++level)
        RemoveDirectoryW(level->c_str());
}

// Another program writing the save: the load and Apply say so, and nothing is
// written. Another program merely reading it: both work. A program that keeps
// the output open: the write fails and leaves no temporary file.
TEST(FileAccessWin32, ASaveHeldOpenByAnotherProgram) {
    TempFolder folder;
    const std::string source = folder.file("q.sav");
    const std::string output = folder.file("Varnholt000.sav");
    gen::writeSave(source, gen::specForRelease("1.2"));
    const SaveGameInfo info = test::loadOrFail(source).info;
    EditRequest request;
    request.unitScale = 80;
    {
        HeldOpen writer(L"write", source);
        const LoadResult loaded = loadSaveGame(source);
        EXPECT_FALSE(loaded.succeeded());
        EXPECT_EQ(loaded.problems, (std::vector<LoadProblem>{{LoadProblemKind::FileFailed,
                                                              FileErrorCause::SharingViolation}}));
        const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.problems,
                  (std::vector<ApplyProblem>{
                      {ApplyProblemKind::ReadFailed, FileErrorCause::SharingViolation}}));
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"q.sav"});
    }
    {
        HeldOpen reader(L"read", source);
        EXPECT_TRUE(loadSaveGame(source).succeeded());
        EXPECT_TRUE(applyChanges(source, output, loadedLayout(info), request).written);
    }
    const auto written = readBytes(output);
    {
        HeldOpen reader(L"read", output);
        const ApplyOutcome outcome =
            applyChanges(source, output, loadedLayout(info), EditRequest{});
        EXPECT_FALSE(outcome.written);
        ASSERT_EQ(outcome.problems.size(), 1u);
        EXPECT_EQ(outcome.problems[0].kind, ApplyProblemKind::WriteFailed);
    }
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Varnholt000.sav", "q.sav"}));
    EXPECT_EQ(readBytes(output), written);
}
