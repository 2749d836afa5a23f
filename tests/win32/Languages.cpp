// Both windows in the language of the run (EndToEnd.h), under Wine: the editor
// with a save loaded, its About box and one message box. Every caption fits
// its control in the dialog's font, measured here with GetTextExtentPoint32
// and the room Windows draws beside the text (not with the program's own
// rule, so that a fault there cannot move a caption and its check together);
// every mnemonic is unique within its window; and no English
// is left: in a real language no text shown is an English text whose
// translation differs, and in the pseudo-language every text of the program's
// own is bracketed.

#include "EndToEnd.h"
#include "UiDriver.h"

#include "core/FileAccess.h"
#include "core/SaveGameLoader.h"
#include "editor/AboutCommand.h"
#include "editor/EditorLayout.h"
#include "editor/SaveGameEditor.h"
#include "shell/AboutBox.h"
#include "shell/Catalogue.h"
#include "shell/UserLanguage.h"
#include "tools/savegen/SaveGen.h"
#include "win32/CaptionFitting.h"
#include "words/Messages.h"
#include "words/UiText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

using namespace varnholt;
using namespace varnholt::uidriver;

namespace {

// A child window as the layout would describe it: its kind, text and whether
// it shows "&" as it is; nothing for windows without a caption of their own
// (text boxes, lists, spins, icons, picture buttons, whose text is not drawn).
std::optional<ControlLayout> describe(HWND child, const std::string& text) {
    const std::wstring kind = classOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    ControlLayout control;
    control.caption = text;
    if (kind == L"Static" && (style & SS_TYPEMASK) != SS_ICON) {
        control.kind = ControlKind::Label;
        control.noPrefix = (style & SS_NOPREFIX) != 0;
        return control;
    }
    if (kind != L"Button")
        return std::nullopt;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        control.kind = ControlKind::CheckBox;
        return control;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        control.kind = ControlKind::RadioButton;
        return control;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        control.kind = ControlKind::PushButton;
        return control;
    case BS_GROUPBOX:
        control.kind = ControlKind::GroupBox;
        return control;
    default:
        return std::nullopt;
    }
}

