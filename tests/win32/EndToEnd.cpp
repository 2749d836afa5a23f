// End to end under Wine: Varnholt.exe driven from this second process, with real
// mouse and key input, on saves made by savegen (arguments: EndToEnd.h). The
// suite shares one running Varnholt.exe between its tests, as starting Wine
// programs is slow; each test brings the window into the state it needs, and
// those that end a program start their own.

#include "EndToEnd.h"
#include "UiDriver.h"

#include "core/SaveGameLoader.h"
#include "core/Vocabularies.h"
#include "editor/AboutCommand.h"
#include "editor/BrowseDialog.h"
#include "editor/EditorLayout.h"
#include "editor/SaveGameEditor.h"
#include "shell/AboutBox.h"
#include "shell/EditorApp.h"
#include "shell/OpenUrlWin32.h"
#include "shell/StartupArguments.h"
#include "tools/savegen/SaveGen.h"
#include "win32/WindowRules.h"
#include "window/ControlLabels.h"
#include "window/DialogState.h"
#include "words/Messages.h"
#include "words/Names.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

using namespace varnholt;
using namespace varnholt::uidriver;
namespace gen = varnholt::savegen;

namespace {

std::wstring appPath; // Varnholt.exe
std::wstring cliPath; // varnholt-cli.exe

constexpr int setBoxes[] = {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                            idSetCampaignLength,     idSetUnitScale,        idSetYearAndSeason};
const std::wstring caption = L"Varnholt"; // the executable's name: every box's caption

std::vector<std::wstring> wideAll(const auto& texts) {
    std::vector<std::wstring> result;
    for (const auto& text : texts)
        result.push_back(wide(text));
    return result;
}

std::wstring inQuotes(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

} // namespace

namespace varnholt::endtoend {

void makeFolders(const std::wstring& folder) {
    for (std::size_t end = folder.find(L'\\', 3); end != std::wstring::npos;
         end = folder.find(L'\\', end + 1))
        CreateDirectoryW(folder.substr(0, end).c_str(), nullptr);
}

savegen::SaveSpec quickSaveSpec() {
    savegen::SaveSpec spec = savegen::specForRelease("1.2");
    spec.factionByte = 3;
    spec.campaignDifficulty = 2;
    spec.anchorGap = 300;
    return spec;
}

} // namespace varnholt::endtoend

namespace {

struct Files {
    std::wstring folder; // with a trailing backslash
    std::wstring base;   // release 1.2
    std::wstring expansion;
    std::wstring unusual; // "&" and letters beyond ASCII in its folder and campaign name
    std::wstring unusualFolder;
    std::u16string unusualCampaign = u"Kampagne & \u00c6r\u00f8 \u03a9";
    std::vector<std::uint8_t> baseBytes;
};

bool makeSave(const std::wstring& path, const gen::SaveSpec& spec) {
    return writeFile(path, gen::buildSave(spec));
}

// The saves, in `folder` (with a trailing backslash; made with its parents).
Files makeFiles(const std::wstring& folder) {
    Files files;
    files.folder = folder;
    endtoend::makeFolders(folder);

    const gen::SaveSpec base = endtoend::quickSaveSpec();
    files.base = files.folder + L"quick.sav";
    makeSave(files.base, base);
    files.baseBytes = readFile(files.base);

    gen::SaveSpec expansion = gen::specForRelease("1.6");
    expansion.anchorGap = 2044;
    files.expansion = files.folder + L"expansion.sav";
    makeSave(files.expansion, expansion);

    files.unusualFolder = files.folder + L"S\u00e4vegames & \u00c6r\u00f8\\";
    CreateDirectoryW(files.unusualFolder.c_str(), nullptr);
    gen::SaveSpec unusual = base;
    unusual.campaignName = files.unusualCampaign;
    files.unusual = files.unusualFolder + L"Spiel & \u00fc.sav";
    makeSave(files.unusual, unusual);
    return files;
}

// Removes the copies that Apply wrote into `folder`, so that the next load
// names Varnholt000.sav again.
void removeOutputs(const std::wstring& folder) {
    for (const std::wstring& name : listTree(folder))
        if (name.starts_with(L"Varnholt") && name.ends_with(L".sav")) {
            const std::wstring path = folder + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Windows's rules the front end follows, checked as the driver is built.
static_assert(win32::minimisedIconOrigin(160, 40, 32, 32) == win32::IconOrigin{64, 4});
static_assert(win32::minimisedIconOrigin(161, 41, 32, 32) == win32::IconOrigin{65, 5});
static_assert(win32::minimisedIconOrigin(20, 10, 32, 32) == win32::IconOrigin{-5, -10});
static_assert(win32::windowMenuCommand(16) == aboutCommandId &&
              win32::windowMenuCommand(31) == aboutCommandId &&
              win32::windowMenuCommand(15) != aboutCommandId &&
              win32::windowMenuCommand(0x10010) != aboutCommandId &&
              win32::windowMenuCommand(SC_CLOSE) == SC_CLOSE);

SaveGameInfo loaded(const std::wstring& path) {
    return infoAfter(loadSaveGame(utf8(path)), {});
}

class VarnholtExe : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        files_ = makeFiles(std::wstring(temp) + L"varnholt-e2e-" +
                           std::to_wstring(GetCurrentProcessId()) + L"\\");
    }

    static void TearDownTestSuite() {
        program_.reset(); // ends it if it still runs
        removeTree(files_.folder.substr(0, files_.folder.size() - 1));
    }

    enum class Use { Changes, LooksOnly };

    // The shared program's window, started when no program runs.
    testing::AssertionResult open() {
        if (!program_ || program_->waitForExit(0)) {
            program_ = std::make_unique<Process>();
            if (!program_->start(appPath, L""))
                return testing::AssertionFailure() << "Varnholt.exe does not start";
            window_ = program_->waitForMainWindow();
            changed_ = false;
            if (!window_)
                return testing::AssertionFailure() << "Varnholt.exe shows no window";
        }
        changed_ = true;
        return testing::AssertionSuccess();
    }

    // The shared window as the program shows it after start-up: a new program
    // when an earlier test has changed it.
    testing::AssertionResult openFresh(Use use = Use::Changes) {
        if (changed_)
            program_.reset();
        const auto result = open();
        changed_ = use == Use::Changes;
        return result;
    }

    static HWND item(int id) { return GetDlgItem(window_, id); }
    static std::wstring text(int id) { return textOf(item(id)); }
    static bool enabled(int id) { return IsWindowEnabled(item(id)) != FALSE; }
    static bool focusIn(int id) { return focusOf(window_) == item(id); }

    static bool waitForStatus(const char* status) {
        return waitUntil([&] { return text(idStatusLine) == wide(status); });
    }

    // Types a path into box idSourcePath and presses Refresh.
    static testing::AssertionResult load(const std::wstring& path) {
        setText(item(idSourcePath), path);
        if (text(idSourcePath) != path)
            return testing::AssertionFailure()
                   << "the path box shows \"" << utf8(text(idSourcePath)) << "\"";
        click(item(idRefresh));
        if (!waitForStatus(loadedStatusText))
            return testing::AssertionFailure()
                   << utf8(path) << " not loaded; status: \"" << utf8(text(idStatusLine)) << "\"";
        return testing::AssertionSuccess();
    }

    static void tick(int id, bool ticked) {
        if (isChecked(item(id)) != ticked)
            click(item(id));
        EXPECT_TRUE(waitUntil([&] { return isChecked(item(id)) == ticked; }))
            << "tick of " << id << (ticked ? " set" : " cleared");
    }

    // The one message box `owner` shows next: its caption, icon and text; OK closes it.
    static void expectBox(HWND owner, std::wstring_view text, std::wstring_view icon,
                          const char* what) {
        SCOPED_TRACE(what);
        const auto box = waitForMessageBox(owner);
        ASSERT_TRUE(box.has_value()) << "a message box";
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, text);
        EXPECT_EQ(box->icon, icon);
        EXPECT_TRUE(closeMessageBox(box->window)) << "OK closes it";
        Sleep(300);
        EXPECT_TRUE(ownedDialogs(owner).empty()) << "no second box";
    }

