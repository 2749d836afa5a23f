#include "web/WebHost.h"

#include "shell/EditorApp.h"
#include "window/IntegerText.h"

#include <string_view>
#include <vector>

namespace varnholt::web {

using emscripten::val;

namespace {

const char* iconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return "error";
    case MessageIcon::Warning:
        return "warning";
    case MessageIcon::Information:
        return "information";
    }
    return "error";
}

} // namespace

std::string withoutFolders(std::string text) {
    // "/saves/12/early.sav" becomes "early.sav": the player knows a save by
    // the name it had, not by the folder the page keeps it in.
    const std::string folder = std::string(savesFolder) + "/";
    for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
        std::size_t end = at + folder.size();
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end > at + folder.size() && end < text.size() && text[end] == '/')
            text.erase(at, end + 1 - at);
        else
            at = end;
    }
    return text;
}

namespace {

void showOnPage(val& page, const MessageBoxRequest& request) {
    // The page queues it and shows it when the boxes before it are closed.
    page.call<void>("showMessage", withoutFolders(request.caption), withoutFolders(request.text),
                    std::string(iconName(request.icon)));
}

val stringList(const std::vector<std::string>& texts) {
    val list = val::array();
    for (const std::string& text : texts)
        list.call<void>("push", text);
    return list;
}

} // namespace

// The editor model's window system: each call is the page's.
class WebEditor::Host : public EditorHost {
  public:
    explicit Host(val page) : page_(std::move(page)) {}

    void showMessage(const MessageBoxRequest& request) override { showOnPage(page_, request); }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings) override {
        // The browser's picker answers later, through userPickedFile.
        val patterns = val::array();
        if (!settings.filters.empty())
            patterns.call<void>("push", settings.filters.front().pattern);
        page_.call<void>("openFilePicker", patterns);
        return std::nullopt;
    }
    // The page writes the copy from the picked file's own bytes and the
    // patches, and answers through copyFinished.
    bool writesCopies() const override { return true; }
    void writeCopy(const std::string& sourcePath, const std::string& outputPath,
                   const std::vector<BytePatch>& patches) override {
        val list = val::array();
        for (const BytePatch& patch : patches) {
            val o = val::object();
            o.set("offset", static_cast<double>(patch.offset));
            val bytes = val::array();
            for (std::size_t k = 0; k < patch.width; ++k)
                bytes.call<void>("push", static_cast<int>(patch.bytes[k]));
            o.set("bytes", bytes);
            list.call<void>("push", o);
        }
        page_.call<void>("writeCopy", sourcePath, outputPath, list);
    }
    void beginBusy() override { page_.call<void>("setBusy", true); }
    void endBusy() override { page_.call<void>("setBusy", false); }
    void setWindowTitle(const std::string& title) override {
        page_.call<void>("setWindowTitle", withoutFolders(title));
    }
    // The page shows the program's icon from the start.
    void setWindowIcon(int) override {}
    void attachPictures(int controlId) override { page_.call<void>("attachPictures", controlId); }
    void addMenuEntries(const std::vector<MenuEntry>& entries) override {
        val list = val::array();
        for (const MenuEntry& entry : entries) {
            val item = val::object();
            item.set("separator", entry.separator);
            item.set("commandId", entry.commandId);
            item.set("text", displayCaption(entry.text));
            list.call<void>("push", item);
        }
        page_.call<void>("addMenuEntries", list);
    }
    void runAboutBox(const std::string& messageCaption) override {
        page_.call<void>("runAboutBox", messageCaption);
    }
    void setFocus(int controlId) override { page_.call<void>("setFocus", controlId); }
    void selectAllText(int controlId) override { page_.call<void>("selectAllText", controlId); }
    void controlChanged(int controlId) override { page_.call<void>("controlChanged", controlId); }
    void endModal(int result) override { page_.call<void>("endModal", result); }

  private:
    val page_;
};

