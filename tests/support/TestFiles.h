#pragma once
// Files for tests: a temporary folder per test, removed with everything in it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace varnholt::testfiles {

// Paths are UTF-8 text in the program on every platform.
std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return utf8Of(path_ / pathOf(name)); }
    // The folder's path with a separator at its end.
    std::string folder() const { return utf8Of(path_ / ""); }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> entries() const;

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace varnholt::testfiles