    static void clickSpin(bool up) {
        const RECT r = screenRect(item(idUnitScaleSpin));
        bringToFront(window_);
        clickMouse({(r.left + r.right) / 2,
                    up ? r.top + (r.bottom - r.top) / 4 : r.bottom - (r.bottom - r.top) / 4});
    }

    static void pressDigits(std::wstring_view digits) {
        for (wchar_t digit : digits)
            pressKey(static_cast<WORD>(digit)); // the virtual keys of '0' to '9' are their digits
    }

    static inline Files files_;
    static inline std::unique_ptr<Process> program_;
    static inline HWND window_ = nullptr;
    static inline bool changed_ = false;
};

TEST_F(VarnholtExe, ShowsItsStartState) {
    ASSERT_TRUE(openFresh(Use::LooksOnly));
    EXPECT_EQ(textOf(window_), L"Varnholt") << "title";
    const auto difficulties = wideAll(difficultyNames(DifficultyNames::Standard));
    for (int id : {idCampaignDifficulty, idBattleDifficulty}) {
        EXPECT_EQ(itemsOf(item(id)), difficulties) << "items of " << id;
        EXPECT_EQ(selectionOf(item(id)), 1) << "selection of " << id;
    }
    EXPECT_EQ(itemsOf(item(idUnitScaleClass)), wideAll(unitScaleClassNames()));
    EXPECT_EQ(selectionOf(item(idUnitScaleClass)), 1);
    EXPECT_EQ(text(idUnitScale), L"40");
    EXPECT_EQ(text(idYear), L"270");
    for (int id : {idNoBattleTimeLimit, idBC, idSummer})
        EXPECT_TRUE(isChecked(item(id))) << "ticked: " << id;
    for (int id : {idAD, idWinter, idShortCampaign})
        EXPECT_FALSE(isChecked(item(id))) << "not ticked: " << id;
    for (int id : setBoxes)
        EXPECT_TRUE(!isChecked(item(id)) && !enabled(id))
            << "Set box unticked and disabled: " << id;
    for (int id :
         {idRefresh, idApply, idCampaignDifficulty, idBattleDifficulty, idNoBattleTimeLimit,
          idShortCampaign, idUnitScaleClass, idUnitScale, idUnitScaleSpin, idYearLabel, idYear,
          idYearSpin, idBC, idAD, idSummer, idWinter})
        EXPECT_FALSE(enabled(id)) << "disabled: " << id;
    for (int id : {idSourcePath, idBrowse, idOutputPath, idOk})
        EXPECT_TRUE(enabled(id)) << "enabled: " << id;
    EXPECT_TRUE(waitUntil([&] { return focusIn(idSourcePath); })) << "the focus is in the path box";
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_TRUE((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU) &&
                !(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
        << "fixed-size frame with title bar and window menu, no minimise or maximise box";
    EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "on the task bar";
    for (int id : {idSourcePath, idOutputPath})
        EXPECT_TRUE(GetWindowLongW(item(id), GWL_STYLE) & ES_AUTOHSCROLL)
            << "a path longer than box " << id << " can be typed";
    // Wine answers WM_GETICON and WM_QUERYDRAGICON from another process with
    // nothing, and shows the large icon nowhere; the small one is seen in the
    // title bar, where the default icon is not.
    RECT frame = screenRect(window_);
    POINT clientTop{0, 0};
    ClientToScreen(window_, &clientTop);
    frame.right = frame.left + 64;
    frame.bottom = clientTop.y;
    const Capture titleBar = captureScreen(frame);
    const int small = GetSystemMetrics(SM_CXSMICON);
    HMODULE program = LoadLibraryExW(appPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON ours = static_cast<HICON>(
        LoadImageW(program, MAKEINTRESOURCEW(applicationIconId), IMAGE_ICON, small, small, 0));
    const double match = iconMatch(titleBar, ours, small);
    const double otherMatch = iconMatch(titleBar, LoadIconW(nullptr, IDI_APPLICATION), small);
    EXPECT_TRUE(ours && match < 12 && match < otherMatch)
        << "small icon: difference " << match << ", to the default icon " << otherMatch;
    if (ours)
        DestroyIcon(ours);
    if (program)
        FreeLibrary(program);
    // A screen reader names the controls that show no caption by their window texts.
    EXPECT_EQ(textOf(item(idRefresh)), L"Refresh");
    EXPECT_EQ(textOf(item(idYearSpin)), L"Year");
    EXPECT_EQ(textOf(item(idUnitScaleSpin)), L"Unit scale");
    // The text boxes and lists, which show no caption of their own, are read by
    // what they set, not by the text or item they show: each has a hidden
    // static text of its name right before it, which Active Accessibility
    // names it by. Wine reads a text box's name so, and a list by its item
    // whatever precedes it: the lists' names are read from the window order.
    const DialogLayout& layout = editorDialog();
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlLayout& control = layout.controls[i];
        if (control.kind != ControlKind::TextBox && control.kind != ControlKind::DropDownList)
            continue;
        SCOPED_TRACE("control " + std::to_string(control.id));
        const std::string name = accessibleName(layout, i);
        EXPECT_FALSE(name.empty()) << "it has a name";
        HWND label = GetWindow(item(control.id), GW_HWNDPREV);
        EXPECT_TRUE(label && classOf(label) == L"Static" && !IsWindowVisible(label) &&
                    utf8(textOf(label)) == name)
            << "the hidden label before it: \"" << (label ? utf8(textOf(label)) : "") << "\"";
        if (control.kind == ControlKind::TextBox) {
            EXPECT_EQ(utf8(accessibleNameOf(item(control.id))), name) << "its accessible name";
        }
    }
    // A held arrow speeds up as the model says; the control counts in seconds.
    std::vector<std::pair<UINT, UINT>> accelerations;
    for (const SpinAcceleration& a : spinAccelerations)
        accelerations.emplace_back(a.afterMs / 1000, a.step);
    for (int id : {idUnitScaleSpin, idYearSpin}) {
        std::vector<std::pair<UINT, UINT>> held;
        for (const UDACCEL& a : spinAccelerationsOf(program_->info.hProcess, item(id)))
            held.emplace_back(a.nSec, a.nInc);
        EXPECT_EQ(held, accelerations) << "the accelerations of spin " << id;
    }
    const RECT refresh = screenRect(item(idRefresh));
    EXPECT_TRUE((GetWindowLongW(item(idRefresh), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
                refresh.right - refresh.left == 20 && refresh.bottom - refresh.top == 23)
        << "Refresh is drawn from its 20 x 23 pictures";
}

// Typing key by key keeps the order; the rules follow each change, and Refresh
// shows the picture of its state (the focus stays in the path box).
TEST_F(VarnholtExe, TypingKeepsItsOrderAndTheRulesFollow) {
    ASSERT_TRUE(openFresh());
    ASSERT_TRUE(bringToFront(window_)) << "the window comes to the front";
    const PictureNames& names = editorDialog().find(idRefresh)->pictures;
    HMODULE program = LoadLibraryExW(appPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto picture = [&](std::string_view name) {
        auto* bitmap = static_cast<HBITMAP>(
            LoadImageW(program, wide(name).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        const Capture loaded = captureBitmap(bitmap);
        DeleteObject(bitmap);
        return loaded;
    };
    const Capture normal = picture(names.normal);
    const Capture greyed = picture(names.disabled);
    FreeLibrary(program);
    ASSERT_GT(difference(normal, greyed), 1) << "the normal and the greyed picture";
    double drawn = 0; // how far the button on the screen is from the picture expected
    const auto shows = [&](const Capture& expected) {
        return waitUntil([&] {
            drawn = difference(captureScreen(screenRect(item(idRefresh))), expected);
            return drawn < 1;
        });
    };
    EXPECT_TRUE(shows(greyed)) << "disabled: the greyed picture; difference " << drawn;
    const std::wstring typed = L"C:\\a b\\q.sav";
    typeText(typed);
    EXPECT_TRUE(waitUntil([&] { return text(idSourcePath) == typed; }))
        << "typed text in order: " << utf8(text(idSourcePath));
    EXPECT_TRUE(enabled(idRefresh));
    EXPECT_TRUE(shows(normal)) << "enabled: the normal picture; difference " << drawn;
    for (int id : setBoxes)
        EXPECT_TRUE(enabled(id)) << "Set box enabled: " << id;
    EXPECT_FALSE(enabled(idApply)) << "Apply stays disabled: nothing is loaded";
    setText(item(idSourcePath), L"");
    EXPECT_TRUE(waitUntil([&] { return !enabled(idRefresh); })) << "emptied: Refresh disabled";
}

// Browse: the open dialog, then the loaded game.
TEST_F(VarnholtExe, BrowseOpensTheDialogAndLoadsThePick) {
    ASSERT_TRUE(open());
    removeOutputs(files_.folder);
    click(item(idBrowse));
    HWND dialog = waitForOwnedDialog(window_, wide(browseTitle));
    ASSERT_NE(dialog, nullptr) << "the open dialog, titled and owned by the window";
    HWND types = GetDlgItem(dialog, 0x470); // the file-type list
    EXPECT_EQ(itemsOf(types),
              (std::vector<std::wstring>{L"IRD Save Files (*.sav)", L"All Files (*.*)"}));
    EXPECT_EQ(selectionOf(types), 0) << "the first filter in force";
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name)
        name = GetDlgItem(dialog, 0x480);
    while (name && classOf(name) != L"Edit")
        name = FindWindowExW(name, nullptr, nullptr, nullptr);
    ASSERT_NE(name, nullptr) << "the file-name box";
    setText(name, files_.base);
    click(GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "the dialog closes";
    ASSERT_TRUE(waitForStatus(loadedStatusText)) << "status: " << utf8(text(idStatusLine));
    const SaveGameInfo info = loaded(files_.base);
    const std::wstring output = files_.folder + L"Varnholt000.sav";
    EXPECT_EQ(text(idSourcePath), files_.base);
    EXPECT_EQ(text(idOutputPath), output);
    EXPECT_EQ(textOf(window_), L"Varnholt - " + output) << "title";
    EXPECT_EQ(text(idReleaseLabel), wide(info.version.releaseLabel));
    EXPECT_EQ(text(idCampaignName), wide(info.campaignName));
    EXPECT_EQ(text(idFactionName), wide(shownFactionName(info)));
    EXPECT_FALSE(shownFactionName(info).empty()) << "the save names a faction";
    EXPECT_EQ(selectionOf(item(idCampaignDifficulty)), 2) << "campaign difficulty shown";
    EXPECT_TRUE(enabled(idApply));
}

// A missing file, and files that are no saves: one error box each, and no
// output name left.
TEST_F(VarnholtExe, MissingFileIsOneErrorBox) {
    ASSERT_TRUE(open());
    const std::wstring missing = files_.folder + L"missing.sav";
    setText(item(idSourcePath), missing);
    EXPECT_EQ(text(idSourcePath), missing) << "the path box takes the path";
    Sleep(1000);
    EXPECT_EQ(text(idSourcePath), missing) << "and keeps it";
    EXPECT_TRUE(enabled(idRefresh));
    click(item(idRefresh));
    expectBox(window_, L"Error reading " + missing + L": " + missing + L" was not found.", L"error",
              "missing file");
    EXPECT_FALSE(enabled(idApply));
    EXPECT_EQ(text(idOutputPath), L"") << "no output name";

    const std::wstring other = files_.folder + L"other.sav";
    std::vector<std::uint8_t> cut = files_.baseBytes;
    cut.resize(2000);
    const std::pair<std::vector<std::uint8_t>, const wchar_t*> notSaves[] = {
        {{}, L"Unknown IRD version."},
        {{'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'}, L"Unknown IRD version."},
        {cut, L"Cannot find descr_strat.txt."},
    };
    for (const auto& [bytes, description] : notSaves) {
        ASSERT_TRUE(writeFile(other, bytes));
        setText(item(idSourcePath), other);
        click(item(idRefresh));
        expectBox(window_, L"Error reading " + other + L": " + description, L"error", "no save");
        EXPECT_FALSE(enabled(idApply));
    }
}

// A year that is no integer: the prompt, then the focus in the year box.
TEST_F(VarnholtExe, NoIntegerPromptsAndSelectsTheBox) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetYearAndSeason, true);
    for (const std::wstring year : {L"", L"x7"}) {
        SCOPED_TRACE("year \"" + utf8(year) + "\"");
        setText(item(idYear), year);
        click(item(idSetCampaignDifficulty));
        expectBox(window_, wide(enterIntegerText), L"warning", "integer prompt");
        EXPECT_TRUE(waitUntil([&] { return focusIn(idYear); })) << "the focus is in the year box";
        const auto selection = SendMessageW(item(idYear), EM_GETSEL, 0, 0);
        EXPECT_TRUE(LOWORD(selection) == 0 && HIWORD(selection) == year.size())
            << "its text is selected";
    }
    // Year 0 is no year: Apply asks again and writes nothing.
    setText(item(idYear), L"0");
    click(item(idApply));
    expectBox(window_, wide(noYearZeroText), L"warning", "no year 0");
    EXPECT_TRUE(waitUntil([&] { return focusIn(idYear); })) << "the focus is in the year box";
    EXPECT_FALSE(GetFileAttributesW((files_.folder + L"Varnholt000.sav").c_str()) !=
                 INVALID_FILE_ATTRIBUTES)
        << "nothing written";
    setText(item(idYear), L"270");
    tick(idSetCampaignDifficulty, false);
}

// The unit scale through real clicks on the spin's arrows, and by class.
TEST_F(VarnholtExe, UnitScaleFollowsSpinClicksAndClasses) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetUnitScale, true);
    EXPECT_TRUE(enabled(idUnitScaleSpin));
    EXPECT_EQ(text(idUnitScale), L"40") << "starts at 40";
    clickSpin(true);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"45"; }))
        << "up: 45, shows " << utf8(text(idUnitScale));
    EXPECT_EQ(selectionOf(item(idUnitScaleClass)), 2) << "up: Large";
    clickSpin(false);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"40"; }))
        << "down: 40, shows " << utf8(text(idUnitScale));
    EXPECT_EQ(selectionOf(item(idUnitScaleClass)), 1) << "down: Normal";
    pick(window_, idUnitScaleClass, 3);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"160"; })) << "Huge: 160";
    clickSpin(true);
    Sleep(300);
    EXPECT_EQ(text(idUnitScale), L"160") << "up at 160 stays";
    EXPECT_EQ(selectionOf(item(idUnitScaleClass)), 3) << "and Huge";
    pick(window_, idUnitScaleClass, 0);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"20"; })) << "Small: 20";
    pick(window_, idUnitScaleClass, 1);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"40"; })) << "Normal: 40";
}

