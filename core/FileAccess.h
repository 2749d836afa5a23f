#pragma once
// File access, the program's one platform seam. Every failure travels as a
// FileError carrying its cause and path; its description is the sentence the
// user sees after "Error reading %s: " or "Error writing %s: ".
// One implementation per platform (FileAccessPosix.cpp, later FileAccessWin32.cpp).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace varnholt {

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

// The description limit of the failure sentence, in bytes (never cutting a
// UTF-8 sequence in two).
inline constexpr std::size_t maxFailureDescription = 254;

// The sentence for a cause, with `path` in place of %1 ("an unnamed file" when
// empty), cut to maxFailureDescription.
std::string describeFileError(FileErrorCause cause, const std::string& path);

// The description used when memory runs out.
inline constexpr const char* outOfMemoryDescription = "Out of memory.";

class FileError : public std::runtime_error {
  public:
    FileError(FileErrorCause cause, std::string path, int systemCode = 0);
    FileErrorCause cause() const { return cause_; }
    const std::string& path() const { return path_; }
    int systemCode() const { return systemCode_; }
    // The user's sentence (same as what()).
    std::string description() const { return what(); }

  private:
    FileErrorCause cause_;
    std::string path_;
    int systemCode_;
};

// A file's bytes, read whole. Not zero-filled beyond what was read.
class FileBuffer {
  public:
    FileBuffer() = default;
    explicit FileBuffer(std::size_t capacity);
    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    void setSize(std::size_t size) { size_ = size; }
    void grow(std::size_t newCapacity); // keeps the first size() bytes
    std::span<std::uint8_t> bytes() { return {bytes_.get(), size_}; }
    std::span<const std::uint8_t> bytes() const { return {bytes_.get(), size_}; }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
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
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::intptr_t handle_ = -1;
};

// Reads the whole file: one request for its reported size plus one byte, and on
// to its real end if the file is longer than reported or its size is unknown.
// Other writers are refused while it is open where the platform can enforce it.
// Throws FileError; std::bad_alloc when memory runs out.
FileBuffer readWholeFile(const std::string& path);

// Writes `bytes` as the whole content of `path`, safely: to a temporary file in
// the same folder, flushed to disk, then renamed over `path`. On any failure the
// temporary file is removed and an earlier file of that name is left as it was.
// A read-only file of that name is refused with AccessDenied. Throws FileError.
void writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

// The full path of `path`: a relative path is taken from the current folder.
// The path as it stands when that folder cannot be learnt.
std::string fullPath(const std::string& path);

// An entry (file, directory or anything else) of that path exists.
bool pathExists(const std::string& path);
// The path names an existing directory.
bool isDirectory(const std::string& path);
// Both paths name the same existing file.
bool isSameFile(const std::string& a, const std::string& b);

} // namespace varnholt
