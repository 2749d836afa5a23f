#pragma once
// File access, the program's one platform seam. Every failure travels as a
// FileError carrying its cause and path; the sentence the user reads for it is
// chosen above core (words/Messages.h).
// One implementation per platform: FileAccessPosix.cpp with OutputCopyPosix.cpp,
// FileAccessWin32.cpp with OutputCopyWin32.cpp.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace varnholt {

// Every cause a file operation may fail with, including those only some
// platform error maps to, and None for no error.
enum class FileErrorCause {
    None,
    Other,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFileHandle,
    RemoveCurrentDirectory,
    DirectoryFull,
    SeekFailed,
    HardwareIo,
    SharingViolation,
    LockingViolation,
    DiskFull, // also a write that stored fewer bytes than asked
    EndOfFile,
};

// A failed file operation: its cause and the path of the file it failed on.
// what() gives both, the cause as its number in FileErrorCause, for a test's or
// a log's output; the user reads the sentence words/Messages.h chooses.
class FileError : public std::runtime_error {
  public:
    FileError(FileErrorCause cause, std::string path);
    FileErrorCause cause() const { return cause_; }
    const std::string& path() const { return path_; }

  private:
    FileErrorCause cause_;
    std::string path_;
};

// A file read from its start, piece by piece, for readers that may stop before
// its end. Other writers are refused while it is open where the platform can
// enforce it. Closed on destruction; close() reports a failure to close.
class SequentialFile {
  public:
    explicit SequentialFile(const std::string& path); // throws FileError
    ~SequentialFile();
    SequentialFile(const SequentialFile&) = delete;
    SequentialFile& operator=(const SequentialFile&) = delete;
    // Fills `into` as far as the file goes; fewer bytes only at its end. Throws FileError.
    std::size_t read(std::span<std::uint8_t> into);
    void close(); // throws FileError

  private:
    struct State; // the platform's handle
    std::unique_ptr<State> state_;
};

// The patched copy of a saved game: a new file made as a copy of a source file,
// changed in a few places, and put in place of its output path in one step. No
// more of either file than a small piece is ever held in memory.
//
// The contract, on every platform:
// - The constructor opens the source for reading (others may go on reading it
//   but not write it, where the platform can enforce that), refuses an output
//   path that publish() would refuse (see there) before any byte is copied,
//   creates a temporary file in the output's folder, and copies the source into
//   it to the source's real end (a size that the file system cannot report or
//   that grows meanwhile is still copied whole), by a copy inside the operating
//   system where it has one. The source is closed before the constructor returns
//   and is never opened for writing.
// - Until publish() has succeeded nothing at the output path changes, and the
//   temporary file is removed on every failure and by the destructor: a copy
//   that fails or is abandoned leaves the folder as it was. Where the platform
//   can, the temporary file has no name in the folder until publish() (Linux:
//   O_TMPFILE), so that even a killed process leaves nothing behind; elsewhere it
//   is a hidden ".varnholt-" file that only a killed process can leave.
// - size(), read() and write() work on the copy, never on the source.
// - publish() flushes the copy's bytes to the disk, puts the copy in place of
//   the output path in one step (an existing file of that name is replaced, as
//   cp does; readers see the old file or the complete new one, never a part),
//   and flushes the folder so that the new name survives a crash. A read-only
//   file (refused whoever runs the program, as on Windows) or a directory of
//   that name is refused with AccessDenied and left as it is. The new file gets
//   the permissions a newly created file gets, not those of the source.
// - Failures throw FileError. Its path() is the source path when opening,
//   reading or closing the source failed, and the output path for everything
//   else (creating, writing, reading back, flushing or naming the copy). A write
//   that stores fewer bytes than asked is DiskFull. When a copy inside the
//   operating system fails, the rest is copied piece by piece, so that the
//   failure is told by the side that failed, not blamed on the pair.
//   std::bad_alloc when memory runs out. After a failure the object may only be
//   destroyed.
class OutputCopy {
  public:
    OutputCopy(const std::string& sourcePath, const std::string& outputPath); // throws
    ~OutputCopy(); // removes the copy unless published; never throws
    OutputCopy(const OutputCopy&) = delete;
    OutputCopy& operator=(const OutputCopy&) = delete;

    // The number of bytes copied: the source's size.
    std::uint64_t size() const;
    // Fills `into` from `offset` of the copy; fewer bytes only at its end (none
    // from size() on). Throws FileError.
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> into);
    // Overwrites bytes of the copy. The copy never grows: bytes beyond size() are
    // refused with EndOfFile, and nothing is written. Throws FileError.
    void write(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Flushes the copy and puts it in place of the output path, as above. Once.
    void publish(); // throws FileError

  private:
    struct State; // the platform's handles
    std::unique_ptr<State> state_;
};

// The full path of `path`: a relative path is taken from the current folder.
// The path as it stands when that folder cannot be learnt.
std::string fullPath(const std::string& path);

// An entry (file, directory or anything else) of that path exists.
bool pathExists(const std::string& path);
// The path names an existing directory.
bool isDirectory(const std::string& path);
// Both paths name the same existing file.
bool isSameFile(const std::string& a, const std::string& b);

// The user may create files in that existing folder (false for an empty path).
bool isWritableFolder(const std::string& folder);
// The user's home folder (HOME, else the account's; USERPROFILE on Windows),
// or nothing when the system does not say.
std::optional<std::string> homeFolder();

} // namespace varnholt
