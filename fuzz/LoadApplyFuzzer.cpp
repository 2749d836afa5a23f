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

    varnholt::SaveGameInfo info;
    std::size_t messages = 0;
    const bool loaded =
        varnholt::loadSaveGame(source, info, [&](const varnholt::LoadMessage& message) {
            ++messages;
            if (message.text.empty())
                std::abort();
        });
    if (!loaded) {
        if (messages == 0) // every failure is reported
            std::abort();
        return 0;
    }

    varnholt::EditRequest request;
    const std::uint8_t ticks = control[0];
    request.setCampaignDifficulty = ticks & 1;
    request.setBattleDifficulty = ticks & 2;
    request.setBattleTimeLimit = ticks & 4;
    request.setCampaignLength = ticks & 8;
    request.setUnitScale = ticks & 16;
    request.setYearAndSeason = ticks & 32;
    request.campaignDifficulty = static_cast<std::int8_t>(control[1]);
    request.battleDifficulty = static_cast<std::int8_t>(control[2]);
    request.noBattleTimeLimit = control[3] & 1;
    request.shortCampaign = control[3] & 2;
    request.unitScale = static_cast<std::int8_t>(control[4]) + 90;
    request.isAD = static_cast<std::int8_t>(control[5]) % 3;
    request.isWinter = static_cast<std::int8_t>(control[6]) % 3;
    request.year = i32(control + 8);

    const varnholt::ApplyOutcome outcome =
        varnholt::applyChanges(source, output, loadedLayout(info), request);
    if (outcome.written) {
        const auto written = readFile(output);
        // The copy always holds the whole file; without ticks it is the file itself.
        if (written.size() != fileSize)
            std::abort();
        if ((ticks & 63) == 0 && std::memcmp(written.data(), data, fileSize) != 0)
            std::abort();
    } else if (outcome.errorTexts.empty()) {
        std::abort(); // a refusal is always explained
    }
    return 0;
}
