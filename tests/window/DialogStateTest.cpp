// The generic state of a dialog: what its controls do with the user's actions,
// what it reports to the host, and how it survives a host that echoes every
// report back as a user action.

#include "window/DialogState.h"
#include "window/BusyCursor.h"
#include "window/ControlBuilders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace varnholt {
namespace {

using K = ControlKind;

using controls::grouped;

// The tests' controls: where they stand does not matter here.
constexpr ControlLayout control(int id, K kind, std::string_view caption = {}) {
    return controls::control(kind, id, caption, {});
}
constexpr ControlLayout limited(ControlLayout c, int limit) {
    c.lengthLimit = limit;
    return c;
}
constexpr ControlLayout spin(int id, int buddy, int minimum, int maximum) {
    return controls::spin(id, {}, buddy, minimum, maximum);
}

constexpr std::string_view items[] = {"one", "two", "three"};
constexpr ControlLayout list(int id) {
    return controls::list(id, {}, items, 0);
}

// Two radio groups back to back (the second starts a group), a third after a
// check box, a box with its spin, a limited box, a list and a button.
const ControlLayout controls[] = {
    grouped(control(1, K::RadioButton, "A")),
    control(2, K::RadioButton, "B"),
    grouped(control(3, K::RadioButton, "C")),
    control(4, K::RadioButton, "D"),
    control(5, K::CheckBox, "&Tick"),
    control(6, K::RadioButton, "E"),
    control(7, K::RadioButton, "F"),
    control(8, K::TextBox),
    spin(9, 8, 1, 9999),
    limited(control(10, K::TextBox), 4),
    list(11),
    control(12, K::PushButton, "&Go"),
};
const DialogLayout layout{.caption = "Test", .rect = {0, 0, 100, 100}, .controls = controls};

struct Recorder {
    std::vector<int> reports;
    std::vector<std::string> events;
};

DialogEvents recording(Recorder& r) {
    DialogEvents e;
    e.clicked = [&r](int id) { r.events.push_back("click " + std::to_string(id)); };
    e.textChanged = [&r](int id) { r.events.push_back("text " + std::to_string(id)); };
    e.selectionChanged = [&r](int id) { r.events.push_back("pick " + std::to_string(id)); };
    return e;
}

TEST(DialogState, GenericControlsFollowTheUser) {
    Recorder r;
    DialogState d(
        layout, [&r](int id) { r.reports.push_back(id); }, recording(r));
    d.open();
    EXPECT_EQ(d.control(9).spinPosition, 1) << "a spin starts at its minimum";
    EXPECT_EQ(d.control(11).selection, -1) << "and a list with nothing selected";
    d.reportAll();
    EXPECT_EQ(r.reports, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

    // Radio buttons untick only their own group, however it is bounded; the
    // dialog's first group too.
    d.userClick(1);
    d.userClick(2);
    EXPECT_FALSE(d.control(1).checked);
    d.userClick(4);
    d.userClick(7);
    EXPECT_EQ(d.radioChoice(1), 1);
    EXPECT_EQ(d.radioChoice(3), 1);
    EXPECT_EQ(d.radioChoice(6), 1);
    d.userClick(1);
    EXPECT_EQ(d.radioChoice(1), 0);
    EXPECT_EQ(d.radioChoice(3), 1) << "the next group is its own";
    d.setRadioChoice(6, 0);
    EXPECT_TRUE(d.control(6).checked);
    EXPECT_FALSE(d.control(7).checked);
    EXPECT_EQ(d.radioChoice(1), 0) << "and so is the one before";

    // A typed text is stored without a report (the box keeps its caret); a
    // text over the limit is cut, counted in characters, and reported.
    r.reports.clear();
    r.events.clear();
    d.userSetText(8, "270");
    d.userSetText(10, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(d.control(10).text, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(r.reports, (std::vector<int>{9, 10})) << "the spin follows its box";
    EXPECT_EQ(r.events, (std::vector<std::string>{"text 8", "text 10"}));

    // The spin steps from the number its box shows and stays in its range.
    EXPECT_EQ(d.control(9).spinPosition, 270);
    EXPECT_EQ(d.userSpin(9, 20), 20);
    EXPECT_EQ(d.control(8).text, "290");
    d.userSetText(8, "9990");
    EXPECT_EQ(d.userSpin(9, 20), 20);
    EXPECT_EQ(d.control(8).text, "9999");
    d.userSetText(8, "x");
    EXPECT_EQ(d.userSpin(9, -1), -1);
    EXPECT_EQ(d.control(8).text, "9998") << "no number: from where the spin was";

    // A pick outside the list and clicks on disabled controls are refused.
    r.events.clear();
    d.userSelect(11, 2);
    d.userSelect(11, 3);
    d.setEnabled(12, false);
    d.userClick(12);
    d.setEnabled(12, true);
    d.userClick(12);
    EXPECT_EQ(d.control(11).selection, 2);
    EXPECT_EQ(
        r.events,
        (std::vector<std::string>{
            "pick 11",
            "click 12"})); // The model's pick of an index that names no item leaves none selected.
    d.setSelection(11, 0);
    EXPECT_EQ(d.control(11).selection, 0);
    d.setSelection(11, 3);
    EXPECT_EQ(d.control(11).selection, -1);
    // New items, or the same again, leave none selected.
    d.setSelection(11, 1);
    d.setItems(11, {"one", "two", "three"});
    EXPECT_EQ(d.control(11).selection, -1);
    d.setItems(11, {"four"});
    EXPECT_EQ(d.control(11).items, std::vector<std::string>{"four"});
    r.reports.clear();
    d.setItems(11, {"four"});
    EXPECT_TRUE(r.reports.empty()) << "the same items, none selected: nothing changed";
    d.setItems(11, {"five"});
    EXPECT_EQ(r.reports, std::vector<int>{11});
}

// A radio group at the end of a dialog ends with it: the controls past the
// dialog's last (here the rest of a longer table) are not the dialog's.
TEST(DialogState, ARadioGroupEndsWithTheDialog) {
    const ControlLayout table[] = {grouped(control(1, K::RadioButton, "A")),
                                   control(2, K::RadioButton, "B"),
                                   control(3, K::RadioButton, "C")};
    const DialogLayout dialog{.caption = "Test", .rect = {}, .controls = std::span(table).first(2)};
    DialogState d(dialog, [](int) {});
    d.open();
    d.userClick(2);
    EXPECT_EQ(d.radioChoice(1), 1);
    d.userClick(1);
    EXPECT_EQ(d.radioChoice(1), 0);
}

// A widget toolkit that answers every report by setting its widget, which
// raises the widget's own event, forwarded as the user's: the text as the widget
// had it, a click for a check box whose tick differed, a pick of the shown item.
TEST(DialogState, AHostThatEchoesEveryReportCannotMakeItLoop) {
    std::map<int, ControlState> widgets;
    int reports = 0;
    DialogState* state = nullptr;
    DialogState d(layout, [&](int id) {
        ++reports;
        ASSERT_LT(reports, 100) << "reports without end";
        const ControlState shown = widgets[id];
        widgets[id] = state->control(id);
        if (shown.text != widgets[id].text)
            state->userSetText(id, shown.text);
        if (shown.checked != widgets[id].checked)
            state->userClick(id);
        if (shown.selection != widgets[id].selection)
            state->userSelect(id, shown.selection);
    });
    state = &d;
    // Closed: every action is refused and reported, and the echo of that
    // report is ignored, not refused and reported again.
    widgets[5].checked = true;
    d.userClick(5);
    d.userSetText(8, "typed");
    EXPECT_LE(reports, 2);
    EXPECT_FALSE(d.control(5).checked);

    d.open();
    reports = 0;
    d.userSetText(10, "123456"); // cut to four: reported, echoed with the old text
    {
        // The model writes while it is busy, as its handlers do.
        const DialogState::Busy busy(d);
        d.setText(8, "42");
        d.setSelection(11, 1);
        d.setChecked(5, true);
    }
    d.userClick(1);
    d.userClick(1); // the ticked radio button: kept and reported
    EXPECT_LE(reports, 12);
    EXPECT_EQ(d.control(10).text, "1234");
    EXPECT_EQ(d.control(8).text, "42");
    EXPECT_EQ(d.control(11).selection, 1);
    EXPECT_TRUE(d.control(5).checked);
    EXPECT_EQ(d.radioChoice(1), 0);
    for (int id : {1, 5, 8, 10, 11})
        EXPECT_EQ(widgets[id], d.control(id)) << "widget " << id << " shows the model's state";
}

TEST(DialogState, TheModelDecidesStepsAndEscape) {
    int escapes = 0;
    DialogEvents events;
    events.spinStepping = [](int, int, int step) { return step > 0 ? 5 : -5; };
    events.escape = [&] { ++escapes; };
    std::vector<int> reports;
    DialogState d(
        layout, [&](int id) { reports.push_back(id); }, events);
    d.userPressEscape();
    EXPECT_EQ(d.userSpin(9, 1), 0) << "not open yet";
    EXPECT_EQ(reports, std::vector<int>{9}) << "refused, and reported for its widget";
    d.open();
    d.setText(8, "40");
    EXPECT_EQ(d.userSpin(9, 20), 5);
    EXPECT_EQ(d.control(8).text, "45");
    {
        const DialogState::Busy busy(d);
        d.userPressEscape();
        EXPECT_EQ(d.userSpin(9, 1), 0);
    }
    d.userPressEscape();
    EXPECT_EQ(escapes, 1);
}

TEST(SpinAcceleration, OneThenFiveAfterTwoSecondsThenTwentyAfterFive) {
    EXPECT_EQ(spinStepAfterHolding(0), 1);
    EXPECT_EQ(spinStepAfterHolding(1999), 1);
    EXPECT_EQ(spinStepAfterHolding(2000), 5);
    EXPECT_EQ(spinStepAfterHolding(4999), 5);
    EXPECT_EQ(spinStepAfterHolding(5000), 20);
    EXPECT_EQ(spinStepAfterHolding(600000), 20);
}

struct CursorHost {
    std::vector<std::string> log;
    void beginBusy() { log.push_back("begin"); }
    void endBusy() { log.push_back("end"); }
};

TEST(BusyCursorKeeper, OneCursorForNestedHoldsLiftedWhileAModalWindowWaits) {
    CursorHost host;
    BusyCursorKeeper<CursorHost> keeper(host);
    {
        const BusyCursorKeeper<CursorHost>::Lift idle(keeper); // nothing to lift
    }
    {
        const BusyCursorKeeper<CursorHost>::Hold outer(keeper);
        {
            const BusyCursorKeeper<CursorHost>::Hold inner(keeper);
            const BusyCursorKeeper<CursorHost>::Lift box(keeper);
            EXPECT_FALSE(keeper.isShown());
            const BusyCursorKeeper<CursorHost>::Hold underTheBox(keeper);
        }
        EXPECT_TRUE(keeper.isShown());
    }
    EXPECT_EQ(host.log, (std::vector<std::string>{"begin", "end", "begin", "end"}));
}

} // namespace
} // namespace varnholt