// Mnemonics, the Tab order and the arrow keys, through the dialog manager.
TEST_F(VarnholtExe, MnemonicsTabOrderAndArrowKeys) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetUnitScale, false);
    EXPECT_TRUE(waitUntil([&] { return !enabled(idUnitScaleClass); })) << "unticked: list disabled";
    ASSERT_TRUE(bringToFront(window_));
    pressWithAlt('U');
    EXPECT_TRUE(waitUntil([&] { return isChecked(item(idSetUnitScale)); })) << "Alt+U ticks";
    for (int id : {idUnitScaleClass, idUnitScale, idUnitScaleSpin})
        EXPECT_TRUE(enabled(id)) << "and enables " << id;
    ASSERT_FALSE(focusIn(idSourcePath)) << "the focus is elsewhere before Alt+F";
    pressWithAlt('F');
    EXPECT_TRUE(waitUntil([&] { return focusIn(idSourcePath); }))
        << "Alt+F: the label's mnemonic moves the focus to the path box";
    // The enabled Tab stops in template order, from the path box round to it.
    std::vector<int> stops;
    for (const ControlLayout& spec : editorDialog().controls)
        if (spec.tabStop && enabled(spec.id))
            stops.push_back(spec.id);
    const auto from = std::find(stops.begin(), stops.end(), idSourcePath);
    std::rotate(stops.begin(), from, stops.end());
    std::vector<int> expected(stops.begin() + 1, stops.end());
    expected.push_back(idSourcePath);
    std::vector<int> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        pressKey(VK_TAB);
        HWND before = i == 0 ? item(idSourcePath) : item(visited.back());
        waitUntil([&] { return focusOf(window_) != before; }, 1000);
        visited.push_back(GetDlgCtrlID(focusOf(window_)));
    }
    EXPECT_EQ(visited, expected) << "Tab order";
    // The arrow keys in a spin's box step the spin, through the model.
    tick(idSetYearAndSeason, true);
    const RECT year = screenRect(item(idYear));
    clickMouse({(year.left + year.right) / 2, (year.top + year.bottom) / 2});
    EXPECT_TRUE(waitUntil([&] { return focusIn(idYear); })) << "in the year box";
    const std::wstring before = text(idYear);
    const std::wstring after = std::to_wstring(std::stoi(before) + 1);
    pressKey(VK_UP);
    EXPECT_TRUE(waitUntil([&] { return text(idYear) == after; }))
        << "Up steps the year: " << utf8(before + L" -> " + text(idYear));
    pressKey(VK_DOWN);
    EXPECT_TRUE(waitUntil([&] { return text(idYear) == before; })) << "Down steps it back";
}

