#include "core/FileAccess.h"
#include "core/TextCodec.h"
#include "core/UiText.h"

namespace varnholt {

namespace {

const char* sentenceFor(FileErrorCause cause) {
    switch (cause) {
    case FileErrorCause::None:
        return uiText("No error occurred.");
    case FileErrorCause::Other:
        break;
    case FileErrorCause::FileNotFound:
        return uiText("%1 was not found.");
    case FileErrorCause::BadPath:
        return uiText("%1 contains an invalid path.");
    case FileErrorCause::TooManyOpenFiles:
        return uiText("%1 could not be opened because there are too many open files.");
    case FileErrorCause::AccessDenied:
        return uiText("Access to %1 was denied.");
    case FileErrorCause::InvalidFileHandle:
        return uiText("An invalid file handle was associated with %1.");
    case FileErrorCause::RemoveCurrentDirectory:
        return uiText("%1 could not be removed because it is the current directory.");
    case FileErrorCause::DirectoryFull:
        return uiText("%1 could not be created because the directory is full.");
    case FileErrorCause::SeekFailed:
        return uiText("Seek failed on %1.");
    case FileErrorCause::HardwareIo:
        return uiText("A hardware I/O error was reported while accessing %1.");
    case FileErrorCause::SharingViolation:
        return uiText("A sharing violation occurred while accessing %1.");
    case FileErrorCause::LockingViolation:
        return uiText("A locking violation occurred while accessing %1.");
    case FileErrorCause::DiskFull:
        return uiText("Disk full while accessing %1.");
    case FileErrorCause::EndOfFile:
        return uiText("An attempt was made to access %1 past its end.");
    }
    return uiText("An unknown error occurred while accessing %1.");
}

} // namespace

std::string describeFileError(FileErrorCause cause, const std::string& path) {
    // TRANSLATORS: stands for the file's name in a failure's description.
    const std::string_view name = path.empty() ? localized(uiText("an unnamed file")) : path;
    const std::string text = localizedWith(sentenceFor(cause), {name});
    return std::string(cutUtf8(text, maxFailureDescription));
}

FileError::FileError(FileErrorCause cause, std::string path)
    : std::runtime_error(describeFileError(cause, path)), cause_(cause), path_(std::move(path)) {}

} // namespace varnholt
