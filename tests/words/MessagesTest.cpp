// The sentences of the causes core reports, and the names of its vocabularies,
// in English as varnholt-cli writes them and the windows show them without a
// catalogue.

#include "words/Messages.h"
#include "words/Names.h"

#include <gtest/gtest.h>

using namespace varnholt;

TEST(Messages, EveryCauseHasItsSentenceEndingInOneFullStop) {
    const std::string p = "/s/q.sav";
    const std::string o = "/s/Varnholt000.sav";
    const auto load = [&](LoadProblemKind kind, FileErrorCause cause = FileErrorCause::None) {
        return loadProblemText({kind, cause}, p);
    };
    const auto apply = [&](ApplyProblemKind kind, FileErrorCause cause = FileErrorCause::None) {
        return applyProblemText({kind, cause}, p, o);
    };
    OutputNameResult taken;
    taken.failure = OutputNameFailure::AllNamesTaken;
    taken.namePattern = "/s/Varnholt*.sav";
    OutputNameResult noFolder;
    noFolder.failure = OutputNameFailure::EmptyPathPart;
    noFolder.missingPart = PathPart::Folder;
    const std::pair<std::string, std::string> cases[] = {
        {load(LoadProblemKind::FileFailed, FileErrorCause::FileNotFound),
         "Error reading /s/q.sav: /s/q.sav was not found."},
        {load(LoadProblemKind::FileFailed, FileErrorCause::EndOfFile),
         "Error reading /s/q.sav: An attempt was made to access /s/q.sav past its end."},
        // A description without a stop of its own gets the message's.
        {load(LoadProblemKind::FileFailed, FileErrorCause::SeekFailed),
         "Error reading /s/q.sav: Seek failed on /s/q.sav."},
        {load(LoadProblemKind::OutOfMemory), "Error reading /s/q.sav: Out of memory."},
        {load(LoadProblemKind::UnknownRelease), "Error reading /s/q.sav: Unknown IRD version."},
        {load(LoadProblemKind::NoCampaignName),
         "Error reading /s/q.sav: Cannot find campaign details."},
        {load(LoadProblemKind::NoAnchor), "Error reading /s/q.sav: Cannot find descr_strat.txt."},
        {load(LoadProblemKind::UnitScaleNotRecognised),
         "Unit scale not recognised - will use default of 40 (Normal)."},
        {apply(ApplyProblemKind::UnitScaleNotRecognised),
         "Unit scale not recognised - unit scale will not be changed."},
        {apply(ApplyProblemKind::ReadFailed, FileErrorCause::SharingViolation),
         "Error reading /s/q.sav: A sharing violation occurred while accessing /s/q.sav."},
        {apply(ApplyProblemKind::WriteFailed, FileErrorCause::DiskFull),
         "Error writing /s/Varnholt000.sav: Disk full while accessing /s/Varnholt000.sav."},
        {apply(ApplyProblemKind::OutOfMemory), "Error reading /s/q.sav: Out of memory."},
        {apply(ApplyProblemKind::LayoutChanged),
         "Error reading /s/q.sav: The file has changed since it was loaded; load the saved game "
         "again before applying changes."},
        {apply(ApplyProblemKind::ReplacesSource),
         "Error writing /s/Varnholt000.sav: The new file would replace the saved game it is made "
         "from."},
        {outputNameText(taken, p),
         "No more /s/Varnholt*.sav file names available. Delete one or more files."},
        {outputNameText(noFolder, "q.sav"),
         "Cannot name a new file after q.sav: it has no folder."},
        {fileErrorDescription(FileErrorCause::AccessDenied, ""),
         "Access to an unnamed file was denied."},
        {fileErrorDescription(FileErrorCause::None, "x"), "No error occurred."},
        {fileErrorDescription(FileErrorCause::Other, "x"),
         "An unknown error occurred while accessing x."},
    };
    for (const auto& [shown, expected] : cases)
        EXPECT_EQ(shown, expected);
}

TEST(Messages, DescriptionsStayWithinTheLimitAndKeepOneFullStop) {
    const std::string longPath(300, 'p');
    const std::string cut = fileErrorDescription(FileErrorCause::DiskFull, longPath);
    EXPECT_EQ(cut, "Disk full while accessing " + std::string(254 - 26, 'p'));
    EXPECT_EQ(readErrorText("x", cut), "Error reading x: " + cut + ".") << "its stop was cut off";
    // A cut never splits a character in two.
    std::string wide = "/";
    while (wide.size() < 300)
        wide += "\xc3\xa9";
    const std::string cutWide = fileErrorDescription(FileErrorCause::FileNotFound, wide);
    EXPECT_LE(cutWide.size(), 254u);
    EXPECT_GE(cutWide.size(), 253u);
    EXPECT_NE(static_cast<unsigned char>(cutWide.back()), 0xc3);
}

TEST(Names, EachVocabularyNamesItsCodes) {
    EXPECT_EQ(difficultyNames(DifficultyNames::Modification)[0], "General");
    EXPECT_EQ(difficultyNames(DifficultyNames::Modification)[3], "Emperor");
    EXPECT_EQ(difficultyNames(DifficultyNames::Standard)[3], "Very Hard");
    EXPECT_EQ(factionName(FactionNames::Modification, 0), "Romans");
    EXPECT_EQ(factionName(FactionNames::Modification, 1), std::nullopt);
    EXPECT_EQ(factionName(FactionNames::Modification, 18), "Iberians");
    EXPECT_EQ(factionName(FactionNames::Expansion, 6), "Unknown");
    EXPECT_EQ(factionName(FactionNames::Expansion, 4), "Germanic Frankish Tribes");
    EXPECT_EQ(factionName(FactionNames::BaseGame, 6), "Seleucids");
    EXPECT_EQ(factionName(FactionNames::BaseGame, 19), "Thracians");
    EXPECT_EQ(factionName(FactionNames::BaseGame, 20), std::nullopt);
    EXPECT_EQ(factionName(FactionNames::BaseGame, -1), std::nullopt);
    EXPECT_EQ(unitScaleClassNames()[2], "Large");
    SaveGameInfo info;
    EXPECT_EQ(shownFactionName(info), "");
    info.namedFaction = FactionSlot{FactionNames::Expansion, 14};
    EXPECT_EQ(shownFactionName(info), "Alemanni");
}
