// Measures and pictures of Varnholt.exe, taken from this second process (under
// Wine, in the session of scripts/wine-session.sh):
//   varnholt_win32_probe APP --measure N             start-up to first paint, N times
//   varnholt_win32_probe APP --screenshots FOLDER    the editor and the About box as BMPs
// APP is Varnholt.exe, FOLDER an existing folder, both as Windows paths.

#include "tests/win32/UiDriver.h"

#include "editor/AboutCommand.h"
#include "editor/EditorLayout.h"
#include "editor/SaveGameEditor.h"
#include "tools/savegen/SaveGen.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace varnholt;
using namespace varnholt::uidriver;

namespace {

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
        if (!process.start(app, L"")) {
            std::fprintf(stderr, "Varnholt.exe does not start\n");
            return 1;
        }
        HWND window = nullptr;
        const bool shown = waitUntil(
            [&] {
                if (!window)
                    window = process.waitForMainWindow(1);
                return window && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
            },
            20000);
        if (!shown) {
            std::fprintf(stderr, "Varnholt.exe showed no painted window within 20 s\n");
            return 1;
        }
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
    const std::wstring saves = L"C:\\Games\\Iron Dominion\\saves";
    for (std::size_t end = saves.find(L'\\', 3); end != std::wstring::npos;
         end = saves.find(L'\\', end + 1))
        CreateDirectoryW(saves.substr(0, end).c_str(), nullptr);
    CreateDirectoryW(saves.c_str(), nullptr);
    savegen::SaveSpec spec = savegen::specForRelease("1.2");
    spec.factionByte = 3;
    spec.campaignDifficulty = 2;
    spec.anchorGap = 300;
    const std::wstring save = saves + L"\\quick.sav";
    if (!writeFile(save, savegen::buildSave(spec))) {
        std::fprintf(stderr, "cannot write the save\n");
        return 1;
    }
    Process process;
    if (!process.start(app, L"\"" + save + L"\"")) {
        std::fprintf(stderr, "Varnholt.exe does not start\n");
        return 1;
    }
    HWND window = process.waitForMainWindow();
    const auto loadedShown = [&] {
        return waitUntil(
            [&] { return textOf(GetDlgItem(window, idStatusLine)) == wide(loadedStatusText); });
    };
    if (!window || !loadedShown()) {
        std::fprintf(stderr, "Varnholt.exe did not load the save\n");
        return 1;
    }
    // Some groups ticked, then loaded again, so that the status line says so.
    for (int id : {idSetCampaignDifficulty, idSetUnitScale, idSetYearAndSeason})
        click(GetDlgItem(window, id));
    Sleep(300);
    click(GetDlgItem(window, idRefresh));
    if (!loadedShown()) {
        std::fprintf(stderr, "Varnholt.exe did not load the save again\n");
        return 1;
    }
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
    if (!ok)
        std::fprintf(stderr, "a screenshot was not written\n");
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wcscmp(argv[2], L"--measure") == 0 && _wtoi(argv[3]) > 0)
        return measure(argv[1], _wtoi(argv[3]));
    if (argc == 4 && std::wcscmp(argv[2], L"--screenshots") == 0)
        return screenshots(argv[1], argv[3]);
    std::fprintf(stderr, "usage: varnholt_win32_probe APP --measure N | --screenshots FOLDER\n");
    return 2;
}
