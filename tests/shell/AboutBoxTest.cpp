// The About box as the editor reaches it: the window-menu entry, the command
// test, and modal runs with the link.

#include "shell/AboutBox.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

TEST(AboutMenu, EntryOnlyWithAMenuAndAText) {
    const std::vector<MenuEntry> full{{true, 0, ""}, {false, 16, "&About Varnholt..."}};
    EXPECT_EQ(aboutMenuEntries(true, aboutMenuText), full);
    EXPECT_TRUE(aboutMenuEntries(false, aboutMenuText).empty());
    EXPECT_TRUE(aboutMenuEntries(true, "").empty());
}

TEST(AboutMenu, CommandIgnoresTheLowFourBits) {
    for (unsigned id = 0; id < 64; ++id) {
        EXPECT_EQ(isAboutCommand(id), id >= 16 && id <= 31) << id;
    }
    // The platform's own window-menu commands, and bits above the low word.
    for (const unsigned id : {0xF000u, 0xF060u, 0x10010u, 0xFFFF0010u}) {
        EXPECT_FALSE(isAboutCommand(id)) << id;
    }
}

TEST(AboutBox, RunShowsTheAddressAndLinksTheMailtoUrl) {
    const std::string address = VARNHOLT_CONTACT_EMAIL;
    const DialogTemplate& dialog = aboutBoxTemplate();
    const auto contact = std::find_if(dialog.items.begin(), dialog.items.end(),
                                      [](const DialogItem& i) { return i.id == contactControlId; });
    ASSERT_NE(contact, dialog.items.end());
    EXPECT_EQ(contact->text, address);
    EXPECT_EQ(legalNotice(), VARNHOLT_LEGAL_NOTICE);

    FakeLabelHost host;
    host.text = contact->text;
    AboutBox box(host, "Varnholt");
    EXPECT_EQ(box.initDialog(), okButtonId) << "focus on the first tab stop";
    EXPECT_EQ(box.label().url(), "mailto:" + address);
    EXPECT_EQ(host.text, address) << "the window keeps showing the bare address";
    EXPECT_EQ(host.log.back(), "setToolText 1 mailto:" + address);

    host.log.clear();
    box.exchangeData();
    EXPECT_TRUE(host.log.empty()) << "the label is bound once";
    box.label().onClicked();
    EXPECT_TRUE(host.logged("shellOpen mailto:" + address + " 5"));
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
