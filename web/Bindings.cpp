// What the page's script may call: the user's language, the dialog
// descriptions as plain objects, and the two models through their hosts.

#include "web/WebHost.h"

#include "editor/EditorLayout.h"
#include "shell/AboutBox.h"
#include "shell/UserLanguage.h"
#include "window/ControlLabels.h"
#include "window/DialogLayout.h"
#include "window/DialogState.h"
#include "words/UiText.h"

#include <emscripten/bind.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace varnholt::web {

using emscripten::val;

namespace {

const char* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::GroupBox:
        return "group";
    case ControlKind::Icon:
        return "icon";
    case ControlKind::TextBox:
        return "text";
    case ControlKind::PictureButton:
        return "picture";
    case ControlKind::PushButton:
        return "button";
    case ControlKind::CheckBox:
        return "check";
    case ControlKind::RadioButton:
        return "radio";
    case ControlKind::DropDownList:
        return "list";
    case ControlKind::Spin:
        return "spin";
    }
    return "label";
}

int indexOr(std::optional<std::size_t> index) {
    return index ? static_cast<int>(*index) : -1;
}

// One dialog description as the page builds it: every row of the table with
// what the model says of it (the caption as shown, its mnemonic, the control
// a label names, the accessible name).
val describe(const DialogLayout& layout) {
    val dialog = val::object();
    dialog.set("caption", std::string(layout.caption));
    val controls = val::array();
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlLayout& c = layout.controls[i];
        val o = val::object();
        o.set("index", static_cast<int>(i));
        o.set("id", c.id);
        o.set("kind", std::string(kindName(c.kind)));
        o.set("caption", std::string(c.caption));
        o.set("shown", c.noPrefix ? std::string(c.caption) : displayCaption(c.caption));
        o.set("noPrefix", c.noPrefix);
        if (const auto mnemonic = c.noPrefix ? std::nullopt : mnemonicOf(c.caption))
            o.set("mnemonic", *mnemonic);
        o.set("mnemonicTarget", indexOr(mnemonicTarget(layout, i)));
        o.set("labels", indexOr(labelledControl(layout, i)));
        o.set("name", accessibleName(layout, i));
        o.set("x", c.rect.x);
        o.set("y", c.rect.y);
        o.set("width", c.rect.width);
        o.set("height", shownRect(c).height);
        o.set("tabStop", c.tabStop);
        if (c.kind == ControlKind::RadioButton)
            o.set("radioGroup", static_cast<int>(radioGroupStart(layout.controls, i)));
        o.set("readOnly", c.readOnly);
        o.set("rightAligned", c.rightAligned);
        o.set("digitsOnly", c.digitsOnly);
        o.set("defaultButton", c.defaultButton);
        o.set("buddyId", c.buddyId);
        o.set("spinArrowKeys", c.spinArrowKeys);
        if (c.kind == ControlKind::PictureButton) {
            val pictures = val::object();
            pictures.set("width", c.pictures.width);
            pictures.set("height", c.pictures.height);
            o.set("pictures", pictures);
        }
        controls.call<void>("push", o);
    }
    dialog.set("controls", controls);
    return dialog;
}

// The language to show, chosen and installed before any text is read:
// `override` (?lang=) first, else the browser's list.
std::string startLanguage(val preferences, const std::string& override) {
    const std::vector<std::string> languages = emscripten::vecFromJSArray<std::string>(preferences);
    return shell::useUserLanguage(override.empty() ? nullptr : override.c_str(), languages);
}

val editorDescription() {
    return describe(editorDialog());
}

val aboutBoxDescription() {
    return describe(shell::aboutBoxDialog());
}

// The picture a picture button of the editor shows in a state (pictureFor).
std::string editorPicture(int id, bool pressed, bool focused, bool enabled) {
    const ControlLayout* control = editorDialog().find(id);
    return control ? std::string(pictureFor(control->pictures, pressed, focused, enabled))
                   : std::string();
}

std::string shownCaption(const std::string& stored) {
    return displayCaption(stored);
}

// What the progress bar shows: the reading of a save, or the writing of a copy.
std::string progressName(bool writing) {
    return std::string(
        localized(writing ? uiText("Writing the copy") : uiText("Reading the saved game")));
}

// The name of a pair of radio buttons, by the identifier of one of them.
std::string radioGroupName(int id) {
    if (id == idBC || id == idAD)
        return std::string(localized(uiText("Era")));
    if (id == idSummer || id == idWinter)
        return std::string(localized(uiText("Season")));
    return {};
}

std::string dropHint() {
    return std::string(localized(uiText("Drop a saved game here, or Browse...")));
}

int spinStep(double heldMs) {
    return spinStepAfterHolding(static_cast<long long>(heldMs));
}

} // namespace

EMSCRIPTEN_BINDINGS(varnholt) {
    using namespace emscripten;
    function("startLanguage", &startLanguage);
    function("editorDescription", &editorDescription);
    function("aboutBoxDescription", &aboutBoxDescription);
    function("editorPicture", &editorPicture);
    function("spinStep", &spinStep);
    constant("spinFirstRepeatDelayMs", spinFirstRepeatDelayMs);
    constant("spinRepeatIntervalMs", spinRepeatIntervalMs);
    function("displayCaption", &shownCaption);
    function("progressName", &progressName);
    function("dropHint", &dropHint);
    function("radioGroupName", &radioGroupName);
    constant("idOutputPath", idOutputPath);
    constant("idSourcePath", idSourcePath);
    constant("copyWritten", static_cast<int>(CopyFate::Written));
    constant("copyOffered", static_cast<int>(CopyFate::OfferedAsDownload));
    constant("copyFailed", static_cast<int>(CopyFate::Failed));
    constant("copyCancelled", static_cast<int>(CopyFate::Cancelled));
    constant("idOk", idOk);
    constant("idApply", idApply);
    constant("idRefresh", idRefresh);
    constant("idStatusLine", idStatusLine);
    constant("idContactAddress", shell::idContactAddress);
    constant("savesFolder", std::string(savesFolder));

    class_<WebEditor>("Editor")
        .constructor<val>()
        .function("initialise", &WebEditor::initialise)
        .function("control", &WebEditor::control)
        .function("windowTitle", &WebEditor::windowTitle)
        .function("savePath", &WebEditor::savePath)
        .function("userSetText", &WebEditor::userSetText)
        .function("userClick", &WebEditor::userClick)
        .function("userSelect", &WebEditor::userSelect)
        .function("userSpin", &WebEditor::userSpin)
        .function("userMenuCommand", &WebEditor::userMenuCommand)
        .function("acceptsDrop", &WebEditor::acceptsDrop)
        .function("userDropFiles", &WebEditor::userDropFiles)
        .function("userPickedFile", &WebEditor::userPickedFile)
        .function("copyFinished", &WebEditor::copyFinished);

    class_<WebAboutBox>("AboutBox")
        .constructor<val, std::string>()
        .function("initDialog", &WebAboutBox::initDialog)
        .function("userClick", &WebAboutBox::userClick)
        .function("userPressEscape", &WebAboutBox::userPressEscape)
        .function("link", &WebAboutBox::link)
        .function("onMouseMove", &WebAboutBox::onMouseMove)
        .function("onLeaveCheck", &WebAboutBox::onLeaveCheck)
        .function("onClicked", &WebAboutBox::onClicked);
}

} // namespace varnholt::web

// The process starts here, before the page calls anything.
int main() {
    // Emscripten starts with a file-creation mask of 0777, which would give
    // Apply's new file no permissions at all (mode 0, unreadable for the
    // download); a system's shell starts its programs with 022.
    ::umask(022);
    return 0;
}