// Apply with several groups ticked: the same bytes as varnholt-cli; then a
// read-only output file.
TEST_F(VarnholtExe, ApplyWritesWhatTheCommandLineWrites) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetBattleDifficulty, false);
    tick(idSetCampaignLength, false);
    tick(idSetCampaignDifficulty, true);
    pick(window_, idCampaignDifficulty, 3);
    tick(idSetBattleTimeLimit, true);
    tick(idNoBattleTimeLimit, false);
    tick(idSetUnitScale, true);
    clickSpin(true);
    EXPECT_TRUE(waitUntil([&] { return text(idUnitScale) == L"45"; })) << "unit scale 45";
    tick(idSetYearAndSeason, true);
    setText(item(idYear), L"123");
    click(item(idAD));
    click(item(idWinter));
    EXPECT_TRUE(waitUntil([&] { return isChecked(item(idAD)) && isChecked(item(idWinter)); }))
        << "AD and winter";
    EXPECT_TRUE(waitUntil([&] { return selectionOf(item(idCampaignDifficulty)) == 3; }))
        << "Very Hard picked";
    const std::wstring output = text(idOutputPath);
    click(item(idApply));
    ASSERT_TRUE(waitForStatus(appliedStatusText)) << "status: " << utf8(text(idStatusLine));
    EXPECT_TRUE(ownedDialogs(window_).empty()) << "no box";
    const std::wstring expected = files_.folder + L"cli.sav";
    const auto code =
        run(cliPath, L"apply " + inQuotes(files_.base) + L" --output " + inQuotes(expected) +
                         L" --campaign-difficulty 3 --time-limit on --unit-scale 45"
                         L" --year 123 --era AD --season winter");
    EXPECT_TRUE(code && *code == 0) << "varnholt-cli apply succeeds";
    const auto written = readFile(output);
    EXPECT_TRUE(!written.empty() && written == readFile(expected))
        << "the output equals varnholt-cli's, byte for byte";
    EXPECT_EQ(readFile(files_.base), files_.baseBytes) << "the source is unchanged";
    DeleteFileW(expected.c_str());

    SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto before = listTree(files_.folder);
    click(item(idApply));
    expectBox(window_, L"Error writing " + output + L": Access to " + output + L" was denied.",
              L"error", "read-only output");
    EXPECT_EQ(listTree(files_.folder), before) << "no file added or removed";
    EXPECT_EQ(readFile(output), written) << "the read-only file is unchanged";
    SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// An expansion save: no long or short campaign.
