#include "words/Messages.h"

#include "core/TextCodec.h"

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

// The description used when memory runs out.
constexpr const char* outOfMemoryDescription = uiText("Out of memory.");

// A description is a sentence of its own, closed by a full stop; inside these
// messages the message's stop closes it, so that the message ends in exactly one.
std::string_view withoutFullStop(std::string_view description) {
    if (!description.empty() && description.back() == '.')
        description.remove_suffix(1);
    return description;
}

} // namespace

std::string withPath(const char* pattern, const std::string& path) {
    // Built by concatenation: GCC 12 misreports std::string::replace here at -O3.
    const std::string text(localized(pattern));
    const auto at = text.find("%s");
    return text.substr(0, at) + path + text.substr(at + 2);
}

std::string fileErrorDescription(FileErrorCause cause, const std::string& path) {
    // TRANSLATORS: stands for the file's name in a failure's description.
    const std::string_view name = path.empty() ? localized(uiText("an unnamed file")) : path;
    const std::string text = localizedWith(sentenceFor(cause), {name});
    return std::string(cutUtf8(text, maxFailureDescription));
}

std::string readErrorText(std::string_view path, std::string_view description) {
    // TRANSLATORS: %1 is the file's path, %2 what went wrong (a sentence whose
    // own full stop gives way to this one).
    return localizedWith(uiText("Error reading %1: %2."), {path, withoutFullStop(description)});
}

std::string writeErrorText(std::string_view path, std::string_view description) {
    return localizedWith(uiText("Error writing %1: %2."), {path, withoutFullStop(description)});
}

std::string loadProblemText(const LoadProblem& problem, const std::string& path) {
    switch (problem.kind) {
    case LoadProblemKind::FileFailed:
        return readErrorText(path, fileErrorDescription(problem.cause, path));
    case LoadProblemKind::OutOfMemory:
        return readErrorText(path, localized(outOfMemoryDescription));
    case LoadProblemKind::UnknownRelease:
        return withPath(uiText("Error reading %s: Unknown IRD version."), path);
    case LoadProblemKind::NoCampaignName:
        return withPath(uiText("Error reading %s: Cannot find campaign details."), path);
    case LoadProblemKind::NoAnchor:
        return withPath(uiText("Error reading %s: Cannot find descr_strat.txt."), path);
    case LoadProblemKind::UnitScaleNotRecognised:
        break;
    }
    return std::string(
        localized(uiText("Unit scale not recognised - will use default of 40 (Normal).")));
}

std::string applyProblemText(const ApplyProblem& problem, const std::string& sourcePath,
                             const std::string& outputPath) {
    switch (problem.kind) {
    case ApplyProblemKind::UnitScaleNotRecognised:
        break;
    case ApplyProblemKind::ReadFailed:
        return readErrorText(sourcePath, fileErrorDescription(problem.cause, sourcePath));
    case ApplyProblemKind::WriteFailed:
        return writeErrorText(outputPath, fileErrorDescription(problem.cause, outputPath));
    case ApplyProblemKind::OutOfMemory:
        return readErrorText(sourcePath, localized(outOfMemoryDescription));
    case ApplyProblemKind::LayoutChanged:
        return readErrorText(sourcePath,
                             localized(uiText("The file has changed since it was loaded; load the "
                                              "saved game again before applying changes.")));
    case ApplyProblemKind::ReplacesSource:
        return writeErrorText(
            outputPath,
            localized(uiText("The new file would replace the saved game it is made from.")));
    }
    return std::string(
        localized(uiText("Unit scale not recognised - unit scale will not be changed.")));
}

std::string outputNameText(const OutputNameResult& result, const std::string& savePath) {
    if (result.failure == OutputNameFailure::AllNamesTaken)
        // TRANSLATORS: %1 is a name pattern such as C:\Saves\Varnholt*.sav.
        return localizedWith(uiText("No more %1 file names available. Delete one or more files."),
                             {result.namePattern});
    // Whole sentences, so that each language words them its own way.
    const char* missing = nullptr;
    switch (result.missingPart) {
    case PathPart::Drive:
        missing = uiText("Cannot name a new file after %1: it has no drive letter.");
        break;
    case PathPart::Folder:
        missing = uiText("Cannot name a new file after %1: it has no folder.");
        break;
    case PathPart::FileName:
        missing = uiText("Cannot name a new file after %1: it has no file name.");
        break;
    case PathPart::Extension:
        missing = uiText("Cannot name a new file after %1: it has no extension.");
        break;
    }
    return localizedWith(missing, {savePath});
}

} // namespace varnholt
