// The unit-scale number and its size class kept in step, the year spin,
// closing, and the Alt-letter mnemonics.

#include "FakeHost.h"

#include "editor/AboutCommand.h"

#include "core/UnitScaleTable.h"

namespace varnholt::test {
namespace {

class CommandTest : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        editor.userSetText(idSourcePath, "x");
        editor.userClick(idSetUnitScale);
    }
    // Steps the unit-scale spin until the box shows `number`; a spin that stops
    // moving fails the test instead of looping for ever.
    void spinTo(int number) {
        for (int steps = 0; std::stoi(ctl(idUnitScale).text) != number; ++steps) {
            ASSERT_LT(steps, unitScaleCount) << "the spin does not reach " << number;
            editor.userSpin(idUnitScaleSpin, std::stoi(ctl(idUnitScale).text) < number ? 1 : -1);
        }
    }
};

TEST_F(CommandTest, PickingASizeClassShowsItsNumber) {
    const std::pair<int, std::string> cases[] = {{3, "160"}, {0, "20"}, {2, "80"}, {1, "40"}};
    for (const auto& [index, shown] : cases) {
        editor.userSelect(idUnitScaleClass, index);
        EXPECT_EQ(ctl(idUnitScale).text, shown) << index;
        EXPECT_EQ(editor.settings().unitScaleClass, static_cast<UnitScaleClass>(index));
    }
}

TEST_F(CommandTest, SpinStepsByFiveAndFollowsTheSizeClass) {
    struct Case {
        int from;
        int proposed;
        int step;
        std::string shown;
        int classShown; // selection of the size-class list afterwards
    };
    const Case cases[] = {
        {40, 1, 5, "45", 2},    {45, -1, -5, "40", 1},  {25, -1, -5, "20", 0},
        {160, 1, 5, "160", -2}, {20, -1, -5, "20", -2}, {85, 3, 5, "90", 3},
        {90, 0, -5, "85", 2},
    };
    for (const Case& c : cases) {
        spinTo(c.from);
        const int classBefore = ctl(idUnitScaleClass).selection;
        EXPECT_EQ(editor.userSpin(idUnitScaleSpin, c.proposed), c.step) << c.from;
        EXPECT_EQ(ctl(idUnitScale).text, c.shown) << c.from;
        EXPECT_EQ(ctl(idUnitScaleClass).selection, c.classShown == -2 ? classBefore : c.classShown)
            << c.from;
        EXPECT_EQ(ctl(idUnitScaleSpin).spinPosition, std::stoi(c.shown));
    }
}

TEST_F(CommandTest, PickAfterSpinReadsTheSpunNumberFirst) {
    editor.userSpin(idUnitScaleSpin, 1);
    ASSERT_EQ(ctl(idUnitScale).text, "45");
    EXPECT_EQ(editor.settings().unitScale, 40); // the spin does not read or write values
    editor.userSelect(idUnitScaleClass, 1);
    EXPECT_EQ(ctl(idUnitScale).text, "40");
}

TEST_F(CommandTest, SpinLeavesOtherControlsAlone) {
    editor.userClick(idSetCampaignDifficulty);
    editor.userSelect(idCampaignDifficulty, 3);
    editor.userSpin(idUnitScaleSpin, 1);
    EXPECT_EQ(ctl(idCampaignDifficulty).selection, 3);
    EXPECT_EQ(editor.settings().campaignDifficulty, Difficulty::Medium); // not read yet
}

TEST_F(CommandTest, YearSpinStaysWithinItsRange) {
    editor.userClick(idSetYearAndSeason);
    struct Case {
        std::string typed;
        int step;
        std::string shown;
    };
    const Case cases[] = {
        {"270", 1, "271"}, {"9999", 1, "9999"}, {"1", -1, "1"},
        {"-5", 1, "2"},    {"12a", -1, "11"},   {"abc", 1, "12"}, // no number: from the last
    };
    for (const Case& c : cases) {
        editor.userSetText(idYear, c.typed);
        EXPECT_EQ(editor.userSpin(idYearSpin, c.step), c.step);
        EXPECT_EQ(ctl(idYear).text, c.shown) << c.typed;
    }
}

TEST_F(CommandTest, RadioButtonTicksItselfAndUnticksOnlyItsOwnGroup) {
    editor.userClick(idSetYearAndSeason);
    struct Case {
        int clicked;
        bool bc, ad, summer, winter;
    };
    const Case cases[] = {
        {idAD, false, true, true, false},     {idWinter, false, true, false, true},
        {idWinter, false, true, false, true}, {idBC, true, false, false, true},
        {idSummer, true, false, true, false},
    };
    for (const Case& c : cases) {
        editor.userClick(c.clicked);
        EXPECT_EQ(ctl(idBC).checked, c.bc) << c.clicked;
        EXPECT_EQ(ctl(idAD).checked, c.ad) << c.clicked;
        EXPECT_EQ(ctl(idSummer).checked, c.summer) << c.clicked;
        EXPECT_EQ(ctl(idWinter).checked, c.winter) << c.clicked;
    }
}

TEST_F(CommandTest, CloseEndsWithOneEscapeWithTwoAndThenNothingReacts) {
    editor.userClick(idOk); // also what Enter presses, as the toolkit's dialog manager does
    EXPECT_EQ(editor.modalResult(), 1);
    EXPECT_EQ(host.modalResults, std::vector<int>{1});
    editor.userPressEscape();
    editor.userClick(idSetBattleDifficulty);
    EXPECT_EQ(host.modalResults, std::vector<int>{1});
    EXPECT_FALSE(ctl(idSetBattleDifficulty).checked);

    FakeHost other;
    SaveGameEditor second(other, "", "Varnholt");
    second.userPressEscape(); // not open yet
    EXPECT_TRUE(other.modalResults.empty());
    second.initialise();
    second.userPressEscape();
    EXPECT_EQ(other.modalResults, std::vector<int>{2});
}

TEST_F(CommandTest, WindowMenuCommandsOpenTheAboutBoxOnlyForItsCommandWhileOpen) {
    EXPECT_TRUE(editor.userMenuCommand(aboutCommandId));
    EXPECT_EQ(host.aboutBoxCaptions, std::vector<std::string>(1, "Varnholt"));
    for (unsigned command : {0u, 15u, 17u, 32u, 0xF060u /* close */, 0xF010u /* move */})
        EXPECT_FALSE(editor.userMenuCommand(command)) << command;
    EXPECT_EQ(host.aboutBoxCaptions.size(), 1u);

    // Like every user entry point: not while a command runs (a message box of a
    // load is up), nor before the window is open or after it closed.
    host.onControlChanged = [&](int) { EXPECT_TRUE(editor.userMenuCommand(aboutCommandId)); };
    typeAndRefresh(temp.file("missing.sav"));
    host.onControlChanged = nullptr;
    EXPECT_EQ(host.aboutBoxCaptions.size(), 1u);
    FakeHost other;
    SaveGameEditor second(other, "", "Varnholt");
    EXPECT_TRUE(second.userMenuCommand(aboutCommandId))
        << "the About command is never the platform's";
    second.initialise();
    second.userPressEscape();
    EXPECT_TRUE(second.userMenuCommand(aboutCommandId));
    EXPECT_TRUE(other.aboutBoxCaptions.empty());
}

} // namespace
} // namespace varnholt::test
