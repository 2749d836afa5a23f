// End to end under Wine: Varnholt.exe driven from this second process on saves
// made by savegen, with many checks per run.
//   win32_end_to_end APP CLI              the scenarios; prints "N passed, M failed"
//   win32_end_to_end APP CLI --measure N  start-up to first paint, N times
//   win32_end_to_end APP CLI --screenshots FOLDER   the editor and the About box as BMPs

#include "UiDriver.h"

#include "core/SaveGameLoader.h"
#include "core/Vocabularies.h"
#include "editor/BrowseDialog.h"
#include "editor/EditorLayout.h"
#include "editor/SaveGameEditor.h"
#include "shell/AboutBox.h"
#include "shell/EditorApp.h"
#include "shell/OpenUrlWin32.h"
#include "tools/savegen/SaveGen.h"
#include "window/WindowMenu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

using namespace varnholt;
using namespace varnholt::uidriver;
namespace gen = varnholt::savegen;

namespace {

constexpr int setBoxes[] = {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                            idSetCampaignLength,     idSetUnitScale,        idSetYearAndSeason};
const std::wstring caption = L"Varnholt"; // the executable's name: every box's caption

std::vector<std::wstring> wideAll(const auto& texts) {
    std::vector<std::wstring> result;
    for (const auto& text : texts)
        result.push_back(wide(text));
    return result;
}

std::wstring joined(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (const auto& text : texts)
        all += (all.empty() ? L"" : L", ") + text;
    return all;
}

std::wstring quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

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
    for (std::size_t end = folder.find(L'\\', 3); end != std::wstring::npos;
         end = folder.find(L'\\', end + 1))
        CreateDirectoryW(folder.substr(0, end).c_str(), nullptr);

    gen::SaveSpec base = gen::specForRelease("1.2");
    base.factionByte = 3;
    base.campaignDifficulty = 2;
    base.anchorGap = 300;
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

SaveGameInfo loaded(const std::wstring& path) {
    SaveGameInfo info;
    loadSaveGame(utf8(path), info, [](const LoadMessage&) {});
    return info;
}

class Scenarios {
  public:
    Scenarios(std::wstring app, std::wstring cli) : app_(std::move(app)), cli_(std::move(cli)) {}

    int runAll() {
        const ULONGLONG started = GetTickCount64();
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        files_ = makeFiles(std::wstring(temp) + L"varnholt-e2e-" +
                           std::to_wstring(GetCurrentProcessId()) + L"\\");
        if (!c_.check(process_.start(app_, L""), "Varnholt.exe starts") ||
            !c_.check((window_ = process_.waitForMainWindow()) != nullptr, "its window shows")) {
            report(started);
            return 1;
        }
        // VARNHOLT_E2E_ONLY="2 4" runs only those scenarios (after the first
        // three, which the others build on).
        const char* only = std::getenv("VARNHOLT_E2E_ONLY");
        const auto wanted = [&](int n) {
            if (!only || n <= 3)
                return true;
            const std::string list = std::string(" ") + only + " ";
            return list.find(" " + std::to_string(n) + " ") != std::string::npos;
        };
        void (Scenarios::*const steps[])() = {
            &Scenarios::start,        &Scenarios::typing,        &Scenarios::browse,
            &Scenarios::missingFile,  &Scenarios::integerPrompt, &Scenarios::unitScale,
            &Scenarios::keyboard,     &Scenarios::apply,         &Scenarios::expansion,
            &Scenarios::unusualNames, &Scenarios::about,         &Scenarios::argument,
            &Scenarios::enterCloses};
        for (int n = 1; n <= 13; ++n)
            if (wanted(n))
                (this->*steps[n - 1])();
        removeTree(files_.folder.substr(0, files_.folder.size() - 1));
        report(started);
        return c_.failed() == 0 ? 0 : 1;
    }

  private:
    HWND item(int id) const { return GetDlgItem(window_, id); }
    std::wstring text(int id) const { return textOf(item(id)); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }

    void report(ULONGLONG started) {
        std::printf("%d passed, %d failed (%.1f s)\n", c_.passed(), c_.failed(),
                    static_cast<double>(GetTickCount64() - started) / 1000.0);
    }

    bool waitForStatus(const char* status) {
        return waitUntil([&] { return text(idStatusLine) == wide(status); });
    }

