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
    host.text = contact->caption;
    AboutBox box(host, "Varnholt");
    EXPECT_EQ(box.initDialog(), idOk) << "focus on the first tab stop";
    EXPECT_EQ(box.label().url(), "mailto:" + address);
    EXPECT_EQ(host.text, address) << "the window keeps showing the bare address";
    EXPECT_EQ(host.log.back(), "setToolText 1 mailto:" + address);

    host.log.clear();
    box.exchangeData();
    EXPECT_TRUE(host.log.empty()) << "the label is bound once";
    box.label().onClicked();
    EXPECT_TRUE(host.logged("open mailto:" + address));
}

TEST(AboutBox, EachRunStartsUnvisitedAndAnyCloseEndsIt) {
    for (const CloseRequest close :
         {CloseRequest::OkButton, CloseRequest::EscapeKey, CloseRequest::CloseBox}) {
        FakeLabelHost host;
        {
            AboutBox first(host, "Varnholt");
            first.initDialog();
            first.label().onClicked();
            EXPECT_TRUE(first.label().isVisited());
            first.close(close);
            EXPECT_TRUE(first.isClosed());
        }
        AboutBox second(host, "Varnholt");
        second.initDialog();
        EXPECT_FALSE(second.isClosed());
        EXPECT_EQ(second.label().textColour(), HyperLinkLabel::initialLinkColour);
    }
}

} // namespace
} // namespace varnholt::shell::test
