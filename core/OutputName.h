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

struct OutputNameResult {
    std::optional<std::string> name;
    OutputNameFailure failure = OutputNameFailure::None;
    // For AllNamesTaken: "No more %s%s%s*%s file names available. Delete one or more files."
    // For EmptyPathPart: "Cannot name a new file after PATH: it has no PART." with the
    // first missing part (drive letter, folder, file name, extension).
    std::string message;
};

using ExistsQuery = std::function<bool(const std::string& path)>;

// Tries counters 0..999 and yields the first candidate for which `exists` is
// false. On Windows all four path parts must be non-empty; on POSIX, where paths
// have no drive, the directory, base name and extension.
OutputNameResult makeOutputName(const std::string& savePath, const ExistsQuery& exists,
                                PathStyle style = nativePathStyle);

} // namespace varnholt