    // Types a path into box 1002 and presses Refresh; true once the game is loaded.
    bool load(const std::wstring& path) {
        setText(item(idSourcePath), path);
        c_.equal(text(idSourcePath), path, "1002 takes the path");
        click(item(idRefresh));
        return c_.check(waitForStatus(loadedStatusText), "loads " + utf8(path));
    }

    void tick(int id, bool ticked) {
        if (isChecked(item(id)) != ticked)
            click(item(id));
        c_.check(waitUntil([&] { return isChecked(item(id)) == ticked; }),
                 "tick of " + std::to_string(id) + (ticked ? " set" : " cleared"));
    }

    // The one message box the window shows next: its caption, icon and text.
    void expectBox(HWND owner, std::wstring_view text, std::wstring_view icon, const char* what) {
        const auto box = waitForMessageBox(owner);
        if (!c_.check(box.has_value(), std::string(what) + ": a message box"))
            return;
        c_.equal(box->caption, caption, std::string(what) + ": caption");
        c_.equal(box->text, text, std::string(what) + ": text");
        c_.equal(box->icon, icon, std::string(what) + ": icon");
        c_.check(closeMessageBox(box->window), std::string(what) + ": OK closes it");
        Sleep(300);
        c_.equal(static_cast<long long>(ownedDialogs(owner).size()), 0,
                 std::string(what) + ": no second box");
    }

