#include "core/FileAccess.h"

namespace varnholt {

namespace {

// For logs; the user reads the sentence words/Messages.h chooses.
const char* causeName(FileErrorCause cause) {
    switch (cause) {
    case FileErrorCause::None:
        return "no error";
    case FileErrorCause::Other:
        break;
    case FileErrorCause::FileNotFound:
        return "file not found";
    case FileErrorCause::BadPath:
        return "invalid path";
    case FileErrorCause::TooManyOpenFiles:
        return "too many open files";
    case FileErrorCause::AccessDenied:
        return "access denied";
    case FileErrorCause::InvalidFileHandle:
        return "invalid file handle";
    case FileErrorCause::RemoveCurrentDirectory:
        return "removing the current directory";
    case FileErrorCause::DirectoryFull:
        return "directory full";
    case FileErrorCause::SeekFailed:
        return "seek failed";
    case FileErrorCause::HardwareIo:
        return "hardware input/output error";
    case FileErrorCause::SharingViolation:
        return "sharing violation";
    case FileErrorCause::LockingViolation:
        return "locking violation";
    case FileErrorCause::DiskFull:
        return "disk full";
    case FileErrorCause::EndOfFile:
        return "past the end of the file";
    }
    return "unknown error";
}

} // namespace

FileError::FileError(FileErrorCause cause, std::string path)
    : std::runtime_error(std::string(causeName(cause)) + ": " + path), cause_(cause),
      path_(std::move(path)) {}

} // namespace varnholt