TEST_F(VarnholtExe, ExpansionSaveHasNoCampaignLength) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetCampaignLength, true);
    ASSERT_TRUE(load(files_.expansion));
    EXPECT_EQ(text(idReleaseLabel), L"1.6");
    EXPECT_FALSE(enabled(idSetCampaignLength));
    EXPECT_FALSE(enabled(idShortCampaign));
    EXPECT_TRUE(enabled(idSetUnitScale)) << "the other Set boxes stay enabled";
}

// "&" and letters beyond ASCII, in the folder and the campaign name.
TEST_F(VarnholtExe, UnusualNamesLoadAndApply) {
    ASSERT_TRUE(open());
    removeOutputs(files_.unusualFolder);
    ASSERT_TRUE(load(files_.unusual));
    const std::wstring campaign(files_.unusualCampaign.begin(), files_.unusualCampaign.end());
    EXPECT_EQ(text(idCampaignName), campaign);
    EXPECT_TRUE(GetWindowLongW(item(idCampaignName), GWL_STYLE) & SS_NOPREFIX)
        << "shown literally: \"&\" is no mnemonic there";
    EXPECT_EQ(text(idSourcePath), files_.unusual);
    const std::wstring output = files_.unusualFolder + L"Varnholt000.sav";
    EXPECT_EQ(text(idOutputPath), output);
    EXPECT_EQ(textOf(window_), L"Varnholt - " + output) << "title";
    click(item(idApply));
    EXPECT_TRUE(waitForStatus(appliedStatusText)) << "status: " << utf8(text(idStatusLine));
    EXPECT_TRUE(exists(output)) << "the output is written there";
}

