#include "shell/AboutBox.h"

#include <algorithm>
#include <utility>

#ifndef VARNHOLT_CONTACT_EMAIL
#error "VARNHOLT_CONTACT_EMAIL is set by the build (shell/CMakeLists.txt)"
#endif
#ifndef VARNHOLT_LEGAL_NOTICE
#error "VARNHOLT_LEGAL_NOTICE is set by the build (shell/CMakeLists.txt)"
#endif

namespace varnholt::shell {

std::string_view contactEmail() {
    return VARNHOLT_CONTACT_EMAIL;
}

std::string_view legalNotice() {
    return VARNHOLT_LEGAL_NOTICE;
}

const DialogTemplate& aboutBoxTemplate() {
    static const DialogTemplate dialog = [] {
        DialogTemplate t;
        t.id = aboutBoxTemplateId;
        t.width = 235;
        t.height = 66;
        t.title = "About Varnholt";
        t.fontName = "MS Shell Dlg";
        t.fontPointSize = 8;
        t.popup = t.caption = t.windowMenu = t.modalFrame = true;

        using enum DialogItemKind;
        t.items = {
            {-1, Icon, 11, 17, 20, 20, {}, applicationIconId, 0},
            {-1, StaticText, 40, 10, 119, 8, "Varnholt Version 1.0", 0,
             itemGroupStart | itemNoPrefix},
            {-1, StaticText, 40, 25, 119, 8, std::string(legalNotice()), 0, itemGroupStart},
            {okButtonId, PushButton, 178, 7, 50, 16, "OK", 0,
             itemDefaultButton | itemTabStop | itemGroupStart},
            {-1, StaticText, 12, 48, 20, 8, "Email:", 0, itemGroupStart},
            {contactControlId, StaticText, 36, 48, 132, 8, std::string(contactEmail()), 0,
             itemGroupStart | itemLeftAligned},
        };
        return t;
    }();
    return dialog;
}

std::vector<MenuEntry> aboutMenuEntries(bool hasWindowMenu, std::string_view menuText) {
    if (!hasWindowMenu || menuText.empty()) {
        return {};
    }
    return {MenuEntry{true, 0, {}}, MenuEntry{false, aboutCommandId, std::string(menuText)}};
}

bool isAboutCommand(unsigned commandId) {
    return (commandId & ~0xFu) == aboutCommandId;
}

AboutBox::AboutBox(HyperLinkHost& labelHost, std::string messageCaption,
                   LeadBytePredicate isLeadByte)
    : label_(labelHost, std::move(messageCaption), std::move(isLeadByte)) {}

void AboutBox::exchangeData() {
    label_.attach(); // binding happens once; a later exchange finds it attached
}

int AboutBox::initDialog() {
    exchangeData();
    label_.setUrl("mailto:" + std::string(contactEmail()));

    const auto& items = aboutBoxTemplate().items;
    const auto first = std::find_if(items.begin(), items.end(),
                                    [](const DialogItem& i) { return i.has(itemTabStop); });
    return first == items.end() ? -1 : first->id;
}

void AboutBox::close(CloseRequest) {
    isClosed_ = true;
}

} // namespace varnholt::shell
