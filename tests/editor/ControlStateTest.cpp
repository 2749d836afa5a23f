// Which controls are enabled, by the Set ticks, the entered path, the output
// name and the loaded release; and the status line they clear.

#include "FakeHost.h"

namespace varnholt::test {
namespace {

using ControlStateTest = EditorFixture;

const int allSetBoxes[] = {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                           idSetCampaignLength,     idSetUnitScale,        idSetYearAndSeason};

// Each Set box and the value controls it switches.
struct Group {
    int setBox;
    std::vector<int> values;
};
const Group groups[] = {
    {idSetCampaignDifficulty, {idCampaignDifficulty}},
    {idSetBattleDifficulty, {idBattleDifficulty}},
    {idSetBattleTimeLimit, {idNoBattleTimeLimit}},
    {idSetCampaignLength, {idShortCampaign}},
    {idSetUnitScale, {idUnitScaleClass, idUnitScale, idUnitScaleSpin}},
    {idSetYearAndSeason, {idYearLabel, idYear, idYearSpin, idBC, idAD, idSummer, idWinter}},
};

TEST_F(ControlStateTest, AtStartOnlyThePathBrowseAndCloseAreEnabled) {
    for (const ControlLayout& c : editorDialog().controls) {
        if (c.id == noControlId)
            continue;
        const bool alwaysOn = c.id == idSourcePath || c.id == idBrowse || c.id == idOk ||
                              c.id == idOutputPath || c.kind == ControlKind::Label;
        const bool expected = alwaysOn && c.id != idYearLabel;
        EXPECT_EQ(ctl(c.id).enabled, expected) << c.id;
    }
}

TEST_F(ControlStateTest, EachSetBoxSwitchesExactlyItsOwnValueControls) {
    editor.userSetText(idSourcePath, " "); // a single blank counts as a name
    for (const Group& g : groups) {
        editor.userClick(g.setBox);
        for (const Group& other : groups)
            for (int id : other.values)
                EXPECT_EQ(ctl(id).enabled, &other == &g) << g.setBox << " -> " << id;
        editor.userClick(g.setBox);
        for (int id : g.values)
            EXPECT_FALSE(ctl(id).enabled) << id;
    }
    // Nothing was loaded by typing.
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(ctl(idApply).enabled);
    EXPECT_EQ(host.busyCount, 0);
}

TEST_F(ControlStateTest, EmptyingThePathDisablesSetBoxesButKeepsTicksAndValueControls) {
    editor.userSetText(idSourcePath, "a");
    for (int id : allSetBoxes)
        EXPECT_TRUE(ctl(id).enabled) << id;
    EXPECT_TRUE(ctl(idRefresh).enabled);
    editor.userClick(idSetUnitScale);
    editor.userSpin(idUnitScaleSpin, 1);
    editor.userSetText(idSourcePath, "");
    EXPECT_FALSE(ctl(idRefresh).enabled);
    for (int id : allSetBoxes)
        EXPECT_FALSE(ctl(id).enabled) << id;
    EXPECT_TRUE(ctl(idSetUnitScale).checked);
    for (int id : {idUnitScaleClass, idUnitScale, idUnitScaleSpin})
        EXPECT_TRUE(ctl(id).enabled) << id;
    // A disabled Set box cannot be unticked; its values stay.
    editor.userClick(idSetUnitScale);
    EXPECT_TRUE(ctl(idSetUnitScale).checked);
    EXPECT_EQ(ctl(idUnitScale).text, "45");
}

TEST_F(ControlStateTest, ExpansionSaveDisablesTheCampaignLengthGroupUntilAnotherLoad) {
    const std::string base = writeSave("base.sav", savegen::specForRelease("1.2"));
    const std::string expansion = writeSave("bi.sav", savegen::specForRelease("1.6"));
    typeAndRefresh(base);
    editor.userClick(idSetCampaignLength);
    EXPECT_TRUE(ctl(idShortCampaign).enabled);
    typeAndRefresh(expansion);
    EXPECT_EQ(ctl(idReleaseLabel).text, "1.6");
    EXPECT_FALSE(ctl(idSetCampaignLength).enabled);
    EXPECT_FALSE(ctl(idShortCampaign).enabled);
    EXPECT_TRUE(ctl(idSetCampaignLength).checked); // the tick survives
    typeAndRefresh(base);
    EXPECT_TRUE(ctl(idSetCampaignLength).enabled);
    EXPECT_TRUE(ctl(idShortCampaign).enabled);
}

TEST_F(ControlStateTest, SetClicksAndTypingClearTheStatusLine) {
    const std::string path = writeSave("quick.sav", savegen::specForRelease("1.2"));
    const std::vector<std::function<void()>> clearing = {
        [&] { editor.userClick(idSetBattleDifficulty); },
        [&] { editor.userSetText(idSourcePath, path + "x"); },
    };
    for (const auto& action : clearing) {
        typeAndRefresh(path);
        ASSERT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");
        action();
        EXPECT_EQ(ctl(idStatusLine).text, "");
    }
    // Clicks on value controls are not rule events: the text stays.
    typeAndRefresh(path);
    editor.userClick(idNoBattleTimeLimit);
    editor.userSelect(idBattleDifficulty, 3);
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");
}

TEST_F(ControlStateTest, FailedLoadRunsNoRulesAndOnlyWithdrawsTheOutputName) {
    const std::string path = writeSave("quick.sav", savegen::specForRelease("1.2"));
    typeAndRefresh(path);
    editor.userClick(idSetBattleDifficulty);
    ASSERT_TRUE(ctl(idApply).enabled);
    const std::string missing = temp.file("missing.sav");
    editor.userSetText(idSourcePath, missing);
    std::vector<ControlState> before;
    for (const ControlLayout& c : editorDialog().controls)
        if (c.id != noControlId)
            before.push_back(ctl(c.id));
    const std::string title = editor.windowTitle();

    editor.userClick(idRefresh);

    std::size_t i = 0;
    for (const ControlLayout& c : editorDialog().controls) {
        if (c.id == noControlId)
            continue;
        ControlState expected = before[i++];
        if (c.id == idOutputPath)
            expected.text.clear();
        if (c.id == idApply)
            expected.enabled = false;
        EXPECT_EQ(ctl(c.id), expected) << c.id;
    }
    EXPECT_EQ(editor.windowTitle(), title);
    EXPECT_TRUE(editor.values().outputPath.empty());
}

} // namespace
} // namespace varnholt::test