// The About box through the window-menu command.
TEST_F(VarnholtExe, AboutBoxFitsItsTextAndExplainsAFailingLink) {
    ASSERT_TRUE(open());
    PostMessageW(window_, WM_SYSCOMMAND, aboutCommandId, 0);
    HWND box = waitForOwnedDialog(window_, L"About Varnholt");
    ASSERT_NE(box, nullptr) << "the About box, owned by the window";
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    EXPECT_TRUE((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
        << "a window menu, no minimise or maximise box";
    EXPECT_FALSE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "not on the task bar";
    HWND label = GetDlgItem(box, shell::idContactAddress);
    EXPECT_EQ(textOf(label), wide(shell::contactEmail())) << "address";
    // Every line of text fits its control in the dialog's font; the address is
    // exactly as wide as its text.
    HDC dc = GetDC(nullptr);
    HFONT font =
        CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg 2");
    HGDIOBJ previous = SelectObject(dc, font);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) != L"Static" || !IsWindowVisible(child) ||
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        const std::wstring line = textOf(child);
        SIZE extent{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        RECT client{};
        GetClientRect(child, &client);
        if (child == label)
            EXPECT_LE(std::abs(extent.cx - client.right), 1)
                << "the address is fitted: " << utf8(line);
        else
            EXPECT_LE(extent.cx, client.right) << "the text fits its line: " << utf8(line);
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    const std::wstring url = L"mailto:" + wide(shell::contactEmail());
    HWND tip = ownedWindowOfClass(box, TOOLTIPS_CLASSW);
    EXPECT_NE(tip, nullptr) << "a tooltip";
    if (tip) {
        EXPECT_EQ(toolText(program_->info.hProcess, tip, label, 1), url) << "the tooltip's text";
    }

    const RECT area = screenRect(label);
    const POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    bringToFront(box);
    moveMouse(centre);
    EXPECT_TRUE(waitUntil([&] { return hasColourNear(captureScreen(area), 0xFF0000, 60); }, 2000))
        << "hover: red";
    // Underlined while hovering, so the ink spans the whole text: the label is
    // as wide as its text.
    const Capture hovered = captureScreen(area);
    RECT client{};
    GetClientRect(label, &client);
    EXPECT_LE(std::abs(rightmostInk(hovered) - (client.right - 1)), 1)
        << "the label is fitted to its text: ink ends at " << rightmostInk(hovered) << " of "
        << client.right;
    moveMouse({area.right + 80, area.bottom + 60});
    EXPECT_TRUE(waitUntil(
        [&] {
            const Capture now = captureScreen(area);
            return !hasColourNear(now, 0xFF0000, 60) && hasColourNear(now, 0x0000EE, 60);
        },
        2000))
        << "leaving: back to the link colour";

    // No program for mail or web pages: the click explains itself.
    for (const wchar_t* key : {L"mailto", L".htm"})
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    clickMouse(centre);
    expectBox(box, wide(shell::openErrorText(shell::openFailureExplanation(SE_ERR_NOASSOC))),
              L"warning", "failing opener");
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); })) << "OK closes the About box";
}

