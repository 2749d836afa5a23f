// The load command through Refresh and Browse: what a load shows, the output
// name it proposes, and what a failed load leaves.

#include "FakeHost.h"

#include "core/SaveGameLoader.h"
#include "core/Vocabularies.h"

namespace varnholt::test {
namespace {

using LoadTest = EditorFixture;

TEST_F(LoadTest, SuccessfulLoadShowsTheGameNameAndTitle) {
    savegen::SaveSpec spec = savegen::specForRelease("1.2");
    spec.factionByte = 3;
    spec.battleDifficulty = 3;
    spec.timeLimitByte = 28;
    spec.lengthFlagByte = 4;
    savegen::setUnitScale(spec, 100);
    savegen::setYearAndSeason(spec, 23, true, true);
    const std::string path = writeSave("quick.sav", spec);

    typeAndRefresh(path);

    const std::string output = temp.file("Varnholt000.sav");
    EXPECT_EQ(ctl(idOutputPath).text, output);
    EXPECT_EQ(editor.windowTitle(), "Varnholt - " + output);
    EXPECT_EQ(host.calls.back(), "title Varnholt - " + output);
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.2");
    EXPECT_EQ(ctl(idCampaignName).text, "imperial_campaign");
    EXPECT_EQ(ctl(idFactionName).text, "SPQR");
    EXPECT_EQ(ctl(idBattleDifficulty).selection, 3);
    EXPECT_FALSE(ctl(idNoBattleTimeLimit).checked);
    EXPECT_TRUE(ctl(idShortCampaign).checked);
    EXPECT_EQ(ctl(idUnitScale).text, "100");
    EXPECT_EQ(ctl(idUnitScaleClass).selection, 3);
    EXPECT_EQ(ctl(idYear).text, "23");
    EXPECT_TRUE(ctl(idAD).checked && !ctl(idBC).checked);
    EXPECT_TRUE(ctl(idWinter).checked && !ctl(idSummer).checked);
    EXPECT_TRUE(ctl(idApply).enabled);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.busyCount, 1);

