// Apply through the window: the bytes of the written copies at hand-computed
// offsets, and the cases in which nothing may be written.

#include "FakeHost.h"

#include "core/SaveGameLoader.h"

#include <map>

namespace varnholt::test {
namespace {

class ApplyTest : public EditorFixture {
  protected:
    std::string output() const { return temp.file("Varnholt000.sav"); }
    // The source bytes with `patches` (offset -> bytes) applied.
    static std::vector<std::uint8_t>
    patched(std::vector<std::uint8_t> bytes,
            const std::map<std::size_t, std::vector<std::uint8_t>>& patches) {
        for (const auto& [offset, values] : patches)
            for (std::size_t k = 0; k < values.size(); ++k)
                bytes.at(offset + k) = values[k];
        return bytes;
    }
};

TEST_F(ApplyTest, NoTickGivesAByteForByteCopy) {
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.4"));
    typeAndRefresh(source);
    editor.userClick(idApply);
    EXPECT_EQ(readBytes(output()), readBytes(source));
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully applied changes to new saved game file.");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.busyCount, 2); // the load and the apply
    EXPECT_EQ(host.calls.back(), "written " + output()) << "the host is told of the new file";
}

// A host that writes copies itself is handed the patches, and the name is
// taken only once the host says the copy was written or offered.
TEST_F(ApplyTest, AHostThatWritesCopiesGetsThePatchesAndTheNextName) {
    host.writesCopiesItself = true;
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.2"));
    typeAndRefresh(source);
    editor.userClick(idSetBattleDifficulty);
    editor.userSelect(idBattleDifficulty, 3);
    const std::string status = ctl(idStatusLine).text;
    editor.userClick(idApply);
    ASSERT_EQ(host.copies.size(), 1u);
    EXPECT_FALSE(pathExists(output())) << "core writes nothing for such a host";
    EXPECT_EQ(host.copies[0].output, output());
    std::vector<std::uint8_t> bytes = readBytes(source);
    for (const BytePatch& patch : host.copies[0].patches)
        std::copy_n(patch.bytes, patch.width, bytes.begin() + static_cast<long>(patch.offset));
    EditRequest request;
    request.battleDifficulty = Difficulty::VeryHard;
    ASSERT_TRUE(
        applyChanges(source, temp.file("core.sav"), loadedLayout(editor.saveGameInfo()), request)
            .written);
    EXPECT_EQ(bytes, readBytes(temp.file("core.sav"))) << "the same bytes as core writes";
    EXPECT_EQ(ctl(idStatusLine).text, status) << "nothing is said before the host answers";

    host.copies.clear();
    editor.copyFinished(CopyFate::Cancelled);
    editor.copyFinished(CopyFate::Failed, FileErrorCause::DiskFull);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find(output()), std::string::npos);
    EXPECT_EQ(ctl(idOutputPath).text, output()) << "a copy not written takes no name";

