#include "shell/AboutBox.h"

#include "window/ControlBuilders.h"
#include "window/LocalizedDialog.h"
#include "words/UiText.h"

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
    // The build may set its own line; the program's own is translated.
    constexpr std::string_view configured = VARNHOLT_LEGAL_NOTICE;
    return configured.empty() ? uiText("© 2026 The Varnholt developers") : configured;
}

namespace {

using K = ControlKind;
using namespace controls;

// Static texts start a group each, so that a mnemonic in one never reaches
// into the next.
constexpr ControlLayout text(int id, std::string_view caption, DialogRect r) {
    return grouped(label(id, caption, r));
}

} // namespace

const DialogLayout& englishAboutBoxDialog() {
    static const ControlLayout controls[] = {
        [] {
            ControlLayout icon = control(K::Icon, noControlId, {}, {11, 17, 20, 20});
            icon.iconId = applicationIconId;
            return icon;
        }(),
        // The version line shows "&" as it is.
        asItIs(text(noControlId, uiText("Varnholt Version 1.0"), {40, 10, 119, 8})),
        text(noControlId, legalNotice(), {40, 25, 119, 8}),
        asDefault(grouped(control(K::PushButton, idOk, uiText("OK"), {178, 7, 50, 16}))),
        text(noControlId, uiText("Email:"), {12, 48, 20, 8}),
        text(idContactAddress, contactEmail(), {36, 48, 132, 8}),
    };
    static const DialogLayout english{.caption = uiText("About Varnholt"),
                                      .rect = {0, 0, 235, 66},
                                      .windowMenu = true,
                                      .controls = controls};
    return english;
}

const DialogLayout& aboutBoxDialog() {
    static const LocalizedDialog dialog(englishAboutBoxDialog());
    return dialog.layout();
}

AboutBox::AboutBox(HyperLinkHost& labelHost, std::string messageCaption,
                   std::function<void(int)> endModal)
    : label_(labelHost, std::move(messageCaption)), endModal_(std::move(endModal)),
      dialog_(
          aboutBoxDialog(), [](int) {}, events()) {}

DialogEvents AboutBox::events() {
    DialogEvents e;
    e.clicked = [this](int id) {
        if (id == idOk)
            end(idOk);
    };
    e.escape = [this] { end(idCancel); };
    return e;
}

void AboutBox::end(int result) {
    dialog_.close();
    if (endModal_)
        endModal_(result);
}

int AboutBox::initDialog(const LabelControl& contact) {
    label_.attach(contact);
    label_.setUrl("mailto:" + std::string(contactEmail()));
    dialog_.open();

    const auto controls = aboutBoxDialog().controls;
    const auto first = std::find_if(controls.begin(), controls.end(),
                                    [](const ControlLayout& c) { return c.tabStop; });
    return first == controls.end() ? noControlId : first->id;
}

} // namespace varnholt::shell
