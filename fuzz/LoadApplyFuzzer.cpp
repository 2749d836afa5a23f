// Feeds arbitrary bytes to the loader and, when a load succeeds, to the writer with
// arbitrary ticks and values. The last 16 bytes of the input choose the edits, so
// the saves of examples/ work as seeds as they are.

#include "core/ApplyChanges.h"
#include "core/SaveGameLoader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string& workFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/varnholt-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        std::uint8_t chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return bytes;
}

std::int32_t i32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t control[16] = {};
    std::size_t fileSize = size;
    if (size >= sizeof control) {
        fileSize = size - sizeof control;
        std::memcpy(control, data + fileSize, sizeof control);
    }
    const std::string source = workFolder() + "/source.sav";
    const std::string output = workFolder() + "/output.sav";
    if (!writeFile(source, data, fileSize))
        std::abort();
    ::unlink(output.c_str());

    using namespace varnholt;
    const LoadResult loaded = loadSaveGame(source);
    // Every failure is reported, as the one problem that ends it.
    if (!loaded.succeeded()) {
        if (loaded.problems.empty() || loaded.problems.back().isWarning())
            std::abort();
        return 0;
    }
    const SaveGameInfo info = infoAfter(loaded, {});

    EditRequest request;
    const std::uint8_t ticks = control[0];
    if (ticks & 1)
        request.campaignDifficulty = static_cast<Difficulty>(control[1] & 3);
    if (ticks & 2)
        request.battleDifficulty = static_cast<Difficulty>(control[2] & 3);
    if (ticks & 4)
        request.noBattleTimeLimit = (control[3] & 1) != 0;
    if (ticks & 8)
        request.shortCampaign = (control[3] & 2) != 0;
    if (ticks & 16)
        request.unitScale = static_cast<std::int8_t>(control[4]) + 90;
    if (ticks & 32)
        request.yearAndSeason = YearAndSeason{i32(control + 8), control[5] & 1 ? Era::AD : Era::BC,
                                              control[6] & 1 ? Season::Winter : Season::Summer};

    const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
    if (outcome.written) {
        const auto written = readFile(output);
        // The copy always holds the whole file; without ticks it is the file itself.
        if (written.size() != fileSize)
            std::abort();
        if ((ticks & 63) == 0 && std::memcmp(written.data(), data, fileSize) != 0)
            std::abort();
    } else if (outcome.problems.empty()) {
        std::abort(); // a refusal is always explained
    }
    return 0;
}