    // Where the folders around a save cannot be seen (a browser), a 1.2 header
    // in a saves folder says which release it is with the expansion's folder.
    host.foldersUnknown = true;
    std::filesystem::create_directories(temp.path() / "saves");
    typeAndRefresh(writeSave("saves/quick.sav", spec));
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.2 (1.3 with the expansion folder)");
}

TEST_F(LoadTest, OutputNameIsTheFirstFreeCounter) {
    struct Case {
        std::vector<std::string> present;
        bool directory;
        std::string loaded;
        std::string expected;
    };
    const Case cases[] = {
        {{}, false, "quick.sav", "Varnholt000.sav"},
        {{"Varnholt000.sav", "Varnholt001.sav"}, false, "quick.sav", "Varnholt002.sav"},
        {{"Varnholt000.sav", "Varnholt002.sav"}, false, "quick.sav", "Varnholt001.sav"},
        {{"Varnholt000.sav"}, true, "quick.sav", "Varnholt001.sav"},
        {{}, false, "Varnholt000.sav", "Varnholt001.sav"},
        {{"Varnholt000.sav", "Varnholt001.sav", "Varnholt002.sav", "Varnholt003.sav",
          "Varnholt004.sav", "Varnholt005.sav", "Varnholt006.sav"},
         false,
         "quick.sav",
         "Varnholt007.sav"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const std::string& name : c.present) {
            if (c.directory)
                std::filesystem::create_directory(folder.file(name));
            else
                std::ofstream(folder.file(name)) << "x";
        }
        const std::string path = folder.file(c.loaded);
        savegen::writeSave(path, savegen::specForRelease("1.5"));
        typeAndRefresh(path);
        EXPECT_EQ(editor.values().outputPath, folder.file(c.expected)) << c.expected;
    }
}

TEST_F(LoadTest, OnlyTheLastCounterFreeAndNoneFree) {
    const std::string path = writeSave("quick.sav", savegen::specForRelease("1.2"));
    const std::string last = temp.file("Varnholt999.sav");
    host.pathTaken = [&](const std::string& p) { return p != last; };
    typeAndRefresh(path);
    EXPECT_EQ(editor.values().outputPath, last);
    const std::string title = editor.windowTitle();
    const std::string status = ctl(idStatusLine).text;

    host.pathTaken = [](const std::string&) { return true; };
    editor.userClick(idRefresh);
    const std::vector<ShownMessage> expected = {
        {"Varnholt",
         "No more " + temp.folder() +
             "Varnholt*.sav file names available. Delete one or more "
             "files.",
         MessageIcon::Error}};
    EXPECT_EQ(host.messages, expected);
    EXPECT_EQ(editor.values().outputPath, "");
    EXPECT_EQ(ctl(idOutputPath).text, "");
    EXPECT_FALSE(ctl(idApply).enabled);
    EXPECT_EQ(editor.windowTitle(), title);
    ASSERT_EQ(status, "Successfully loaded saved game file.");
    EXPECT_EQ(ctl(idStatusLine).text, "") << "an earlier success must not stay on show";
}

TEST_F(LoadTest, PathWithoutExtensionSaysWhyNoNameIsFormed) {
    const std::string path = writeSave("quicksave", savegen::specForRelease("1.2"));
    typeAndRefresh(path);
    EXPECT_EQ(host.messages,
              (std::vector<ShownMessage>{
                  {"Varnholt", "Cannot name a new file after " + path + ": it has no extension.",
                   MessageIcon::Error}}));
    EXPECT_EQ(editor.values().outputPath, "");
    EXPECT_FALSE(ctl(idApply).enabled);
    EXPECT_EQ(editor.windowTitle(), "Varnholt");
    EXPECT_EQ(ctl(idReleaseLabel).text, ""); // the window was not refreshed
    EXPECT_EQ(ctl(idStatusLine).text, "") << "no success claimed";
}

TEST_F(LoadTest, TypedRelativePathStandsForItsFullPath) {
    const std::string path = writeSave("quick.sav", savegen::specForRelease("1.2"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.path());
    typeAndRefresh("quick.sav");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(ctl(idSourcePath).text, path) << "the box shows what was loaded";
    EXPECT_EQ(editor.values().outputPath, temp.file("Varnholt000.sav"));
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");
}

TEST_F(LoadTest, OpenSaveGameLoadsAsIfTypedAndRefreshed) {
    const std::string good = writeSave("good.sav", savegen::specForRelease("1.4"));
    EXPECT_TRUE(editor.openSaveGame(good));
    EXPECT_EQ(ctl(idSourcePath).text, good);
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.4");
    EXPECT_TRUE(ctl(idApply).enabled);
    EXPECT_FALSE(ctl(idSetCampaignLength).enabled) << "the rules ran for the expansion save";

    // A missing file and a folder: the load's own box, the path stays in the box
    // for the user to correct, Refresh and the Set boxes follow it.
    const std::string missing = temp.file("missing.sav");
    const std::string folder = temp.folder();
    for (const std::string& path : {missing, folder}) {
        SCOPED_TRACE(path);
        host.messages.clear();
        EXPECT_FALSE(editor.openSaveGame(path));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(host.messages[0].text.rfind("Error reading " + path + ": ", 0), 0u)
            << host.messages[0].text;
        EXPECT_EQ(ctl(idSourcePath).text, path);
        EXPECT_TRUE(ctl(idRefresh).enabled);
        EXPECT_FALSE(ctl(idApply).enabled);
    }
    EXPECT_EQ(host.busyDepth, 0);

    // Not while the window is closed.
    editor.userPressEscape();
    EXPECT_FALSE(editor.openSaveGame(good));
    EXPECT_EQ(ctl(idSourcePath).text, folder);
}

TEST_F(LoadTest, ADropOfOneFileOpensItAndOfSeveralAsksForOne) {
    const std::string a = writeSave("a.sav", savegen::specForRelease("1.2"));
    const std::string b = writeSave("b.sav", savegen::specForRelease("1.5"));
    EXPECT_FALSE(editor.acceptsDrop(0));
    EXPECT_TRUE(editor.acceptsDrop(2)) << "taken, to be answered with a message";
    editor.userDropFiles({a, b});
    EXPECT_EQ(messageTexts(), std::vector<std::string>{dropOneFileText});
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ctl(idSourcePath).text, "") << "neither was opened";
    EXPECT_TRUE(editor.values().outputPath.empty());
    editor.userDropFiles({b});
    EXPECT_EQ(ctl(idSourcePath).text, b);
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.5");
    editor.userPressEscape();
    EXPECT_FALSE(editor.acceptsDrop(1));
}

TEST_F(LoadTest, LoaderMessagesAreShownWithTheirIcons) {
    savegen::SaveSpec odd = savegen::specForRelease("1.2");
    odd.unitScaleBits = 0x3F866666; // 1.05: no unit scale of the table
    savegen::SaveSpec unknown = savegen::specForRelease("1.2");
    unknown.formatByte = 0;
    struct Case {
        std::string path;
        std::string text;
        MessageIcon icon;
        bool loaded;
    };
    const std::string missing = temp.file("missing.sav");
    const Case cases[] = {
        {writeSave("odd.sav", odd), "Unit scale not recognised - will use default of 40 (Normal).",
         MessageIcon::Warning, true},
        {writeSave("unknown.sav", unknown),
         "Error reading " + temp.file("unknown.sav") + ": Unknown IRD version.", MessageIcon::Error,
         false},
        {missing, "Error reading " + missing + ": " + missing + " was not found.",
         MessageIcon::Error, false},
    };
    for (const Case& c : cases) {
        host.messages.clear();
        typeAndRefresh(c.path);
        ASSERT_EQ(host.messages.size(), 1u) << c.path;
        EXPECT_EQ(host.messages[0], (ShownMessage{"Varnholt", c.text, c.icon}));
        EXPECT_EQ(!editor.values().outputPath.empty(), c.loaded) << c.path;
    }
}

TEST_F(LoadTest, LoadFailingAfterTheCampaignNameRefillsTheDifficultyLists) {
    savegen::SaveSpec mod = savegen::specForRelease("1.2");
    mod.campaignName = u"iron_dominion_plus";
    mod.omitAnchor = true;
    const std::string path = writeSave("mod.sav", mod);
    editor.userSetText(idSourcePath, path);
    editor.userClick(idSetCampaignDifficulty);
    editor.userClick(idRefresh);

    const std::vector<std::string> modItems{"General", "Praetor", "Consul", "Emperor"};
    for (int id : {idCampaignDifficulty, idBattleDifficulty}) {
        EXPECT_EQ(ctl(id).items, modItems) << id;
        EXPECT_EQ(ctl(id).selection, -1) << id;
    }
    EXPECT_EQ(ctl(idUnitScaleClass).selection, 1);
    // The next read takes "no selection" as no difficulty.
    editor.userClick(idSetBattleDifficulty);
    EXPECT_EQ(editor.settings().campaignDifficulty, std::nullopt);
    EXPECT_EQ(editor.settings().battleDifficulty, std::nullopt);

    // A load failing before the campaign name leaves the lists alone.
    savegen::SaveSpec unknown = savegen::specForRelease("1.2");
    unknown.formatByte = 0;
    editor.userSelect(idCampaignDifficulty, 2);
    typeAndRefresh(writeSave("unknown.sav", unknown));
    EXPECT_EQ(ctl(idCampaignDifficulty).items, modItems);
    EXPECT_EQ(ctl(idCampaignDifficulty).selection, 2);
}

TEST_F(LoadTest, BrowseOpensInTheRightFolderAndLoadsThePick) {
    const std::string first = writeSave("first.sav", savegen::specForRelease("1.2"));
    const std::string second = writeSave("second.sav", savegen::specForRelease("1.3"));
    host.dialogAnswers = {std::nullopt, first, second};

    editor.userClick(idBrowse); // cancelled
    editor.userClick(idBrowse);
    editor.userClick(idBrowse);
    host.dialogAnswers = {std::string()}; // no name: as cancelled
    editor.userClick(idBrowse);
    EXPECT_TRUE(host.messages.empty());

    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[0].initialFolder, "/opt/varnholt"); // nothing named yet
    EXPECT_EQ(host.dialogs[0].title, "Select Iron Dominion Save File");
    EXPECT_EQ(host.dialogs[1].initialFolder, "/opt/varnholt");
    EXPECT_EQ(host.dialogs[2].initialFolder, temp.folder());
    EXPECT_EQ(ctl(idSourcePath).text, second);
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.3");
    EXPECT_EQ(editor.values().outputPath, temp.file("Varnholt000.sav"));