    // 1. What the window shows before anything is done.
    void start() {
        c_.scenario("1 start");
        c_.equal(textOf(window_), L"Varnholt", "title");
        const auto difficulties = wideAll(standardDifficultyNames());
        for (int id : {idCampaignDifficulty, idBattleDifficulty}) {
            c_.equal(joined(itemsOf(item(id))), joined(difficulties),
                     "items of " + std::to_string(id));
            c_.equal(selectionOf(item(id)), 1, "selection of " + std::to_string(id));
        }
        c_.equal(joined(itemsOf(item(idUnitScaleClass))), joined(wideAll(unitScaleClassNames())),
                 "size classes");
        c_.equal(selectionOf(item(idUnitScaleClass)), 1, "size class selected");
        c_.equal(text(idUnitScale), L"40", "unit scale");
        c_.equal(text(idYear), L"270", "year");
        for (int id : {idNoBattleTimeLimit, idBC, idSummer})
            c_.check(isChecked(item(id)), "ticked: " + std::to_string(id));
        for (int id : {idAD, idWinter, idShortCampaign})
            c_.check(!isChecked(item(id)), "not ticked: " + std::to_string(id));
        for (int id : setBoxes)
            c_.check(!isChecked(item(id)) && !enabled(id),
                     "Set box unticked and disabled: " + std::to_string(id));
        for (int id :
             {idRefresh, idApply, idCampaignDifficulty, idBattleDifficulty, idNoBattleTimeLimit,
              idShortCampaign, idUnitScaleClass, idUnitScale, idUnitScaleSpin, idYearLabel, idYear,
              idYearSpin, idBC, idAD, idSummer, idWinter})
            c_.check(!enabled(id), "disabled: " + std::to_string(id));
        for (int id : {idSourcePath, idBrowse, idOutputPath, idOk})
            c_.check(enabled(id), "enabled: " + std::to_string(id));
        c_.check(waitUntil([&] { return focusOf(window_) == item(idSourcePath); }),
                 "the focus is in 1002");
        const LONG style = GetWindowLongW(window_, GWL_STYLE);
        c_.check((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU) &&
                     !(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)),
                 "fixed-size frame with title bar and window menu, no minimise or maximise box");
        c_.check(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW, "on the task bar");
        // Wine answers WM_GETICON and WM_QUERYDRAGICON from another process
        // with nothing, and shows the large icon nowhere; the small one is seen
        // in the title bar, where the default icon is not.
        RECT frame = screenRect(window_);
        POINT clientTop{0, 0};
        ClientToScreen(window_, &clientTop);
        frame.right = frame.left + 64;
        frame.bottom = clientTop.y;
        const Capture titleBar = captureScreen(frame);
        const int small = GetSystemMetrics(SM_CXSMICON);
        HMODULE program = LoadLibraryExW(app_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HICON ours = static_cast<HICON>(
            LoadImageW(program, MAKEINTRESOURCEW(applicationIconId), IMAGE_ICON, small, small, 0));
        const double match = iconMatch(titleBar, ours, small);
        const double otherMatch = iconMatch(titleBar, LoadIconW(nullptr, IDI_APPLICATION), small);
        c_.check(ours && match < 12 && match < otherMatch, "small icon set",
                 "difference " + std::to_string(match) + ", to the default icon " +
                     std::to_string(otherMatch));
        if (ours)
            DestroyIcon(ours);
        if (program)
            FreeLibrary(program);
        const RECT refresh = screenRect(item(idRefresh));
        c_.check((GetWindowLongW(item(idRefresh), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
                     refresh.right - refresh.left == 20 && refresh.bottom - refresh.top == 23,
                 "Refresh is drawn from its 20 x 23 pictures");
    }

    // 2. Typing key by key keeps the order; the rules follow each change.
    void typing() {
        c_.scenario("2 typing");
        c_.check(bringToFront(window_), "the window comes to the front");
        const std::wstring typed = L"C:\\a b\\q.sav";
        typeText(typed);
        c_.check(waitUntil([&] { return text(idSourcePath) == typed; }), "typed text in order",
                 utf8(text(idSourcePath)));
        c_.check(enabled(idRefresh), "Refresh enabled");
        for (int id : setBoxes)
            c_.check(enabled(id), "Set box enabled: " + std::to_string(id));
        c_.check(!enabled(idApply), "Apply stays disabled");
        setText(item(idSourcePath), L"");
        c_.check(waitUntil([&] { return !enabled(idRefresh); }), "emptied: Refresh disabled");
    }

    // 3. Browse: the open dialog, then the loaded game.
    void browse() {
        c_.scenario("3 browse");
        click(item(idBrowse));
        HWND dialog = waitForOwnedDialog(window_, wide(browseTitle));
        if (!c_.check(dialog != nullptr, "the open dialog, titled and owned by the window"))
            return;
        HWND types = GetDlgItem(dialog, 0x470); // the file-type list
        c_.equal(joined(itemsOf(types)), L"IRD Save Files (*.sav), All Files (*.*)", "filters");
        c_.equal(selectionOf(types), 0, "the first filter in force");
        HWND name = GetDlgItem(dialog, 0x47C);
        if (!name)
            name = GetDlgItem(dialog, 0x480);
        while (name && classOf(name) != L"Edit")
            name = FindWindowExW(name, nullptr, nullptr, nullptr);
        if (!c_.check(name != nullptr, "the file-name box"))
            return;
        setText(name, files_.base);
        click(GetDlgItem(dialog, IDOK));
        c_.check(waitUntil([&] { return !IsWindow(dialog); }), "the dialog closes");
        if (!c_.check(waitForStatus(loadedStatusText), "status: loaded"))
            return;
        const SaveGameInfo info = loaded(files_.base);
        const std::wstring output = files_.folder + L"Varnholt000.sav";
        c_.equal(text(idSourcePath), files_.base, "1002");
        c_.equal(text(idOutputPath), output, "1010");
        c_.equal(textOf(window_), L"Varnholt - " + output, "title");
        c_.equal(text(idReleaseLabel), wide(info.version.releaseLabel), "release");
        c_.equal(text(idCampaignName), wide(info.campaignName), "campaign");
        c_.equal(text(idFactionName), wide(info.factionName), "faction");
        c_.check(!info.factionName.empty(), "the save names a faction");
        c_.equal(selectionOf(item(idCampaignDifficulty)), 2, "campaign difficulty shown");
        c_.check(enabled(idApply), "Apply enabled");
    }

    // 4. A missing file: one error box, and no output name left.
    void missingFile() {
        c_.scenario("4 missing file");
        const std::wstring missing = files_.folder + L"missing.sav";
        setText(item(idSourcePath), missing);
        c_.equal(text(idSourcePath), missing, "1002 takes the path");
        Sleep(1000);
        c_.equal(text(idSourcePath), missing, "1002 keeps the path");
        c_.check(enabled(idRefresh), "refresh enabled");
        click(item(idRefresh));
        expectBox(window_, L"Error reading " + missing + L": " + missing + L" was not found..",
                  L"error", "missing file");
        c_.check(!enabled(idApply), "Apply disabled");
        c_.equal(text(idOutputPath), L"", "no output name");
    }

    // 5. A year that is no integer: the prompt, then the focus in the year box.
    void integerPrompt() {
        c_.scenario("5 integer prompt");
        if (!load(files_.base))
            return;
        tick(idSetYearAndSeason, true);
        for (const std::wstring year : {L"", L"x7"}) {
            setText(item(idYear), year);
            click(item(idSetCampaignDifficulty));
            expectBox(window_, wide(enterIntegerText), L"warning", "integer prompt");
            c_.check(waitUntil([&] { return focusOf(window_) == item(idYear); }),
                     "the focus is in the year box");
            const auto selection = SendMessageW(item(idYear), EM_GETSEL, 0, 0);
            c_.check(LOWORD(selection) == 0 && HIWORD(selection) == year.size(),
                     "its text is selected");
        }
        setText(item(idYear), L"270");
        tick(idSetCampaignDifficulty, false);
    }

    void clickSpin(bool up) {
        const RECT r = screenRect(item(idUnitScaleSpin));
        bringToFront(window_);
        clickMouse({(r.left + r.right) / 2,
                    up ? r.top + (r.bottom - r.top) / 4 : r.bottom - (r.bottom - r.top) / 4});
    }

    // 6. The unit scale through real clicks on the spin's arrows, and by class.
    void unitScale() {
        c_.scenario("6 unit scale");
        tick(idSetUnitScale, true);
        c_.check(enabled(idUnitScaleSpin), "the spin is enabled");
        c_.equal(text(idUnitScale), L"40", "starts at 40");
        clickSpin(true);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"45"; }), "up: 45",
                 utf8(text(idUnitScale)));
        c_.equal(selectionOf(item(idUnitScaleClass)), 2, "up: Large");
        clickSpin(false);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"40"; }), "down: 40",
                 utf8(text(idUnitScale)));
        c_.equal(selectionOf(item(idUnitScaleClass)), 1, "down: Normal");
        pick(window_, idUnitScaleClass, 3);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"160"; }), "Huge: 160");
        clickSpin(true);
        Sleep(300);
        c_.equal(text(idUnitScale), L"160", "up at 160 stays");
        c_.equal(selectionOf(item(idUnitScaleClass)), 3, "and Huge");
        pick(window_, idUnitScaleClass, 0);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"20"; }), "Small: 20");
        pick(window_, idUnitScaleClass, 1);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"40"; }), "Normal: 40");
    }

    // 7. Mnemonics and the Tab order.
    void keyboard() {
        c_.scenario("7 keyboard");
        tick(idSetUnitScale, false);
        c_.check(waitUntil([&] { return !enabled(idUnitScaleClass); }), "unticked: list disabled");
        bringToFront(window_);
        pressWithAlt('U');
        c_.check(waitUntil([&] { return isChecked(item(idSetUnitScale)); }), "Alt+U ticks 1015");
        for (int id : {idUnitScaleClass, idUnitScale, idUnitScaleSpin})
            c_.check(enabled(id), "and enables " + std::to_string(id));
        pressWithAlt('F');
        c_.check(waitUntil([&] { return focusOf(window_) == item(idSourcePath); }),
                 "Alt+F: the label's mnemonic moves the focus to 1002");
        // The enabled Tab stops in template order, from 1002 round to 1002.
        std::vector<int> expected;
        std::vector<int> stops;
        for (const ControlLayout& spec : editorDialog().controls)
            if (spec.tabStop && enabled(spec.id))
                stops.push_back(spec.id);
        const auto from = std::find(stops.begin(), stops.end(), idSourcePath);
        std::rotate(stops.begin(), from, stops.end());
        expected.assign(stops.begin() + 1, stops.end());
        expected.push_back(idSourcePath);
        std::vector<int> visited;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            pressKey(VK_TAB);
            HWND before = i == 0 ? item(idSourcePath) : item(visited.back());
            waitUntil([&] { return focusOf(window_) != before; }, 1000);
            visited.push_back(GetDlgCtrlID(focusOf(window_)));
        }
        std::string got, want;
        for (int id : visited)
            got += std::to_string(id) + " ";
        for (int id : expected)
            want += std::to_string(id) + " ";
        c_.check(visited == expected, "Tab order", "got " + got + "expected " + want);
        // The arrow keys in a spin's box step the spin, through the model.
        tick(idSetYearAndSeason, true);
        const RECT year = screenRect(item(idYear));
        clickMouse({(year.left + year.right) / 2, (year.top + year.bottom) / 2});
        c_.check(waitUntil([&] { return focusOf(window_) == item(idYear); }), "in the year box");
        const std::wstring before = text(idYear);
        const std::wstring after = std::to_wstring(std::stoi(before) + 1);
        pressKey(VK_UP);
        c_.check(waitUntil([&] { return text(idYear) == after; }), "Up steps the year",
                 utf8(before + L" -> " + text(idYear)));
        pressKey(VK_DOWN);
        c_.check(waitUntil([&] { return text(idYear) == before; }), "Down steps it back");
    }

    // 8. Apply with several groups ticked: the same bytes as varnholt-cli; then a
    // read-only output file.
    void apply() {
        c_.scenario("8 apply");
        tick(idSetCampaignDifficulty, true);
        pick(window_, idCampaignDifficulty, 3);
        tick(idSetBattleTimeLimit, true);
        tick(idNoBattleTimeLimit, false);
        tick(idSetUnitScale, true);
        clickSpin(true);
        c_.check(waitUntil([&] { return text(idUnitScale) == L"45"; }), "unit scale 45");
        tick(idSetYearAndSeason, true);
        setText(item(idYear), L"123");
        click(item(idAD));
        click(item(idWinter));
        c_.check(waitUntil([&] { return isChecked(item(idAD)) && isChecked(item(idWinter)); }),
                 "AD and winter");
        c_.check(waitUntil([&] { return selectionOf(item(idCampaignDifficulty)) == 3; }),
                 "Very Hard picked");
        const std::wstring output = text(idOutputPath);
        click(item(idApply));
        if (!c_.check(waitForStatus(appliedStatusText), "status: applied"))
            return;
        c_.equal(static_cast<long long>(ownedDialogs(window_).size()), 0, "no box");
        const std::wstring expected = files_.folder + L"cli.sav";
        const auto code =
            run(cli_, L"apply " + quoted(files_.base) + L" --output " + quoted(expected) +
                          L" --campaign-difficulty 3 --time-limit on --unit-scale 45"
                          L" --year 123 --era AD --season winter");
        c_.check(code && *code == 0, "varnholt-cli apply succeeds");
        const auto written = readFile(output);
        c_.check(!written.empty() && written == readFile(expected),
                 "the output equals varnholt-cli's, byte for byte");
        c_.check(readFile(files_.base) == files_.baseBytes, "the source is unchanged");
        DeleteFileW(expected.c_str());

        SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_READONLY);
        const auto before = listTree(files_.folder);
        click(item(idApply));
        expectBox(window_, L"Error writing " + output + L": Access to " + output + L" was denied..",
                  L"error", "read-only output");
        c_.check(listTree(files_.folder) == before, "no file added or removed");
        c_.check(readFile(output) == written, "the read-only file is unchanged");
        SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    // 9. An expansion save: no long or short campaign.
    void expansion() {
        c_.scenario("9 expansion");
        tick(idSetCampaignLength, true);
        if (!load(files_.expansion))
            return;
        c_.equal(text(idReleaseLabel), L"1.6", "release");
        c_.check(!enabled(idSetCampaignLength), "1012 disabled");
        c_.check(!enabled(idShortCampaign), "1013 disabled");
        c_.check(enabled(idSetUnitScale), "the other Set boxes stay enabled");
    }

    // 10. "&" and letters beyond ASCII, in the folder and the campaign name.
    void unusualNames() {
        c_.scenario("10 unusual names");
        if (!load(files_.unusual))
            return;
        const std::wstring campaign(files_.unusualCampaign.begin(), files_.unusualCampaign.end());
        c_.equal(text(idCampaignName), campaign, "campaign name");
        c_.check(GetWindowLongW(item(idCampaignName), GWL_STYLE) & SS_NOPREFIX,
                 "shown literally: \"&\" is no mnemonic there");
        c_.equal(text(idSourcePath), files_.unusual, "1002");
        const std::wstring output = files_.unusualFolder + L"Varnholt000.sav";
        c_.equal(text(idOutputPath), output, "1010");
        c_.equal(textOf(window_), L"Varnholt - " + output, "title");
        click(item(idApply));
        c_.check(waitForStatus(appliedStatusText), "status: applied");
        c_.check(GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES,
                 "the output is written there");
    }

    // 11. The About box through the window-menu command.
    void about() {
        c_.scenario("11 about");
        PostMessageW(window_, WM_SYSCOMMAND, aboutCommandId, 0);
        HWND box = waitForOwnedDialog(window_, L"About Varnholt");
        if (!c_.check(box != nullptr, "the About box, owned by the window"))
            return;
        HWND label = GetDlgItem(box, shell::idContactAddress);
        c_.equal(textOf(label), wide(shell::contactEmail()), "address");
        // Every line of text fits its control in the dialog's font; the address
        // is exactly as wide as its text.
        HDC dc = GetDC(nullptr);
        HFONT font =
            CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE,
                        FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg 2");
        HGDIOBJ previous = SelectObject(dc, font);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (classOf(child) != L"Static" ||
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                continue;
            const std::wstring line = textOf(child);
            SIZE extent{};
            GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
            RECT client{};
            GetClientRect(child, &client);
            const std::string detail = utf8(line) + ": " + std::to_string(extent.cx) + " of " +
                                       std::to_string(client.right) + " pixels";
            if (child == label)
                c_.check(std::abs(extent.cx - client.right) <= 1, "the address is fitted", detail);
            else
                c_.check(extent.cx <= client.right, "the text fits its line", detail);
        }
        SelectObject(dc, previous);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
        const std::wstring url = L"mailto:" + wide(shell::contactEmail());
        HWND tip = ownedWindowOfClass(box, TOOLTIPS_CLASSW);
        c_.check(tip != nullptr, "a tooltip");
        if (tip)
            c_.equal(toolText(process_.info.hProcess, tip, label, 1), url, "the tooltip's text");

        const RECT area = screenRect(label);
        const POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        bringToFront(box);
        moveMouse(centre);
        c_.check(waitUntil([&] { return hasColourNear(captureScreen(area), 0xFF0000, 60); }, 2000),
                 "hover: red");
        // Underlined while hovering, so the ink spans the whole text: the label
        // is as wide as its text.
        const Capture hovered = captureScreen(area);
        RECT client{};
        GetClientRect(label, &client);
        c_.check(std::abs(rightmostInk(hovered) - (client.right - 1)) <= 1,
                 "the label is fitted to its text",
                 "ink ends at " + std::to_string(rightmostInk(hovered)) + " of " +
                     std::to_string(client.right));
        moveMouse({area.right + 80, area.bottom + 60});
        c_.check(waitUntil(
                     [&] {
                         const Capture now = captureScreen(area);
                         return !hasColourNear(now, 0xFF0000, 60) &&
                                hasColourNear(now, 0x0000EE, 60);
                     },
                     2000),
                 "leaving: back to the link colour");

        // No program for mail or web pages: the click explains itself.
        for (const wchar_t* key : {L"mailto", L".htm"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
        clickMouse(centre);
        expectBox(box, wide(shell::openErrorText(shell::openFailureExplanation(SE_ERR_NOASSOC))),
                  L"warning", "failing opener");
        click(GetDlgItem(box, IDOK));
        c_.check(waitUntil([&] { return !IsWindow(box); }), "OK closes the About box");
    }

    // 12. A save given as argument is loaded at start-up; an unreadable one is
    // the load's usual error box.
    void argument() {
        c_.scenario("12 argument");
        Process broken;
        const std::wstring missing = files_.folder + L"gone.sav";
        if (c_.check(broken.start(app_, quoted(missing)), "starts with a missing file")) {
            HWND window = broken.waitForMainWindow();
            if (c_.check(window != nullptr, "its window shows")) {
                expectBox(window,
                          L"Error reading " + missing + L": " + missing + L" was not found..",
                          L"error", "unreadable argument");
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                const auto code = broken.waitForExit();
                c_.check(code && *code == 0, "the close box ends it with exit code 0");
            }
        }
        if (!c_.check(second_.start(app_, quoted(files_.base)), "starts with a save"))
            return;
        secondWindow_ = second_.waitForMainWindow();
        if (!c_.check(secondWindow_ != nullptr, "its window shows"))
            return;
        c_.check(waitUntil([&] {
                     return textOf(GetDlgItem(secondWindow_, idStatusLine)) ==
                            wide(loadedStatusText);
                 }),
                 "loaded at start-up");
        c_.equal(textOf(GetDlgItem(secondWindow_, idSourcePath)), files_.base, "1002");
        c_.equal(textOf(GetDlgItem(secondWindow_, idOutputPath)),
                 files_.folder + L"Varnholt001.sav", "1010: the next free name");
    }

    // 13. Enter closes the program with exit code 0, and nothing is written.
    void enterCloses() {
        c_.scenario("13 enter closes");
        const auto filesBefore = listTree(files_.folder);
        if (secondWindow_) {
            bringToFront(secondWindow_);
            pressKey(VK_RETURN);
            const auto code = second_.waitForExit();
            c_.check(code.has_value(), "Enter ends the program");
            c_.check(code && *code == 0, "with exit code 0");
        }
        PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        const auto code = process_.waitForExit();
        c_.check(code && *code == 0, "the first window's close box: exit code 0");
        c_.check(listTree(files_.folder) == filesBefore, "no file written by closing");
        HKEY key = nullptr;
        const std::wstring settings = L"Software\\" + wide(shell::settingsKeyName);
        c_.check(RegOpenKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, KEY_READ, &key) !=
                     ERROR_SUCCESS,
                 "no settings stored");
        if (key)
            RegCloseKey(key);
    }

    std::wstring app_;
    std::wstring cli_;
    Files files_;
    Checks c_;
    Process process_;
    HWND window_ = nullptr;
    Process second_;
    HWND secondWindow_ = nullptr;
};

