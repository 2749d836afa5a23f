// The About box as the editor reaches it: the window-menu entry, the command
// test, and one modal run with its link.

#include "shell/AboutBox.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

#include <set>

namespace varnholt::shell::test {
namespace {

TEST(AboutMenu, EntryOnlyWithAMenuAndAText) {
    const std::vector<MenuEntry> full{{true, 0, ""}, {false, 16, "&About Varnholt..."}};
    EXPECT_EQ(aboutMenuEntries(true, aboutMenuText), full);
    EXPECT_TRUE(aboutMenuEntries(false, aboutMenuText).empty());
    EXPECT_TRUE(aboutMenuEntries(true, "").empty());
    EXPECT_TRUE(aboutMenuEntries(false, "").empty());
}

TEST(AboutMenu, CommandIgnoresTheLowFourBits) {
    for (unsigned id = 0; id < 64; ++id) {
        EXPECT_EQ(isAboutCommand(id), id >= 16 && id <= 31) << id;
    }
    // The platform's own window-menu commands, and a high bit above them.
    for (const unsigned id : {0xF000u, 0xF060u, 0xF120u, 0x10010u, 0xFFFF0010u}) {
        EXPECT_FALSE(isAboutCommand(id)) << id;
    }
}

TEST(AboutBoxTemplate, CarriesTheBuildsTextsAndAUsableTabOrder) {
    const DialogTemplate& t = aboutBoxTemplate();
    EXPECT_EQ(t.id, 100);
    EXPECT_EQ(t.title, "About Varnholt");
    std::set<int> ids;
    int defaultButtons = 0;
    for (const auto& item : t.items) {
        EXPECT_TRUE(item.id == -1 || ids.insert(item.id).second) << "duplicate id " << item.id;
        defaultButtons += item.has(itemDefaultButton) ? 1 : 0;
        EXPECT_LE(item.x + item.width, t.width) << item.text;
        EXPECT_LE(item.y + item.height, t.height) << item.text;
    }
    EXPECT_EQ(defaultButtons, 1);

    const auto find = [&](int id) {
        return *std::find_if(t.items.begin(), t.items.end(),
                             [id](const DialogItem& i) { return i.id == id; });
    };
    EXPECT_EQ(find(contactControlId).text, VARNHOLT_CONTACT_EMAIL);
    EXPECT_EQ(contactEmail(), VARNHOLT_CONTACT_EMAIL);
    EXPECT_EQ(legalNotice(), VARNHOLT_LEGAL_NOTICE);
    EXPECT_TRUE(find(okButtonId).has(itemDefaultButton | itemTabStop));
}

TEST(AboutBox, RunShowsTheAddressAndLinksTheMailtoUrl) {
    const std::string address = VARNHOLT_CONTACT_EMAIL;
    FakeLabelHost host;
    host.text = address; // the control's text from the template
    AboutBox box(host, "Varnholt");
    EXPECT_EQ(box.initDialog(), okButtonId);

    EXPECT_EQ(box.label().url(), "mailto:" + address);
    EXPECT_EQ(host.text, address) << "the window keeps showing the bare address";
    EXPECT_TRUE(host.logged("addTool 1 98x14 " + address));
    EXPECT_EQ(host.log.back(), "setToolText 1 mailto:" + address);

    host.log.clear();
    box.exchangeData();
    EXPECT_TRUE(host.log.empty()) << "the label is bound once";

    box.label().onClicked();
    EXPECT_TRUE(host.logged("shellOpen mailto:" + address + " 5"));
}

TEST(AboutBox, EachRunStartsUnvisitedAndAnyCloseEndsIt) {
    const CloseRequest closes[] = {CloseRequest::OkButton, CloseRequest::EscapeKey,
                                   CloseRequest::CloseBox};
    for (const CloseRequest close : closes) {
        FakeLabelHost host;
        host.text = VARNHOLT_CONTACT_EMAIL;
        {
            AboutBox first(host, "Varnholt");
            first.initDialog();
            first.label().onClicked();
            EXPECT_TRUE(first.label().isVisited());
            EXPECT_FALSE(first.isClosed());
            first.close(close);
            EXPECT_TRUE(first.isClosed());
        }
        AboutBox second(host, "Varnholt");
        second.initDialog();
        EXPECT_EQ(second.label().textColour(), HyperLinkLabel::initialLinkColour);
    }
}

} // namespace
} // namespace varnholt::shell::test