    // A dialog that answers later (a browser's): the pick comes afterwards.
    host.dialogAnswers = {std::nullopt};
    editor.userClick(idBrowse);
    EXPECT_EQ(ctl(idSourcePath).text, second);
    editor.userPickedFile(first);
    EXPECT_EQ(ctl(idSourcePath).text, first);
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.2");
}

TEST_F(LoadTest, BrowsedFileThatFailsStaysInTheBox) {
    // From an empty box: Refresh and the Set boxes follow the path it now shows.
    const std::string bad = temp.file("bad.sav");
    std::ofstream(bad) << "not a save";
    host.dialogAnswers = {bad};
    editor.userClick(idBrowse);
    EXPECT_EQ(ctl(idSourcePath).text, bad);
    EXPECT_TRUE(ctl(idRefresh).enabled);
    EXPECT_TRUE(ctl(idSetYearAndSeason).enabled);

    const std::string good = writeSave("good.sav", savegen::specForRelease("1.2"));
    typeAndRefresh(good);
    host.dialogAnswers = {bad};

    editor.userClick(idBrowse);

    // The box shows the picked path, so the next read keeps it.
    EXPECT_EQ(editor.values().sourcePath, bad);
    EXPECT_EQ(ctl(idSourcePath).text, bad);
    editor.userClick(idSetUnitScale); // reads the controls again
    EXPECT_EQ(editor.values().sourcePath, bad);
    EXPECT_FALSE(ctl(idApply).enabled);

    // The labels name the save the title's copy is made from, whatever a failed
    // load found and whatever is clicked next: after a modification save, a 1.2
    // imperial_campaign without its anchor, then an expansion save without it.
    savegen::SaveSpec mod = savegen::specForRelease("1.2");
    mod.campaignName = u"iron_dominion_plus";
    mod.factionByte = 17;
    typeAndRefresh(writeSave("mod.sav", mod));
    const std::string faction = ctl(idFactionName).text;
    for (const char* release : {"1.2", "1.6"}) {
        savegen::SaveSpec noAnchor = savegen::specForRelease(release);
        noAnchor.omitAnchor = true;
        host.dialogAnswers = {writeSave("noanchor.sav", noAnchor)};
        editor.userClick(idBrowse);
        editor.userSelect(idUnitScaleClass, 3); // Huge
        EXPECT_EQ(ctl(idUnitScale).text, "160") << release;
        EXPECT_EQ(ctl(idReleaseLabel).text, "1.2") << release;
        EXPECT_EQ(ctl(idCampaignName).text, "iron_dominion_plus") << release;
        EXPECT_EQ(ctl(idFactionName).text, faction) << release;
    }
}

} // namespace
} // namespace varnholt::test