// Start-up to first paint: from process creation until the window is visible
// with nothing left to paint.
int measure(const std::wstring& app, int times) {
    std::vector<double> ms;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    for (int i = -1; i < times; ++i) { // the first start warms up and is not counted
        LARGE_INTEGER start{}, painted{};
        QueryPerformanceCounter(&start);
        Process process;
        if (!process.start(app, L""))
            return 1;
        HWND window = nullptr;
        waitUntil(
            [&] {
                if (!window)
                    window = process.waitForMainWindow(1);
                return window && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
            },
            20000);
        QueryPerformanceCounter(&painted);
        const double elapsed = 1000.0 * static_cast<double>(painted.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart);
        if (i >= 0)
            ms.push_back(elapsed);
        std::printf("start %d: %.0f ms%s\n", i + 1, elapsed, i < 0 ? " (warm-up)" : "");
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        process.waitForExit();
    }
    std::sort(ms.begin(), ms.end());
    const double median =
        ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::printf("median start-up to first paint: %.0f ms over %d starts\n", median, times);
    return 0;
}

// The editor with a loaded save, and the About box, as bitmaps.
int screenshots(const std::wstring& app, const std::wstring& folder) {
    const Files files = makeFiles(L"C:\\Games\\Iron Dominion\\saves\\");
    Process process;
    if (!process.start(app, quoted(files.base)))
        return 1;
    HWND window = process.waitForMainWindow();
    const auto loadedShown = [&] {
        return waitUntil(
            [&] { return textOf(GetDlgItem(window, idStatusLine)) == wide(loadedStatusText); });
    };
    if (!window || !loadedShown())
        return 1;
    // Some groups ticked, then loaded again, so that the status line says so.
    for (int id : {idSetCampaignDifficulty, idSetUnitScale, idSetYearAndSeason})
        click(GetDlgItem(window, id));
    Sleep(300);
    click(GetDlgItem(window, idRefresh));
    if (!loadedShown())
        return 1;
    bringToFront(window);
    moveMouse({0, 0});
    Sleep(500);
    bool ok = saveBitmap(captureScreen(screenRect(window)), folder + L"\\windows-editor.bmp");
    PostMessageW(window, WM_SYSCOMMAND, aboutCommandId, 0);
    HWND about = waitForOwnedDialog(window, L"About Varnholt");
    Sleep(500);
    ok = about && saveBitmap(captureScreen(screenRect(about)), folder + L"\\windows-about.bmp") &&
         ok;
    if (about)
        click(GetDlgItem(about, IDOK));
    Sleep(300);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    process.waitForExit();
    removeTree(L"C:\\Games");
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: win32_end_to_end APP CLI [--measure N | --screenshots FOLDER]\n");
        return 2;
    }
    if (argc == 5 && std::wcscmp(argv[3], L"--measure") == 0)
        return measure(argv[1], _wtoi(argv[4]));
    if (argc == 5 && std::wcscmp(argv[3], L"--screenshots") == 0)
        return screenshots(argv[1], argv[4]);
    return Scenarios(argv[1], argv[2]).runAll();
}
