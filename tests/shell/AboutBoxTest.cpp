// The About box: its dialog description and modal runs with the link.

#include "shell/AboutBox.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace varnholt::shell::test {
namespace {

TEST(AboutBox, RunShowsTheAddressAndLinksTheMailtoUrl) {
    const std::string address = VARNHOLT_CONTACT_EMAIL;
    const ControlLayout* contact = aboutBoxDialog().find(idContactAddress);
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->caption, address);
    // The build's own line, else the program's.
    const std::string configured = VARNHOLT_LEGAL_NOTICE;
    EXPECT_EQ(legalNotice(), configured.empty() ? "© 2026 The Varnholt developers" : configured);

    FakeLabelHost host;
    AboutBox box(host, "Varnholt", [](int) {});
    host.label = &box.label();
    EXPECT_EQ(box.initDialog(control(std::string(contact->caption))), idOk)
        << "focus on the first tab stop";
    EXPECT_EQ(host.shown.text, address) << "the window keeps showing the bare address";
    EXPECT_EQ(host.shown.toolTip, "mailto:" + address);
    box.label().onClicked();
    EXPECT_EQ(host.opened, std::vector<std::string>{"mailto:" + address});
}

TEST(AboutBox, EachRunStartsUnvisited) {
    FakeLabelHost host;
    {
        AboutBox first(host, "Varnholt", [](int) {});
        host.label = &first.label();
        first.initDialog(control("a@b.org"));
        first.label().onClicked();
        EXPECT_EQ(host.shown.colour, HyperLinkLabel::visitedColour);
    }
    AboutBox second(host, "Varnholt", [](int) {});
    host.label = &second.label();
    second.initDialog(control("a@b.org"));
    EXPECT_EQ(host.shown.colour, HyperLinkLabel::linkColour);
}

TEST(AboutBox, OkAndEscapeEndItOnceWhileItIsUp) {
    FakeLabelHost host;
    std::vector<int> results;
    const auto run = [&](const std::function<void(AboutBox&)>& user) {
        AboutBox box(host, "Varnholt", [&](int result) { results.push_back(result); });
        host.label = &box.label();
        box.userClick(idOk); // before the window exists
        box.initDialog(control("a@b.org"));
        box.userClick(idContactAddress); // a label, not a button
        user(box);
        box.userClick(idOk); // after it ended
        box.userPressEscape();
    };
    run([](AboutBox& box) { box.userClick(idOk); });
    run([](AboutBox& box) { box.userPressEscape(); });
    EXPECT_EQ(results, (std::vector<int>{idOk, idCancel}));
}

} // namespace
} // namespace varnholt::shell::test