// A save given as argument is loaded at start-up; an unreadable one is the
// load's usual error box.
// A window program has no console: --help answers in a box and opens no window.
TEST_F(VarnholtExe, HelpIsABoxAndOpensNoWindow) {
    Process program;
    ASSERT_TRUE(program.start(appPath, L"--help"));
    HWND box = program.waitForMainWindow();
    ASSERT_NE(box, nullptr) << "the box shows";
    EXPECT_EQ(textOf(box), L"Varnholt") << "its caption";
    EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), wide(shell::helpText("Varnholt.exe")));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    const auto code = program.waitForExit();
    EXPECT_TRUE(code && *code == 0) << "help is an answer, not a failure";
}

TEST_F(VarnholtExe, SaveGivenAsArgument) {
    {
        Process broken;
        const std::wstring missing = files_.folder + L"gone.sav";
        ASSERT_TRUE(broken.start(appPath, inQuotes(missing))) << "starts with a missing file";
        HWND window = broken.waitForMainWindow();
        ASSERT_NE(window, nullptr) << "its window shows";
        expectBox(window, L"Error reading " + missing + L": " + missing + L" was not found.",
                  L"error", "unreadable argument");
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        const auto code = broken.waitForExit();
        EXPECT_TRUE(code && *code == 0) << "the close box ends it with exit code 0";
    }
    // Varnholt000.sav is taken, so the output is the next free name.
    removeOutputs(files_.folder);
    ASSERT_TRUE(writeFile(files_.folder + L"Varnholt000.sav", files_.baseBytes));
    Process program;
    ASSERT_TRUE(program.start(appPath, inQuotes(files_.base))) << "starts with a save";
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr) << "its window shows";
    EXPECT_TRUE(waitUntil([&] {
        return textOf(GetDlgItem(window, idStatusLine)) == wide(loadedStatusText);
    })) << "loaded at start-up";
    EXPECT_EQ(textOf(GetDlgItem(window, idSourcePath)), files_.base);
    EXPECT_EQ(textOf(GetDlgItem(window, idOutputPath)), files_.folder + L"Varnholt001.sav")
        << "the next free name";
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.waitForExit().has_value()) << "the close box ends it";
}

// A save dropped on the window from the desktop's file manager is loaded; one
// that fails to load takes the focus off Apply.
TEST_F(VarnholtExe, SaveDroppedOnTheWindowIsLoaded) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    const RECT area = screenRect(window_);
    const std::string failure = dropFromDesktop(
        {(area.left + area.right) / 2, (area.top + area.bottom) / 2}, files_.unusual);
    EXPECT_EQ(failure, "");
    EXPECT_TRUE(waitUntil([&] { return text(idSourcePath) == files_.unusual; }))
        << "the path box shows \"" << utf8(text(idSourcePath)) << "\"";
    EXPECT_TRUE(waitForStatus(loadedStatusText)) << "status: " << utf8(text(idStatusLine));
    const std::wstring campaign(files_.unusualCampaign.begin(), files_.unusualCampaign.end());
    EXPECT_EQ(text(idCampaignName), campaign) << "the dropped save is loaded";

    // With the focus on Apply, a dropped file that fails to load disables
    // Apply: the focus moves on to a control the keys can still reach.
    const std::wstring notASave = files_.folder + L"notes.sav";
    ASSERT_TRUE(writeFile(notASave, std::vector<std::uint8_t>(5000, 'x')));
    ASSERT_TRUE(bringToFront(window_));
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(idApply)), TRUE);
    ASSERT_TRUE(waitUntil([&] { return focusIn(idApply); })) << "the focus is on Apply";
    EXPECT_EQ(
        dropFromDesktop({(area.left + area.right) / 2, (area.top + area.bottom) / 2}, notASave),
        "");
    const auto box = waitForMessageBox(window_);
    ASSERT_TRUE(box.has_value()) << "the failed load's box";
    EXPECT_EQ(box->icon, L"error");
    EXPECT_TRUE(closeMessageBox(box->window));
    EXPECT_TRUE(waitUntil([&] { return !enabled(idApply); })) << "Apply is disabled";
    HWND focus = nullptr;
    EXPECT_TRUE(waitUntil([&] {
        focus = focusOf(window_);
        return focus && IsChild(window_, focus) && IsWindowEnabled(focus);
    })) << "the focus is on an enabled control, not on "
        << (focus ? GetDlgCtrlID(focus) : 0);
    DeleteFileW(notASave.c_str());
}

// Keyboard flows with real key events, which go through the dialog manager
// (a message posted to one control would bypass it).

TEST_F(VarnholtExe, TabToApplyThenEnterAppliesAndKeepsTheWindow) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    const std::wstring output = text(idOutputPath);
    ASSERT_FALSE(exists(output)) << "the output name is free";
    ASSERT_TRUE(bringToFront(window_));
    for (int presses = 0; presses < 40 && !focusIn(idApply); ++presses) {
        HWND before = focusOf(window_);
        pressKey(VK_TAB);
        waitUntil([&] { return focusOf(window_) != before; }, 1000);
    }
    ASSERT_TRUE(focusIn(idApply)) << "Tab reaches Apply";
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitForStatus(appliedStatusText)) << "status: " << utf8(text(idStatusLine));
    EXPECT_FALSE(readFile(output).empty()) << "the output is written";
    EXPECT_FALSE(program_->waitForExit(500).has_value()) << "the program still runs";
    EXPECT_TRUE(IsWindowVisible(window_)) << "the window stays open";
}

