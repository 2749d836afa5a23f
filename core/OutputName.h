#pragma once
// Naming the new file: the save's drive and folder, "Varnholt", a three-digit
// counter and the save's extension, the first such name that is free.

#include "core/PathStyle.h"

#include <functional>
#include <optional>
#include <string>

namespace varnholt {

inline constexpr const char* outputBaseName = "Varnholt";
inline constexpr int outputCounterLimit = 1000; // counters 000..999

enum class OutputNameFailure { None, EmptyPathPart, AllNamesTaken };

// The parts of a save's path a new name is made of.
enum class PathPart { Drive, Folder, FileName, Extension };

struct OutputNameResult {
    std::optional<std::string> name;
    OutputNameFailure failure = OutputNameFailure::None;
    // EmptyPathPart: the first part the save's path lacks.
    PathPart missingPart = PathPart::Drive;
    // AllNamesTaken: the names tried, as a pattern ("C:\\Saves\\Varnholt*.sav").
    std::string namePattern;
};

using ExistsQuery = std::function<bool(const std::string& path)>;

// Tries counters 0..999 and yields the first candidate for which `exists` is
// false. On Windows all four path parts must be non-empty; on POSIX, where paths
// have no drive, the directory, base name and extension.
OutputNameResult makeOutputName(const std::string& savePath, const ExistsQuery& exists,
                                PathStyle style = nativePathStyle);

} // namespace varnholt