    host.takenPaths.insert(output());
    editor.copyFinished(CopyFate::OfferedAsDownload);
    EXPECT_EQ(ctl(idStatusLine).text,
              "The new saved game file " + output() + " was offered as a download.");
    EXPECT_EQ(ctl(idOutputPath).text, temp.file("Varnholt001.sav"));
    EXPECT_EQ(host.calls.back(), "title Varnholt - " + temp.file("Varnholt001.sav"));
    editor.userClick(idApply);
    ASSERT_EQ(host.copies.size(), 1u);
    EXPECT_EQ(host.copies[0].output, temp.file("Varnholt001.sav"));
    host.takenPaths.insert(host.copies[0].output);
    editor.copyFinished(CopyFate::Written);
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully applied changes to new saved game file.");
    EXPECT_EQ(ctl(idOutputPath).text, temp.file("Varnholt002.sav"));
}

// Release 1.2 (code 2), reference name and anchor: nominal positions are file
// offsets. Faction 2: record entry +106, difficulty pair entry +16.
TEST_F(ApplyTest, BattleDifficultyUnitScaleAndYearAtTheirPlaces) {
    savegen::SaveSpec spec = savegen::specForRelease("1.2");
    spec.factionByte = 2;
    const std::string source = writeSave("quick.sav", spec);
    typeAndRefresh(source);
    editor.userClick(idSetBattleDifficulty);
    editor.userSelect(idBattleDifficulty, 3);
    editor.userClick(idSetUnitScale);
    editor.userSpin(idUnitScaleSpin, 1); // 45: float 1.125 = 0x3F900000
    editor.userClick(idSetYearAndSeason);
    editor.userSetText(idYear, "1");
    editor.userClick(idWinter); // BC stays ticked: 1 BC, winter

    editor.userClick(idApply);

    const std::vector<std::uint8_t> scale = {0x00, 0x00, 0x90, 0x3F};
    const std::vector<std::uint8_t> minusOne = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(readBytes(output()), patched(readBytes(source), {
                                                                  {101, scale},
                                                                  {143, scale},
                                                                  {109, {3}},
                                                                  {151, {3}},
                                                                  {164 + 106, {3}},
                                                                  {3396 + 16, {3}},
                                                                  {1274, {0}},
                                                                  {3705, {0}},
                                                                  {1276, minusOne},
                                                                  {3701, minusOne},
                                                                  {3697, {0x1B, 0x02}}, // 539
                                                              }));
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully applied changes to new saved game file.");
}

// Summer and AD, the first buttons' opposites, reach the copy as the user
// picked them: what core writes for that request.
TEST_F(ApplyTest, SummerInTheYearOneAd) {
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.2"));
    typeAndRefresh(source);
    editor.userClick(idSetYearAndSeason);
    editor.userSetText(idYear, "1");
    editor.userClick(idAD);
    editor.userClick(idApply);

    const std::string reference = temp.file("reference.sav");
    EditRequest request;
    request.yearAndSeason = YearAndSeason{1, Era::AD, Season::Summer};
    ASSERT_TRUE(
        applyChanges(source, reference, loadedLayout(editor.saveGameInfo()), request).written);
    EXPECT_EQ(readBytes(output()), readBytes(reference));
}

// Release 1.0 (code 1): faction records of 43 bytes, first-release pair bases,
// and a campaign length written at 129 and 3306 only.
TEST_F(ApplyTest, FirstReleaseCampaignDifficultyAndLength) {
    savegen::SaveSpec spec = savegen::specForRelease("1.0");
    spec.factionByte = 3;
    const std::string source = writeSave("quick.sav", spec);
    typeAndRefresh(source);
    editor.userClick(idSetCampaignDifficulty);
    editor.userSelect(idCampaignDifficulty, 0);
    editor.userClick(idSetCampaignLength);
    editor.userClick(idShortCampaign);

    editor.userClick(idApply);

    EXPECT_EQ(readBytes(output()), patched(readBytes(source), {
                                                                  {160 + 3 * 43, {0}},
                                                                  {3130 + 3 * 8, {0}},
                                                                  {129, {4}},
                                                                  {3306, {20}},
                                                              }));
}

TEST_F(ApplyTest, CampaignLengthTickSurvivingIntoAnExpansionSaveWritesNothing) {
    const std::string base = writeSave("base.sav", savegen::specForRelease("1.2"));
    savegen::SaveSpec expansion = savegen::specForRelease("1.6");
    expansion.lengthFlagByte = 4; // reads as short: writing the group would store 20 at 3568
    const std::string source = writeSave("bi.sav", expansion);
    typeAndRefresh(base);
    editor.userClick(idSetCampaignLength);
    typeAndRefresh(source);
    ASSERT_TRUE(ctl(idSetCampaignLength).checked);

    editor.userClick(idApply);

    EXPECT_EQ(readBytes(temp.file("Varnholt000.sav")), readBytes(source));
    EXPECT_TRUE(ctl(idSetCampaignLength).checked);
}

TEST_F(ApplyTest, ApplyTakesWhatTheControlsShowAtTheClickAndRepeats) {
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.5"));
    typeAndRefresh(source);
    editor.userClick(idSetBattleTimeLimit);
    editor.userClick(idNoBattleTimeLimit); // unticked: a time limit, 28
    editor.userClick(idApply);
    EXPECT_EQ(readBytes(output()), patched(readBytes(source), {{114, {28}}, {156, {28}}}));
    editor.userClick(idNoBattleTimeLimit); // ticked again: 30, over the same file
    editor.userClick(idApply);
    EXPECT_EQ(readBytes(output()), readBytes(source));
    EXPECT_FALSE(std::filesystem::exists(temp.file("Varnholt001.sav")));
}

TEST_F(ApplyTest, NothingIsWrittenForAnotherPathAFailedLoadOrAnEmptyYear) {
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.2"));
    const std::string other = writeSave("other.sav", savegen::specForRelease("1.2"));

    // Another file typed over the loaded one, without Refresh.
    typeAndRefresh(source);
    editor.userSetText(idSourcePath, other);
    editor.userClick(idApply);
    const std::vector<ShownMessage> refused = {
        {"Varnholt",
         "Load the saved game again before applying changes: " + other +
             " is not the file that was last loaded.",
         MessageIcon::Error}};
    EXPECT_EQ(host.messages, refused);
    EXPECT_FALSE(std::filesystem::exists(output()));

    // An empty year box: the prompt and nothing else.
    editor.userSetText(idSourcePath, source);
    editor.userClick(idSetYearAndSeason);
    editor.userSetText(idYear, "");
    host.messages.clear();
    editor.userClick(idApply);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Please enter an integer.");
    EXPECT_FALSE(std::filesystem::exists(output()));

    // Year 0, BC or AD: no such year; the prompt, the focus in the year box, nothing written.
    editor.userSetText(idYear, "0");
    for (int era : {idBC, idAD}) {
        editor.userClick(era);
        host.messages.clear();
        host.calls.clear();
        editor.userClick(idApply);
        EXPECT_EQ(host.messages,
                  (std::vector<ShownMessage>{{"Varnholt",
                                              "There is no year 0: 1 BC is followed by 1 AD. "
                                              "Please enter a year of 1 or more.",
                                              MessageIcon::Warning}}));
        EXPECT_EQ(host.calls, (std::vector<std::string>{"focus " + std::to_string(idYear),
                                                        "select " + std::to_string(idYear)}));
        EXPECT_FALSE(std::filesystem::exists(output()));
    }
    editor.userSetText(idYear, "5");

    // A load that failed: Apply is gone until a load succeeds.
    std::ofstream(temp.file("broken.sav")) << "xx";
    typeAndRefresh(temp.file("broken.sav"));
    EXPECT_FALSE(ctl(idApply).enabled);
    host.messages.clear();
    editor.userClick(idApply);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(output()));
    // Also one that failed after replacing part of what the window shows (no anchor).
    typeAndRefresh(source);
    savegen::SaveSpec noAnchor = savegen::specForRelease("1.6");
    noAnchor.omitAnchor = true;
    typeAndRefresh(writeSave("mixed.sav", noAnchor));
    EXPECT_FALSE(ctl(idApply).enabled);
    for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("Varnholt", 0), std::string::npos);
}

