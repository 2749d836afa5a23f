#include "core/FileAccess.h"
#include "core/TextCodec.h"

namespace varnholt {

namespace {

const char* sentenceFor(FileErrorCause cause) {
    switch (cause) {
    case FileErrorCause::None:
        return "No error occurred.";
    case FileErrorCause::Other:
        break;
    case FileErrorCause::FileNotFound:
        return "%1 was not found.";
    case FileErrorCause::BadPath:
        return "%1 contains an invalid path.";
    case FileErrorCause::TooManyOpenFiles:
        return "%1 could not be opened because there are too many open files.";
    case FileErrorCause::AccessDenied:
        return "Access to %1 was denied.";
    case FileErrorCause::InvalidFileHandle:
        return "An invalid file handle was associated with %1.";
    case FileErrorCause::RemoveCurrentDirectory:
        return "%1 could not be removed because it is the current directory.";
    case FileErrorCause::DirectoryFull:
        return "%1 could not be created because the directory is full.";
    case FileErrorCause::SeekFailed:
        return "Seek failed on %1";
    case FileErrorCause::HardwareIo:
        return "A hardware I/O error was reported while accessing %1.";
    case FileErrorCause::SharingViolation:
        return "A sharing violation occurred while accessing %1.";
    case FileErrorCause::LockingViolation:
        return "A locking violation occurred while accessing %1.";
    case FileErrorCause::DiskFull:
        return "Disk full while accessing %1.";
    case FileErrorCause::EndOfFile:
        return "An attempt was made to access %1 past its end.";
    }
    return "An unknown error occurred while accessing %1.";
}

} // namespace

std::string describeFileError(FileErrorCause cause, const std::string& path) {
    const std::string sentence = sentenceFor(cause);
    const std::string name = path.empty() ? std::string("an unnamed file") : path;
    std::string text;
    const auto at = sentence.find("%1");
    if (at == std::string::npos)
        text = sentence;
    else
        text = sentence.substr(0, at) + name + sentence.substr(at + 2);
    return std::string(cutUtf8(text, maxFailureDescription));
}

FileError::FileError(FileErrorCause cause, std::string path)
    : std::runtime_error(describeFileError(cause, path)), cause_(cause), path_(std::move(path)) {}

} // namespace varnholt