TEST_F(VarnholtExe, AltYThenTabReachesTheYearBox) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(load(files_.base));
    tick(idSetYearAndSeason, false);
    ASSERT_TRUE(bringToFront(window_));
    pressWithAlt('Y');
    EXPECT_TRUE(waitUntil([&] { return isChecked(item(idSetYearAndSeason)); })) << "Alt+Y ticks";
    EXPECT_TRUE(waitUntil([&] { return focusIn(idSetYearAndSeason); }))
        << "and focuses the Set box";
    pressKey(VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return focusIn(idYear); })) << "Tab reaches the year box";
    pressDigits(L"1234");
    EXPECT_TRUE(waitUntil([&] { return text(idYear) == L"1234"; }))
        << "typed digits land there: " << utf8(text(idYear));
}

TEST_F(VarnholtExe, AltROpensTheFileDialog) {
    ASSERT_TRUE(open());
    const std::wstring path = text(idSourcePath);
    ASSERT_TRUE(bringToFront(window_));
    pressWithAlt('R');
    HWND dialog = waitForOwnedDialog(window_, wide(browseTitle));
    ASSERT_NE(dialog, nullptr) << "Alt+R opens \"" << browseTitle << "\"";
    click(GetDlgItem(dialog, IDCANCEL));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "Cancel closes it";
    EXPECT_EQ(text(idSourcePath), path) << "and nothing changes";
}

TEST_F(VarnholtExe, EnterInATextBoxPressesClose) {
    const auto filesBefore = listTree(files_.folder);
    Process program;
    ASSERT_TRUE(program.start(appPath, inQuotes(files_.base))) << "starts with a save";
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr) << "its window shows";
    ASSERT_TRUE(waitUntil([&] {
        return textOf(GetDlgItem(window, idStatusLine)) == wide(loadedStatusText);
    })) << "loaded at start-up";
    ASSERT_TRUE(bringToFront(window));
    ASSERT_TRUE(waitUntil([&] { return focusOf(window) == GetDlgItem(window, idSourcePath); }))
        << "the focus is in the path box";
    pressKey(VK_RETURN);
    const auto code = program.waitForExit();
    ASSERT_TRUE(code.has_value()) << "Enter ends the program";
    EXPECT_EQ(*code, 0u) << "exit code";
    EXPECT_EQ(listTree(files_.folder), filesBefore) << "nothing written";
}

TEST_F(VarnholtExe, EscapeClosesWithoutReadingTheControls) {
    const auto filesBefore = listTree(files_.folder);
    Process program;
    ASSERT_TRUE(program.start(appPath, inQuotes(files_.base))) << "starts with a save";
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr) << "its window shows";
    ASSERT_TRUE(waitUntil([&] {
        return textOf(GetDlgItem(window, idStatusLine)) == wide(loadedStatusText);
    })) << "loaded at start-up";
    // Close would stop at the empty year box with a prompt; Escape reads nothing.
    HWND setYear = GetDlgItem(window, idSetYearAndSeason);
    click(setYear);
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(GetDlgItem(window, idYear)) != FALSE; }))
        << "the year box is enabled";
    setText(GetDlgItem(window, idYear), L"");
    Sleep(100);
    ASSERT_EQ(textOf(GetDlgItem(window, idYear)), L"") << "the year box is empty";
    ASSERT_TRUE(bringToFront(window));
    pressKey(VK_ESCAPE);
    const auto code = program.waitForExit();
    ASSERT_TRUE(code.has_value()) << "Escape ends the program; boxes shown: "
                                  << ownedDialogs(window).size();
    EXPECT_EQ(*code, 0u) << "exit code";
    EXPECT_EQ(listTree(files_.folder), filesBefore) << "nothing written";
}

// Last: it ends the shared program.
TEST_F(VarnholtExe, CloseBoxEndsTheProgramAndWritesNothing) {
    ASSERT_TRUE(open());
    const auto filesBefore = listTree(files_.folder);
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    const auto code = program_->waitForExit();
    ASSERT_TRUE(code.has_value()) << "the close box ends the program";
    EXPECT_EQ(*code, 0u) << "exit code";
    EXPECT_EQ(listTree(files_.folder), filesBefore) << "no file written by closing";
    // The per-user key a Windows program of this build's kind would be given
    // under HKEY_CURRENT_USER\Software: the program keeps no settings there.
    HKEY key = nullptr;
    const std::wstring settings = L"Software\\Local AppWizard-Generated Applications";
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << "no settings stored";
    if (key)
        RegCloseKey(key);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: win32_end_to_end [GoogleTest flags] APP CLI "
                             "[LANGUAGE | system:LANGUAGE]\n");
        return 2;
    }
    // The accessible names are read through COM.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    appPath = argv[1];
    cliPath = argv[2];
    endtoend::DriverArguments& arguments = endtoend::driverArguments;
    arguments.app = appPath;
    arguments.cli = cliPath;
    if (argc == 4) {
        arguments.language = utf8(argv[3]);
        constexpr std::string_view fromSystem = "system:";
        arguments.languageFromSystem = arguments.language.starts_with(fromSystem);
        if (arguments.languageFromSystem)
            arguments.language.erase(0, fromSystem.size());
    }
    return RUN_ALL_TESTS();
}