TEST_F(ApplyTest, WriteAndLayoutFailuresReachTheUserAndLeaveTheStatus) {
    const std::string source = writeSave("quick.sav", savegen::specForRelease("1.2"));
    typeAndRefresh(source);
    // Something made in the output's place between the load and Apply that
    // cannot be replaced by a file.
    std::filesystem::create_directory(output());
    std::ofstream(output() + "/keep") << "x";
    editor.userClick(idApply);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(host.messages[0].text.rfind("Error writing " + output() + ": ", 0), 0u)
        << host.messages[0].text;
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");

    // The file changed on disk since the load: its places no longer fit.
    std::filesystem::remove_all(output());
    savegen::SaveSpec longer = savegen::specForRelease("1.2");
    longer.campaignName = u"imperial_campaign_two";
    savegen::writeSave(source, longer);
    host.messages.clear();
    editor.userClick(idApply);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Error reading " + source +
                                         ": The file has changed since it was loaded; load the "
                                         "saved game again before applying changes.");
    EXPECT_FALSE(std::filesystem::exists(output()));

    // A failed Apply after a successful one no longer shows the earlier success.
    typeAndRefresh(source);
    editor.userClick(idApply);
    ASSERT_EQ(ctl(idStatusLine).text, "Successfully applied changes to new saved game file.");
    savegen::writeSave(source, savegen::specForRelease("1.2"));
    editor.userClick(idApply);
    EXPECT_EQ(host.messages.back().text, "Error reading " + source +
                                             ": The file has changed since it was loaded; load the "
                                             "saved game again before applying changes.");
    EXPECT_EQ(ctl(idStatusLine).text, "");
}

} // namespace
} // namespace varnholt::test