WebEditor::WebEditor(val page) : host_(std::make_unique<Host>(std::move(page))) {
    // The page sees none of the folders around a save the player picked or
    // dropped: the release's folder test cannot be made.
    FileQueries files = systemFileQueries();
    files.isDirectory = [](const std::string&) { return std::optional<bool>(); };
    editor_ = std::make_unique<SaveGameEditor>(*host_, savesFolder,
                                               std::string(shell::applicationDisplayName), files);
}

WebEditor::~WebEditor() = default;

val WebEditor::control(int id) const {
    const ControlState& state = editor_->control(id);
    val o = val::object();
    o.set("text", withoutFolders(state.text));
    o.set("checked", state.checked);
    o.set("items", stringList(state.items));
    o.set("selection", state.selection);
    o.set("spinPosition", state.spinPosition);
    o.set("spinMinimum", state.spinMinimum);
    o.set("spinMaximum", state.spinMaximum);
    o.set("lengthLimit", state.effectiveLengthLimit());
    // A number box's number as the model reads it, or null.
    const std::optional<std::int32_t> number = parseInteger(state.text);
    o.set("number", number ? val(*number) : val::null());
    o.set("enabled", state.enabled);
    return o;
}

void WebEditor::copyFinished(int fate, const std::string& failure) {
    // The names of the browser's errors (DOMException) as the causes core knows.
    FileErrorCause cause = FileErrorCause::Other;
    if (failure == "NotAllowedError" || failure == "SecurityError")
        cause = FileErrorCause::AccessDenied;
    else if (failure == "QuotaExceededError")
        cause = FileErrorCause::DiskFull;
    else if (failure == "NotFoundError")
        cause = FileErrorCause::FileNotFound;
    else if (failure == "NotReadableError")
        cause = FileErrorCause::HardwareIo;
    editor_->copyFinished(static_cast<CopyFate>(fate), cause);
}

bool WebEditor::acceptsDrop(int fileCount) const {
    return fileCount > 0 && editor_->acceptsDrop(static_cast<std::size_t>(fileCount));
}

void WebEditor::userDropFiles(val paths) {
    editor_->userDropFiles(emscripten::vecFromJSArray<std::string>(paths));
}

// --- The About box ------------------------------------------------------------------

WebAboutBox::WebAboutBox(val page, const std::string& messageCaption)
    : page_(std::move(page)),
      box_(*this, messageCaption, [this](int result) { page_.call<void>("endAbout", result); }) {}

WebAboutBox::~WebAboutBox() {
    box_.label().detach();
}

int WebAboutBox::initDialog(const std::string& contactText) {
    shell::LabelControl contact;
    contact.text = contactText;
    return box_.initDialog(contact);
}

val WebAboutBox::link() const {
    const shell::HyperLinkLabel& label = box_.label();
    const shell::Colour colour = label.textColour();
    val o = val::object();
    o.set("text", label.text());
    o.set("url", label.url());
    o.set("colour", "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
                        std::to_string(colour.blue) + ")");
    o.set("underlined", label.isUnderlined());
    o.set("toolTip", label.toolTipText());
    o.set("handPointer", label.wantsHandPointer());
    return o;
}

shell::OpenUrlOutcome WebAboutBox::openUrl(std::string_view url) {
    // The browser hands the address to the mail program and never says
    // whether one took it.
    page_.call<void>("openUrl", std::string(url));
    return {true, {}};
}

shell::Size WebAboutBox::measureText(std::string_view text) {
    const val size = page_.call<val>("measureText", std::string(text));
    return {size["width"].as<int>(), size["height"].as<int>()};
}

void WebAboutBox::repaint() {
    page_.call<void>("repaint");
}

void WebAboutBox::startLeaveCheck(unsigned periodMs) {
    page_.call<void>("startLeaveCheck", periodMs);
}

void WebAboutBox::stopLeaveCheck() {
    page_.call<void>("stopLeaveCheck");
}

bool WebAboutBox::pointerInside() {
    return page_.call<bool>("pointerInside");
}

// A page makes no sounds of its own.
void WebAboutBox::beep(MessageIcon) {}

void WebAboutBox::showMessage(const MessageBoxRequest& request) {
    showOnPage(page_, request);
}

} // namespace varnholt::web
