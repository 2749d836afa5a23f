// The window at start, the exchange between controls and values, the integer
// prompt, and the guard against the model's own writes coming back as events.

#include "FakeHost.h"

#include <algorithm>
#include <set>

namespace varnholt::test {
namespace {

using ExchangeTest = EditorFixture;

TEST_F(ExchangeTest, StartShowsTheDefaultsWithFocusInTheSourceBox) {
    for (int id :
         {idSourcePath, idOutputPath, idReleaseLabel, idCampaignName, idFactionName, idStatusLine})
        EXPECT_EQ(ctl(id).text, "") << id;
    EXPECT_EQ(ctl(idUnitScale).text, "40");
    EXPECT_EQ(ctl(idYear).text, "270");
    for (int id : {idCampaignDifficulty, idBattleDifficulty, idUnitScaleClass}) {
        ASSERT_EQ(ctl(id).items.size(), 4u);
        EXPECT_EQ(ctl(id).selection, 1) << id;
    }
    EXPECT_EQ(ctl(idCampaignDifficulty).items[1], "Medium");
    EXPECT_EQ(ctl(idUnitScaleClass).items[1], "Normal");
    for (int id : {idNoBattleTimeLimit, idBC, idSummer})
        EXPECT_TRUE(ctl(id).checked) << id;
    for (int id :
         {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit, idSetCampaignLength,
          idSetUnitScale, idSetYearAndSeason, idShortCampaign, idAD, idWinter})
        EXPECT_FALSE(ctl(id).checked) << id;
    EXPECT_EQ(ctl(idYear).lengthLimit, 4);
    EXPECT_EQ(ctl(idUnitScale).lengthLimit, 3);
    EXPECT_EQ(ctl(idYearSpin).spinMinimum, 1);
    EXPECT_EQ(ctl(idYearSpin).spinMaximum, 9999);
    EXPECT_EQ(ctl(idUnitScaleSpin).spinPosition, 40);
    EXPECT_EQ(editor.values().windowCaption, "Varnholt");
    EXPECT_EQ(editor.windowTitle(), "Varnholt");
    // Window menu, icon, pictures and focus, in the order of initialisation; nothing shown.
    const std::vector<std::string> calls = {"menu separator", "menu 16 &About Varnholt...",
                                            "icon 128", "pictures 1011 REFRESHU", "focus 1002"};
    EXPECT_EQ(host.calls, calls);
    EXPECT_TRUE(host.messages.empty());
    editor.initialise(); // once only
    EXPECT_EQ(host.calls, calls);
}

// A front end may build its widgets blank: initialising reports every control,
// so that items, limits and ranges reach them.
TEST(Initialise, ReportsEveryControl) {
    FakeHost fresh;
    std::set<int> reported;
    fresh.onControlChanged = [&](int id) { reported.insert(id); };
    SaveGameEditor editor{fresh, "/opt/varnholt", "Varnholt", fresh.files()};
    editor.initialise();
    for (const ControlLayout& spec : editorDialog().controls) {
        if (spec.id != noControlId) {
            EXPECT_EQ(reported.count(spec.id), 1u) << spec.id;
        }
    }
}

// Typing into the year box and letting a later command read and rewrite it.
TEST_F(ExchangeTest, YearBoxReadsLeadingDigitsAndShowsThemPlain) {
    struct Case {
        std::string typed;
        std::int32_t read;
        std::string shownAfterWrite;
    };
    const Case cases[] = {{"12a", 12, "12"},
                          {"+7", 7, "7"},
                          {" -3", -3, "-3"},
                          {"12345", 1234, "1234"},
                          {"0042", 42, "42"}};
    editor.userSetText(idSourcePath, " ");
    editor.userClick(idSetYearAndSeason);
    editor.userClick(idSetUnitScale);
    for (const Case& c : cases) {
        editor.userSetText(idYear, c.typed);
        // A pick in the size-class list reads all controls and writes them back.
        editor.userSelect(idUnitScaleClass, 2);
        EXPECT_EQ(editor.settings().year, c.read) << c.typed;
        EXPECT_EQ(ctl(idYear).text, c.shownAfterWrite) << c.typed;
    }
    // Each radio pair is read both ways: the second button, then the first again.
    for (const bool second : {true, false}) {
        editor.userClick(second ? idAD : idBC);
        editor.userClick(second ? idWinter : idSummer);
        editor.userSelect(idUnitScaleClass, second ? 1 : 2);
        EXPECT_EQ(editor.settings().isAD, second);
        EXPECT_EQ(editor.settings().isWinter, second);
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ExchangeTest, EmptyYearBoxStopsEveryReadWithThePrompt) {
    editor.userSetText(idSourcePath, "x");
    editor.userClick(idSetYearAndSeason);
    editor.userClick(idAD);
    editor.userSetText(idYear, "");
    host.calls.clear();

    const std::vector<std::function<void()>> actions = {
        [&] { editor.userClick(idSetBattleDifficulty); },
        [&] { editor.userSetText(idSourcePath, "xy"); },
        [&] { editor.userClick(idRefresh); },
        [&] { editor.userClick(idOk); },
    };
    for (std::size_t i = 0; i < actions.size(); ++i) {
        host.messages.clear();
        host.calls.clear();
        actions[i]();
        const std::vector<ShownMessage> prompt = {
            {"Varnholt", "Please enter an integer.", MessageIcon::Warning}};
        EXPECT_EQ(host.messages, prompt) << "action " << i;
        EXPECT_EQ(host.calls, (std::vector<std::string>{"focus 1021", "select 1021"}))
            << "action " << i;
    }
    // Entries before the year box were read, the era group after it was not.
    EXPECT_TRUE(editor.values().setBattleDifficulty);
    EXPECT_FALSE(editor.settings().isAD);
    // The rules did not run: the battle list stays disabled though its box is ticked.
    EXPECT_FALSE(ctl(idBattleDifficulty).enabled);
    EXPECT_FALSE(editor.modalResult().has_value());
    editor.userPressEscape();
    EXPECT_EQ(editor.modalResult(), 2);
    EXPECT_EQ(host.modalResults, std::vector<int>{2});
}

TEST_F(ExchangeTest, OwnWritesComingBackAsWidgetEventsAreIgnored) {
    savegen::SaveSpec spec = savegen::specForRelease("1.2");
    savegen::setYearAndSeason(spec, 100, true, false);
    const std::string path = writeSave("quick.sav", spec);
    // A widget that reports the model's write as a user's edit, with other text.
    int echoes = 0;
    host.onControlChanged = [&](int id) {
        if (id == idSourcePath || id == idYear) {
            ++echoes;
            editor.userSetText(id, "echo");
        }
    };
    editor.userSetText(idSourcePath, path);
    editor.userClick(idRefresh);
    EXPECT_GT(echoes, 0);
    EXPECT_EQ(ctl(idSourcePath).text, path);
    EXPECT_EQ(ctl(idYear).text, "100");
    EXPECT_EQ(ctl(idStatusLine).text, "Successfully loaded saved game file.");
}

// The mirroring contract: what the user typed is not set again (the widget
// would lose its caret); what the model kept against the user's action is.
TEST_F(ExchangeTest, TypingIsNotReportedBackButWhatTheModelKeptIs) {
    std::vector<int> reported;
    host.onControlChanged = [&](int id) { reported.push_back(id); };
    std::string typed;
    for (const char c : std::string("/saves/q.sav")) {
        typed += c;
        editor.userSetText(idSourcePath, typed);
    }
    EXPECT_EQ(ctl(idSourcePath).text, typed);
    EXPECT_TRUE(ctl(idRefresh).enabled) << "the rules followed the typing";
    EXPECT_EQ(std::count(reported.begin(), reported.end(), idSourcePath), 0);

    editor.userClick(idSetYearAndSeason);
    reported.clear();
    editor.userSetText(idYear, "12345"); // one digit more than the box keeps
    EXPECT_EQ(ctl(idYear).text, "1234");
    editor.userSetText(idYear, "1234"); // the widget, set again, echoes the kept text
    EXPECT_EQ(std::count(reported.begin(), reported.end(), idYear), 1);
    EXPECT_EQ(ctl(idYearSpin).spinPosition, 1234) << "the spin follows its box";

    reported.clear();
    editor.userClick(idBC);                     // the ticked radio button
    editor.userClick(idNoBattleTimeLimit);      // disabled: its Set box is not ticked
    editor.userSelect(idCampaignDifficulty, 3); // disabled list
    editor.userSetText(idOutputPath, "x");      // read-only box
    EXPECT_EQ(reported,
              (std::vector<int>{idBC, idNoBattleTimeLimit, idCampaignDifficulty, idOutputPath}));
    EXPECT_TRUE(ctl(idBC).checked);
    EXPECT_TRUE(ctl(idNoBattleTimeLimit).checked);
    EXPECT_EQ(ctl(idCampaignDifficulty).selection, 1);
    EXPECT_EQ(ctl(idOutputPath).text, "");
}

// A widget that reports each of the model's writes as a user's edit: what the
// mirroring raises while an operation runs must not reach a handler.
TEST_F(ExchangeTest, OwnWritesEchoedByTheWidgetsAreIgnored) {
    const std::string first = writeSave("first.sav", savegen::specForRelease("1.2"));
    savegen::SaveSpec later = savegen::specForRelease("1.3");
    savegen::setYearAndSeason(later, 100, true, false);
    const std::string second = writeSave("second.sav", later);
    using Step = std::function<void(SaveGameEditor&)>;
    struct Case {
        const char* name;
        Step prepare; // user actions, before the echoes start
        Step operation;
        Step check;
    };
    const auto shows = [](const SaveGameEditor& e, int id) { return e.control(id).text; };
    const Step loadedSecond = [&](SaveGameEditor& e) {
        EXPECT_EQ(shows(e, idSourcePath), second);
        EXPECT_EQ(shows(e, idReleaseLabel), "1.3");
        EXPECT_EQ(shows(e, idYear), "100");
        EXPECT_EQ(e.control(idCampaignDifficulty).selection, 1);
        EXPECT_EQ(shows(e, idStatusLine), "Successfully loaded saved game file.");
    };
    const Case cases[] = {
        {"a size class picked",
         [](SaveGameEditor& e) {
             e.userClick(idSetUnitScale);
             e.userSetText(idYear, "12");
         },
         [](SaveGameEditor& e) { e.userSelect(idUnitScaleClass, 3); },
         [&](SaveGameEditor& e) {
             EXPECT_EQ(shows(e, idYear), "12");
             EXPECT_EQ(shows(e, idUnitScale), "160");
             EXPECT_EQ(shows(e, idSourcePath), first);
         }},
        {"Refresh", [&](SaveGameEditor& e) { e.userSetText(idSourcePath, second); },
         [](SaveGameEditor& e) { e.userClick(idRefresh); }, loadedSecond},
        {"a save opened from outside", [](SaveGameEditor&) {},
         [&](SaveGameEditor& e) { e.openSaveGame(second); }, loadedSecond},
        {"the unit-scale spin", [](SaveGameEditor& e) { e.userClick(idSetUnitScale); },
         [](SaveGameEditor& e) { EXPECT_EQ(e.userSpin(idUnitScaleSpin, 1), 5); },
         [&](SaveGameEditor& e) {
             EXPECT_EQ(e.control(idUnitScaleClass).selection, 2);
             EXPECT_EQ(shows(e, idUnitScale), "45");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost h;
        SaveGameEditor e{h, "/opt/varnholt", "Varnholt", h.files()};
        e.initialise();
        e.userSetText(idSourcePath, first);
        e.userClick(idRefresh);
        e.userClick(idSetYearAndSeason);
        e.userClick(idSetCampaignDifficulty);
        c.prepare(e);
        int echoes = 0;
        h.onControlChanged = [&](int id) {
            ++echoes;
            if (id == idSourcePath || id == idYear)
                e.userSetText(id, "echo");
            else if (id == idCampaignDifficulty || id == idUnitScaleClass)
                e.userSelect(id, 0);
        };
        c.operation(e);
        h.onControlChanged = nullptr;
        EXPECT_GT(echoes, 0);
        c.check(e);
        EXPECT_TRUE(h.messages.empty());
        EXPECT_EQ(h.busyDepth, 0);
    }
}

TEST_F(ExchangeTest, ReadOnlyDisabledAndUnknownControlsIgnoreTheUser) {
    editor.userSetText(idUnitScale, "99");  // read-only number box
    editor.userSetText(idOutputPath, "/x"); // read-only output box
    editor.userSetText(idYear, "1");        // disabled until its Set box is ticked
    editor.userClick(idSetUnitScale);       // disabled while no path is entered
    editor.userSelect(idCampaignDifficulty, 3);
    EXPECT_EQ(editor.userSpin(idUnitScaleSpin, 1), 0);
    editor.userClick(4242);
    EXPECT_EQ(ctl(idUnitScale).text, "40");
    EXPECT_EQ(ctl(idOutputPath).text, "");
    EXPECT_EQ(ctl(idYear).text, "270");
    EXPECT_FALSE(ctl(idSetUnitScale).checked);
    EXPECT_EQ(ctl(idCampaignDifficulty).selection, 1);
    EXPECT_THROW(editor.control(4242), std::out_of_range);
}

} // namespace
} // namespace varnholt::test
