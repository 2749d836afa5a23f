#include "core/FileAccess.h"

#include <string>

namespace varnholt {

FileError::FileError(FileErrorCause cause, std::string path)
    : std::runtime_error("file error (cause " + std::to_string(static_cast<int>(cause)) +
                         "): " + path),
      cause_(cause), path_(std::move(path)) {}

} // namespace varnholt
