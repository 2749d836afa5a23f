#include "core/SaveGameLoader.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/SaveLayout.h"
#include "core/TextCodec.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"

#include <algorithm>
#include <new>

namespace varnholt {

namespace {

std::string withPath(const char* pattern, const std::string& path) {
    // Built by concatenation: GCC 12 misreports std::string::replace here at -O3.
    const std::string text = pattern;
    const auto at = text.find("%s");
    return text.substr(0, at) + path + text.substr(at + 2);
}

// The save as far as it has been read. The loader needs only the header, the
// campaign name, the places before the anchor and the anchor itself, so it reads
// on only until it has them: a save of any size loads in the time its first
// pieces take. Every read of the data is bounds-checked against what was read.
class SaveReader {
  public:
    explicit SaveReader(const std::string& path) : file_(path) {}

    std::span<const std::uint8_t> bytes() const { return buffer_.bytes(); }
    bool atEnd() const { return atEnd_; }

    // Reads on until `end` bytes are held or the file ends.
    std::span<const std::uint8_t> ensure(std::uint64_t end) {
        while (!atEnd_ && buffer_.size() < end) {
            if (buffer_.size() == buffer_.capacity())
                buffer_.grow(std::max<std::size_t>(firstPiece, 2 * buffer_.capacity()));
            const std::size_t free = buffer_.capacity() - buffer_.size();
            const std::size_t got = file_.read({buffer_.data() + buffer_.size(), free});
            buffer_.setSize(buffer_.size() + got);
            atEnd_ = got < free;
        }
        return bytes();
    }
    // Reads one more piece (doubling what is held).
    void readMore() { ensure(std::max<std::uint64_t>(firstPiece, 2 * buffer_.size())); }

    void close() { file_.close(); }

