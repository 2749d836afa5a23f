// The About box: its dialog description and modal runs with the link.

#include "shell/AboutBox.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

TEST(AboutBox, RunShowsTheAddressAndLinksTheMailtoUrl) {
    const std::string address = VARNHOLT_CONTACT_EMAIL;
    const ControlLayout* contact = aboutBoxDialog().find(idContactAddress);
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->caption, address);
    EXPECT_EQ(legalNotice(), VARNHOLT_LEGAL_NOTICE);

    FakeLabelHost host;
    AboutBox box(host, "Varnholt");
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
        AboutBox first(host, "Varnholt");
        host.label = &first.label();
        first.initDialog(control("a@b.org"));
        first.label().onClicked();
        EXPECT_EQ(host.shown.colour, HyperLinkLabel::visitedColour);
    }
    AboutBox second(host, "Varnholt");
    host.label = &second.label();
    second.initDialog(control("a@b.org"));
    EXPECT_EQ(host.shown.colour, HyperLinkLabel::linkColour);
}

} // namespace
} // namespace varnholt::shell::test
