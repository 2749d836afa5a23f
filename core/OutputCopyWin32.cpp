// The patched copy on Windows (see OutputCopy in core/FileAccess.h).

#include "core/FileAccessWin32.h"
#include "core/PathStyle.h"

#include <algorithm>

namespace varnholt {

using namespace fileio;

namespace {

// A read-only file or a directory of the output's name is refused as Windows
// itself refuses to replace it, before anything is written.
void refuseUnwritableTarget(const std::wstring& target, const std::string& path) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        fail(path, ERROR_ACCESS_DENIED);
}

void seekTo(HANDLE handle, std::uint64_t offset, const std::string& path) {
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle, distance, nullptr, FILE_BEGIN))
        fail(path, GetLastError());
}

} // namespace

struct OutputCopy::State {
    std::string sourcePath;
    std::string outputPath;
    std::wstring target; // the output path for the system
    std::wstring name;   // the temporary file's, in the output's folder
    HANDLE file = INVALID_HANDLE_VALUE;
    std::uint64_t size = 0;
    bool published = false;

    ~State() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!published && !name.empty())
            DeleteFileW(name.c_str());
    }

    // A hidden file beside the output that nobody else may open meanwhile.
    void create() {
        const std::string folder = folderOf(outputPath, PathStyle::Windows);
        ULONGLONG seed = GetTickCount64() ^ (ULONGLONG{GetCurrentProcessId()} << 32);
        for (int attempt = 0; attempt < 100; ++attempt) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            static const char digits[] = "0123456789abcdef";
            std::string candidate = folder + ".varnholt-";
            for (int i = 0; i < 8; ++i)
                candidate += digits[(seed >> (60 - 4 * i)) & 15];
            const std::wstring wide = systemPath(candidate);
            file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                name = wide;
                return;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                fail(outputPath, error);
        }
        fail(outputPath, ERROR_FILE_EXISTS);
    }

    // Copies the source piece by piece to its real end (a size the system
    // cannot tell, or one that grows meanwhile, is still copied whole); each
    // failure is told by the side that failed.
    void copyFrom(HANDLE source) {
        constexpr std::size_t piece = 1u << 20;
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[piece]);
        for (;;) {
            const std::size_t got = readUpTo(source, buffer.get(), piece, sourcePath);
            writeAll(file, {buffer.get(), got}, outputPath);
            size += got;
            if (got < piece)
                return;
        }
    }
};

OutputCopy::OutputCopy(const std::string& sourcePath, const std::string& outputPath)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.sourcePath = sourcePath;
    state.outputPath = outputPath;
    Handle source(openForReading(sourcePath));
    state.target = systemPath(outputPath);
    // What publish() would refuse is refused before a byte is copied.
    refuseUnwritableTarget(state.target, outputPath);
    state.create();
    state.copyFrom(source.get());
    closeChecked(source, sourcePath);
}

OutputCopy::~OutputCopy() = default;

std::uint64_t OutputCopy::size() const {
    return state_->size;
}

std::size_t OutputCopy::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    State& state = *state_;
    if (offset >= state.size)
        return 0;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), state.size - offset));
    seekTo(state.file, offset, state.outputPath);
    return readUpTo(state.file, into.data(), wanted, state.outputPath);
}

void OutputCopy::write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    State& state = *state_;
    if (offset > state.size || bytes.size() > state.size - offset)
        throw FileError(FileErrorCause::EndOfFile, state.outputPath);
    seekTo(state.file, offset, state.outputPath);
    writeAll(state.file, bytes, state.outputPath);
}

void OutputCopy::publish() {
    State& state = *state_;
    if (state.published)
        return;
    // The published file is an ordinary one, not hidden.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(state.file, FileBasicInfo, &basic, sizeof basic))
        fail(state.outputPath, GetLastError());
    if (!FlushFileBuffers(state.file))
        fail(state.outputPath, GetLastError());
    HANDLE file = state.file;
    state.file = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file))
        fail(state.outputPath, GetLastError());
    refuseUnwritableTarget(state.target, state.outputPath);
    // One step, written through to the disk before it returns.
    if (!MoveFileExW(state.name.c_str(), state.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(state.outputPath, GetLastError());
    state.published = true;
}

} // namespace varnholt