  private:
    static constexpr std::size_t firstPiece = 256 * 1024;
    SequentialFile file_;
    FileBuffer buffer_;
    bool atEnd_ = false;
};

std::optional<std::u16string> nameFrom(SaveReader& reader, int offset) {
    for (std::uint64_t need = static_cast<std::uint64_t>(offset) + 2;; need *= 2) {
        const auto data = reader.ensure(need);
        // A terminator inside what is held ends the search; the name never reaches
        // past the data.
        if (auto name = readCampaignName(data, offset))
            return name;
        if (reader.atEnd())
            return std::nullopt;
    }
}

std::optional<std::int64_t> anchorFrom(SaveReader& reader) {
    std::size_t searched = 0; // bytes in which no anchor starts
    for (;;) {
        const auto data = reader.bytes();
        if (auto found = findAnchor(data.subspan(searched)))
            return static_cast<std::int64_t>(searched) + *found;
        if (data.size() >= anchorTextSize)
            searched = data.size() - anchorTextSize + 1;
        if (reader.atEnd())
            return std::nullopt;
        reader.readMore();
    }
}

// Holds the data up to the end of every place of `fields`; false when one lies
// beyond the file.
bool allInside(SaveReader& reader, const ResolvedLayout& layout,
               std::initializer_list<Field> fields) {
    std::int64_t end = 0;
    for (Field field : fields) {
        const std::int64_t offset = readOffset(layout, field);
        if (offset < 0)
            return false;
        end = std::max<std::int64_t>(end, offset + static_cast<std::int64_t>(fieldWidth(field)));
    }
    const auto data = reader.ensure(static_cast<std::uint64_t>(end));
    for (Field field : fields)
        if (!fitsInside(readOffset(layout, field), fieldWidth(field), data.size()))
            return false;
    return true;
}

// Steps 3 to 13 on a save being read. Returns false after reporting.
bool decode(SaveReader& reader, const std::string& path, SaveGameInfo& info,
            const LoadMessageSink& sink, PathStyle style) {
    const auto report = [&](std::string text, Severity severity) {
        if (sink)
            sink(LoadMessage{std::move(text), severity});
    };
    const auto pastEnd = [&] {
        report(readErrorText(path, describeFileError(FileErrorCause::EndOfFile, path)),
               Severity::Error);
        return false;
    };

    // Release. A file too short for the header is no saved game of a known layout.
    const auto header = reader.ensure(releaseHeaderSize);
    if (header.size() < releaseHeaderSize)
        return pastEnd();
    const auto version = detectRelease(
        header, path, [](const std::string& p) { return isDirectory(p); }, style);
    if (!version) {
        report(withPath(unknownVersionText, path), Severity::Error);
        return false;
    }
    info.releaseLabel = version->releaseLabel;
    info.releaseCode = version->releaseCode;
    info.isExpansion = version->isExpansion;
    info.isLateBaseGame = version->isLateBaseGame;

    // Campaign name.
    info.campaignNameOffset = campaignNameOffsetFor(info.isExpansion);
    const auto firstUnit =
        readU16le(reader.ensure(info.campaignNameOffset + 2u), info.campaignNameOffset);
    if (firstUnit && *firstUnit == 0) {
        report(withPath(noCampaignText, path), Severity::Error);
        return false;
    }
    const auto name = nameFrom(reader, info.campaignNameOffset);
    if (!name)
        return pastEnd();
    info.campaignName = utf16ToUtf8(*name);
    info.campaignShift = info.campaignNameOffset + 2 * static_cast<std::int64_t>(name->size()) -
                         referenceNameTerminator;
    info.isModCampaign = isModCampaignName(*name);
    info.factionNames = FactionNameTable{};
    const Vocabularies vocabularies = chooseVocabularies(info.isModCampaign, info.isExpansion);
    info.difficultyNames = vocabularies.difficultyNames;
    info.factionNames = vocabularies.factionNames;

    // Anchor.
    const auto anchorOffset = anchorFrom(reader);
    if (!anchorOffset) {
        report(withPath(noAnchorText, path), Severity::Error);
        return false;
    }

    // Every place read below must lie inside the data before anything is decoded,
    // so a short file leaves the faction and the settings of the earlier load.
    ResolvedLayout layout;
    layout.positions = {info.releaseCode, info.campaignNameOffset, info.campaignShift,
                        *anchorOffset - anchorNominalFor(info.releaseCode)};
    layout.family = layoutFamilyOf(info.releaseCode, info.isExpansion, info.isLateBaseGame);
    layout.factionCode = info.factionCode;
    if (!allInside(reader, layout, {Field::PlayerFaction}))
        return pastEnd();
    const std::uint8_t storedFaction =
        *readU8(reader.bytes(), readOffset(layout, Field::PlayerFaction));
    if (storedFaction < factionCount)
        layout.factionCode = storedFaction;
    if (!allInside(reader, layout,
                   {Field::BattleDifficulty, Field::CampaignDifficulty, Field::BattleTimeLimit,
                    Field::CampaignLengthFlag, Field::UnitScale, Field::Season, Field::Year}))
        return pastEnd();
    reader.close();
    const auto data = reader.bytes();
    info.anchorShift = layout.positions.anchorShift;

    // Player's faction.
    info.storedFactionByte = storedFaction;
    if (storedFaction < factionCount) {
        info.factionCode = storedFaction;
        if (auto factionText = factionName(info.factionNames, info.factionCode))
            info.factionName = *factionText;
    }

    const auto byteAt = [&](Field field) { return *readU8(data, readOffset(layout, field)); };
    const auto difficultyCount = static_cast<int>(info.difficultyNames.size());

    if (const int battle = byteAt(Field::BattleDifficulty); battle < difficultyCount)
        info.battleDifficulty = battle;
    if (const int campaign = byteAt(Field::CampaignDifficulty); campaign < difficultyCount)
        info.campaignDifficulty = campaign;
    info.noBattleTimeLimit = byteAt(Field::BattleTimeLimit) != 28;
    info.shortCampaign = byteAt(Field::CampaignLengthFlag) == 4;

    if (const auto row =
            unitScaleByFloatBits(*readU32le(data, readOffset(layout, Field::UnitScale)))) {
        info.unitScaleClass = row->sizeClass;
        info.unitScale = row->number;
    } else {
        report(unitScaleWarningText, Severity::Warning);
        info.unitScale = defaultUnitScale;
        info.unitScaleClass = defaultUnitScaleClass;
    }

    info.isWinter = byteAt(Field::Season) == 0;
    const DecodedYear year = decodeYear(*readI32le(data, readOffset(layout, Field::Year)));
    info.isAD = year.isAD;
    info.year = year.year;
    return true;
}

} // namespace

std::string readErrorText(const std::string& path, const std::string& description) {
    return "Error reading " + path + ": " + description + ".";
}

std::string writeErrorText(const std::string& path, const std::string& description) {
    return "Error writing " + path + ": " + description + ".";
}

bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  PathStyle style) {
    try {
        SaveReader reader(path);
        return decode(reader, path, info, sink, style);
    } catch (const FileError& error) {
        if (sink)
            sink(LoadMessage{readErrorText(path, error.description()), Severity::Error});
    } catch (const std::bad_alloc&) {
        if (sink)
            sink(LoadMessage{readErrorText(path, outOfMemoryDescription), Severity::Error});
    }
    return false;
}

} // namespace varnholt