std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The dialog font as the template asks for it (MS Shell Dlg, 8 points, which
// a shell-font template turns into MS Shell Dlg 2), selected into a screen DC.
class DialogFont {
  public:
    DialogFont() : dc_(GetDC(nullptr)) {
        font_ = CreateFontW(-MulDiv(8, GetDeviceCaps(dc_, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                            FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg 2");
        previous_ = SelectObject(dc_, font_);
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;
    ~DialogFont() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }

    // The width of `text` as drawn: "&" marks the next letter unless the
    // control shows it as it is, and "&&" is one "&".
    int width(std::wstring_view text, bool asItIs) const {
        std::wstring drawn;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!asItIs && text[i] == L'&' && i + 1 < text.size())
                ++i;
            drawn += text[i];
        }
        SIZE extent{};
        GetTextExtentPoint32W(dc_, drawn.c_str(), static_cast<int>(drawn.size()), &extent);
        return extent.cx;
    }

    // The least room `control` needs to show its caption whole: the text, and
    // beside it a check box's or radio button's box, a push button's edges,
    // or a group box's frame and the title's indent.
    int needed(const ControlLayout& control) const {
        const int text = width(wide(control.caption), control.noPrefix);
        switch (control.kind) {
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return GetSystemMetrics(SM_CXMENUCHECK) + text;
        case ControlKind::PushButton:
            return 2 * GetSystemMetrics(SM_CXEDGE) + text;
        case ControlKind::GroupBox:
            return 2 * GetSystemMetrics(SM_CXEDGE) + MulDiv(7, GetDeviceCaps(dc_, LOGPIXELSX), 96) +
                   text;
        default:
            return text;
        }
    }

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

bool isNumber(std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || c == L'.';
    });
}

class InTheLanguage : public testing::Test {
  protected:
    void SetUp() override {
        const auto& arguments = endtoend::driverArguments;
        language_ = arguments.language;
        pseudo_ = language_ == shell::pseudoLanguage;
        // The driver speaks the language too, to know the texts to expect.
        ASSERT_TRUE(shell::installLanguage(language_)) << "no catalogue for " << language_;
        // English texts a real language translates, or every one for the pseudo-language.
        const std::string_view source = pseudo_ ? shell::englishLanguage : language_;
        for (const shell::BuiltInCatalogue& builtIn : shell::builtInCatalogues())
            if (builtIn.language == source)
                if (const auto catalogue = shell::MoCatalogue::read(builtIn.data))
                    for (const auto& entry : catalogue->entries())
                        if (pseudo_ || entry.translation != entry.english)
                            english_.insert(wide(entry.english));
        ASSERT_TRUE(language_ == shell::englishLanguage || !english_.empty())
            << "the catalogue of " << language_ << " holds texts";
        if (arguments.languageFromSystem)
            SetEnvironmentVariableW(L"VARNHOLT_LANGUAGE", nullptr);
        else
            SetEnvironmentVariableW(L"VARNHOLT_LANGUAGE", wide(language_).c_str());

        // Where a player keeps saves; the run's Wine prefix is its own.
        endtoend::makeFolders(folder_);
        save_ = folder_ + L"quick.sav";
        ASSERT_TRUE(writeFile(save_, savegen::buildSave(endtoend::quickSaveSpec())));
        notASave_ = folder_ + L"notes.sav";
        const std::string notes = "These are notes, not a saved game.";
        ASSERT_TRUE(writeFile(notASave_, std::vector<std::uint8_t>(notes.begin(), notes.end())));
        const LoadResult loaded = loadSaveGame(utf8(save_));
        ASSERT_TRUE(loaded.succeeded());
        const SaveGameInfo info = infoAfter(loaded, {});
        // What the save and the build give, never translated.
        notTranslated_ = {wide(info.campaignName), wide(info.version.releaseLabel),
                          wide(shell::contactEmail())};
    }

    void TearDown() override {
        shell::installLanguage(shell::englishLanguage);
        removeTree(folder_.substr(0, folder_.size() - 1));
        for (std::size_t end = folder_.size() - 1; (end = folder_.rfind(L'\\', end - 1)) > 2;)
            RemoveDirectoryW(folder_.substr(0, end).c_str()); // the parents, when empty
    }

    // Fits, mnemonics and language of every text `window` shows, made from
    // `layout`: every caption that must fit there is among those measured.
    void checkWindow(HWND window, const DialogLayout& layout, const char* what) {
        SCOPED_TRACE(what);
        std::ptrdiff_t measured = 0;
        const DialogFont font;
        std::map<std::string, std::wstring> mnemonics;
        checkLanguage(textOf(window), "title");
        for (HWND child : childrenOf(window)) {
            if (classOf(child) == L"ComboBox")
                for (const std::wstring& item : itemsOf(child))
                    checkLanguage(item, "list item");
            const std::wstring shown = textOf(child);
            const std::string caption = utf8(shown);
            const auto control = describe(child, caption);
            if (!control || shown.empty())
                continue;
            checkLanguage(shown, "caption");
            if (!IsWindowVisible(child))
                continue; // a hidden label: it names the control after it and is never drawn
            RECT client{};
            GetClientRect(child, &client);
            EXPECT_LE(font.needed(*control), client.right) << "cut: \"" << utf8(shown) << "\"";
            ++measured;
            if (control->noPrefix)
                continue;
            if (const auto mnemonic = mnemonicOf(control->caption)) {
                const auto [first, added] = mnemonics.emplace(*mnemonic, shown);
                EXPECT_TRUE(added) << "mnemonic \"" << *mnemonic << "\" of \"" << utf8(shown)
                                   << "\" is \"" << utf8(first->second) << "\"'s too";
            }
        }
        EXPECT_GE(measured,
                  std::count_if(layout.controls.begin(), layout.controls.end(), captionMustFit))
            << "captions measured";
    }

    // A real language keeps each window within 15 % of its English width, both
    // fitted to their captions in the dialog's font, as the program fits them.
    void checkWidth(const DialogLayout& layout, const DialogLayout& english, const char* what) {
        const int width = win32::fitToCaptions(layout).layout().rect.width;
        const int englishWidth = win32::fitToCaptions(english).layout().rect.width;
        std::printf("%s: %d dialog units wide, %d in English (%+.0f %%)\n", what, width,
                    englishWidth, 100.0 * (width - englishWidth) / englishWidth);
        if (!pseudo_) {
            EXPECT_LE(100 * width, 115 * englishWidth) << what << " is too wide";
        }
    }

    // The least room, in pixels, that a label's caption leaves before the control
    // to its right on its row, in `layout` as the program fits it.
    static int smallestLabelGap(const DialogLayout& layout) {
        const win32::DialogFontContext font;
        const std::wstring sample = wide(baseUnitSample);
        SIZE size{};
        TEXTMETRICW metrics{};
        GetTextExtentPoint32W(font.dc(), sample.c_str(), static_cast<int>(sample.size()), &size);
        GetTextMetricsW(font.dc(), &metrics);
        const DialogBaseUnits base = dialogBaseUnits(size.cx, metrics.tmHeight);
        const FittedLayout fitted = win32::fitToCaptions(layout);
        const auto& controls = fitted.layout().controls;
        int smallest = INT_MAX;
        for (const ControlLayout& label : controls) {
            if (label.kind != ControlKind::Label || !captionMustFit(label))
                continue;
            const DialogRect& r = label.rect;
            const int end = horizontalPixels(r.x, base) + win32::captionWidth(font.dc(), label);
            for (const ControlLayout& other : controls)
                if (other.kind != ControlKind::GroupBox && other.rect.x > r.x &&
                    other.rect.y < r.y + r.height && r.y < other.rect.y + other.rect.height)
                    smallest = std::min(smallest, horizontalPixels(other.rect.x, base) - end);
        }
        return smallest;
    }

    void checkLanguage(const std::wstring& text, const char* what) {
        if (pseudo_) {
            const bool ours = !text.empty() && !isNumber(text) && text != L"Varnholt" &&
                              !text.starts_with(L"Varnholt - ") && !notTranslated_.contains(text);
            EXPECT_TRUE(!ours || text.starts_with(L"["))
                << what << " not in the pseudo-language: \"" << utf8(text) << "\"";
        } else {
            EXPECT_FALSE(english_.contains(text))
                << what << " left in English: \"" << utf8(text) << "\"";
        }
    }

    HWND item(int id) const { return GetDlgItem(window_, id); }
    bool statusIs(const char* status) const {
        return waitUntil([&] { return textOf(item(idStatusLine)) == wide(localized(status)); });
    }

    std::string language_;
    bool pseudo_ = false;
    std::set<std::wstring> english_;
    std::wstring folder_ = L"C:\\Games\\Iron Dominion\\saves\\";
    std::wstring save_;
    std::wstring notASave_;
    std::set<std::wstring> notTranslated_;
    HWND window_ = nullptr;
};

TEST_F(InTheLanguage, EveryWindowShowsItsTextsWholeOnceMarkedAndTranslated) {
    Process program;
    ASSERT_TRUE(program.start(endtoend::driverArguments.app, L"\"" + save_ + L"\""));
    window_ = program.waitForMainWindow();
    ASSERT_NE(window_, nullptr) << "the editor shows";
    ASSERT_TRUE(statusIs(loadedStatusText)) << "status: " << utf8(textOf(item(idStatusLine)));
    // Groups ticked, then loaded again: the state of the screenshots.
    for (int id : {idSetCampaignDifficulty, idSetUnitScale, idSetYearAndSeason})
        click(item(id));
    Sleep(300);
    click(item(idRefresh));
    ASSERT_TRUE(statusIs(loadedStatusText)) << "status: " << utf8(textOf(item(idStatusLine)));
    checkWindow(window_, editorDialog(), "the editor");
    checkWidth(editorDialog(), englishEditorDialog(), "the editor");
    EXPECT_GE(smallestLabelGap(editorDialog()), smallestLabelGap(englishEditorDialog()))
        << "a label ends nearer its box than any does in English";

    wchar_t shots[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"VARNHOLT_SCREENSHOTS", shots, MAX_PATH) > 0) {
        bringToFront(window_);
        moveMouse({0, 0});
        Sleep(500);
        EXPECT_TRUE(
            saveBitmap(captureScreen(screenRect(window_)),
                       std::wstring(shots) + L"\\windows-editor-" + wide(language_) + L".bmp"))
            << "the screenshot is written";
    }

    PostMessageW(window_, WM_SYSCOMMAND, aboutCommandId, 0);
    HWND about = waitForOwnedDialog(window_);
    ASSERT_NE(about, nullptr) << "the About box";
    EXPECT_EQ(textOf(about), wide(localized(shell::aboutBoxDialog().caption)));
    checkWindow(about, shell::aboutBoxDialog(), "the About box");
    checkWidth(shell::aboutBoxDialog(), shell::englishAboutBoxDialog(), "the About box");
    // The program fits the address to its text: the font here is the dialog's.
    HWND address = GetDlgItem(about, shell::idContactAddress);
    RECT client{};
    GetClientRect(address, &client);
    EXPECT_LE(std::abs(DialogFont().width(wide(shell::contactEmail()), true) - client.right), 1)
        << "the address label is as wide as its text";
    click(GetDlgItem(about, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(about); })) << "OK closes the About box";

    // The loader's refusals and its warning, in the language: a missing file,
    // a file that is no save (it ends before a save's first field), and a
    // save whose unit scale the program does not know (loaded, with a warning).
    const std::wstring missing = folder_ + L"gone.sav";
    const std::wstring oddScale = folder_ + L"odd-scale.sav";
    savegen::SaveSpec oddSpec = endtoend::quickSaveSpec();
    savegen::setUnitScale(oddSpec, 41);
    ASSERT_TRUE(writeFile(oddScale, savegen::buildSave(oddSpec)));
    const std::pair<std::wstring, LoadProblem> loads[] = {
        {missing, {LoadProblemKind::FileFailed, FileErrorCause::FileNotFound}},
        {notASave_, {LoadProblemKind::UnknownRelease, FileErrorCause::None}},
        {oddScale, {LoadProblemKind::UnitScaleNotRecognised, FileErrorCause::None}}};
    for (const auto& [file, problem] : loads) {
        SCOPED_TRACE(utf8(file));
        setText(item(idSourcePath), file);
        click(item(idRefresh));
        const auto box = waitForMessageBox(window_);
        ASSERT_TRUE(box.has_value()) << "a message box";
        const std::string path = utf8(file);
        EXPECT_EQ(box->text, wide(loadProblemText(problem, path)));
        setTextLookup(nullptr);
        const std::string english = loadProblemText(problem, path);
        shell::installLanguage(language_);
        if (language_ != shell::englishLanguage) {
            EXPECT_NE(box->text, wide(english)) << "not in English";
        }
        // No English sentence of the program's is left in it.
        std::wstring shown = box->text;
        for (std::size_t at; (at = shown.find(file)) != std::wstring::npos;)
            shown.erase(at, file.size());
        for (const std::wstring& text : english_)
            if (text.size() >= 16 && text.find(L'%') == std::wstring::npos) {
                EXPECT_EQ(shown.find(text), std::wstring::npos)
                    << "English left: \"" << utf8(text) << "\"";
            }
        if (pseudo_) {
            EXPECT_TRUE(box->text.starts_with(L"[")) << utf8(box->text);
        }
        EXPECT_TRUE(closeMessageBox(box->window));
    }

    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.waitForExit().has_value()) << "the close box ends the program";
}

} // namespace
