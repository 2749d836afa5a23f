// The layout table's own consistency, and the small text rules the window
// applies: integer reading, captions, the file dialog's folder and filter.

#include "core/UnitScaleTable.h"
#include "editor/AboutCommand.h"
#include "editor/BrowseDialog.h"
#include "editor/EditorLayout.h"
#include "window/IntegerText.h"

#include <gtest/gtest.h>

#include <set>

namespace varnholt {
namespace {

using K = ControlKind;

TEST(Layout, IdentifiersAreUniqueAndEveryNamedControlIsInTheTable) {
    std::set<int> seen;
    for (const ControlLayout& c : editorDialog().controls)
        if (c.id != noControlId) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate " << c.id;
        }
    for (int id : {idOk,
                   idApply,
                   idSourcePath,
                   idBrowse,
                   idSetCampaignDifficulty,
                   idCampaignDifficulty,
                   idSetBattleDifficulty,
                   idBattleDifficulty,
                   idSetBattleTimeLimit,
                   idNoBattleTimeLimit,
                   idOutputPath,
                   idRefresh,
                   idSetCampaignLength,
                   idShortCampaign,
                   idStatusLine,
                   idSetUnitScale,
                   idUnitScaleClass,
                   idFactionName,
                   idCampaignName,
                   idSetYearAndSeason,
                   idYearLabel,
                   idYear,
                   idYearSpin,
                   idAD,
                   idSummer,
                   idWinter,
                   idBC,
                   idReleaseLabel,
                   idUnitScale,
                   idUnitScaleSpin})
        EXPECT_NE(editorDialog().find(id), nullptr) << id;
    EXPECT_EQ(editorDialog().find(noControlId), nullptr);
    EXPECT_EQ(editorDialog().find(4242), nullptr);
}

TEST(Layout, TabStopsFollowTheKindOfControl) {
    for (const ControlLayout& c : editorDialog().controls) {
        bool expected = false;
        switch (c.kind) {
        case K::CheckBox:
        case K::RadioButton:
        case K::DropDownList:
        case K::PushButton:
        case K::PictureButton:
            expected = true;
            break;
        case K::TextBox:
            expected = c.id != idOutputPath; // the read-only output box is skipped
            break;
        default:
            expected = false;
        }
        EXPECT_EQ(c.tabStop, expected) << c.id << " " << c.caption;
    }
}

TEST(Layout, ControlsLieInsideTheWindowAndSpinsFollowTheirBox) {
    const DialogLayout& d = editorDialog();
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const ControlLayout& c = d.controls[i];
        EXPECT_GE(c.rect.x, 0);
        EXPECT_GE(c.rect.y, 0);
        // A drop-down list's height includes the opened list; closed, it fits.
        const int height = c.kind == K::DropDownList ? c.closedHeight : c.rect.height;
        EXPECT_GT(height, 0) << c.id;
        EXPECT_LE(height, c.rect.height) << c.id;
        EXPECT_LE(c.rect.y + height, d.rect.height) << c.id;
        EXPECT_LE(c.rect.x + c.rect.width, d.rect.width) << c.id;
        if (c.kind == K::Spin) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(d.controls[i - 1].id, c.buddyId) << "spin " << c.id;
            // Flush against the box's right edge and as tall, as the
            // platform's spin attaches itself to its buddy.
            const DialogRect& box = d.controls[i - 1].rect;
            EXPECT_EQ(c.rect.x, box.x + box.width) << "spin " << c.id;
            EXPECT_EQ(c.rect.y, box.y) << "spin " << c.id;
            EXPECT_EQ(c.rect.height, box.height) << "spin " << c.id;
            EXPECT_LT(c.spinMinimum, c.spinMaximum);
        }
    }
}

TEST(Layout, MnemonicsAreUniqueSoEachAltLetterReachesOneControl) {
    std::set<std::string> letters;
    for (const ControlLayout& c : editorDialog().controls)
        if (auto m = mnemonicOf(c.caption)) {
            EXPECT_TRUE(letters.insert(*m).second) << "letter " << *m << " twice";
        }
    EXPECT_EQ(letters.size(), 12u);
}

TEST(Layout, ListItemsAndTheSpinsRange) {
    const auto items = [](int id) {
        const auto span = editorDialog().find(id)->items;
        return std::vector<std::string>(span.begin(), span.end());
    };
    const std::vector<std::string> difficulties{"Easy", "Medium", "Hard", "Very Hard"};
    EXPECT_EQ(items(idCampaignDifficulty), difficulties);
    EXPECT_EQ(items(idBattleDifficulty), difficulties);
    EXPECT_EQ(items(idUnitScaleClass),
              (std::vector<std::string>{"Small", "Normal", "Large", "Huge"}));
    // The unit-scale spin covers exactly the table's numbers.
    EXPECT_EQ(editorDialog().find(idUnitScaleSpin)->spinMinimum, unitScaleTable().front().number);
    EXPECT_EQ(editorDialog().find(idUnitScaleSpin)->spinMaximum, unitScaleTable().back().number);
}

TEST(Captions, MnemonicMarkersAndLiteralAmpersands) {
    struct Case {
        std::string_view stored;
        std::string shown;
        std::optional<std::string> mnemonic;
    };
    const Case cases[] = {
        {"S&hort campaign", "Short campaign", "h"},
        {"Year && Season", "Year & Season", std::nullopt},
        {"Set &year && season", "Set year & season", "y"},
        {"&Close", "Close", "c"},
        {"&Обзор...", "Обзор...", "о"},
        {"Задать &Длинную", "Задать Длинную", "д"},
        {"&Ёлка", "Ёлка", "ё"},
        {"&Łódź", "Łódź", "ł"},
        {"&Éte", "Éte", "é"},
        {"Version:", "Version:", std::nullopt},
        {"trailing&", "trailing&", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayCaption(c.stored), c.shown) << c.stored;
        EXPECT_EQ(mnemonicOf(c.stored), c.mnemonic) << c.stored;
    }
}

TEST(Captions, RefreshPictureByButtonState) {
    const PictureNames& p = editorDialog().find(idRefresh)->pictures;
    struct Case {
        bool pressed, focused, enabled;
        std::string_view picture;
    };
    const Case cases[] = {
        {false, false, true, "REFRESHU"}, {true, true, true, "REFRESHD"},
        {false, true, false, "REFRESHF"}, {false, false, false, "REFRESHX"},
        {true, false, false, "REFRESHD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pictureFor(p, c.pressed, c.focused, c.enabled), c.picture);
}

TEST(Layout, TheAboutEntryOfTheWindowMenu) {
    const std::vector<MenuEntry> full{{true, 0, ""}, {false, 16, "&About Varnholt..."}};
    EXPECT_EQ(aboutMenuEntries(), full);
    EXPECT_TRUE(aboutMenuEntries("").empty()) << "no text, no entry";
}

TEST(IntegerText, ReadsLikeTheWindowsNumberBoxes) {
    struct Case {
        std::string_view text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"270", 270},
        {"12a", 12},
        {"+7", 7},
        {"  -15", -15},
        {"\t 3 4", 3},
        {"007", 7},
        {"-0", 0},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"abc", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';
    // Only the text given is read, not what follows it.
    EXPECT_EQ(parseInteger(std::string_view("  +5").substr(0, 2)), std::nullopt);
    EXPECT_EQ(parseInteger(std::string_view("  \t7").substr(0, 2)), std::nullopt);
    EXPECT_EQ(parseInteger(std::string_view("-1234").substr(0, 3)), -12);
    EXPECT_EQ(formatInteger(-270), "-270");
    EXPECT_EQ(formatInteger(1234567), "1234567");
}

// The file system of a portable copy: every folder writable, a home folder.
FileQueries portable() {
    return {[](const std::string&) { return false; }, [](const std::string&) { return true; },
            [] { return std::optional<std::string>("/home/ann"); },
            [](const std::string&) { return std::optional<bool>(false); }};
}

TEST(BrowseDialog, InitialFolderFromTheSourcePathOrTheProgramFolder) {
    struct Case {
        std::string source;
        PathStyle style;
        std::string folder;
    };
    const std::string program = "C:\\Tools";
    const Case cases[] = {
        {"D:\\Games\\saves\\quick.sav", PathStyle::Windows, "D:\\Games\\saves\\"},
        {"D:/Games/saves/quick.sav", PathStyle::Windows, "D:/Games/saves/"},
        {"", PathStyle::Windows, program},
        {"quick.sav", PathStyle::Windows, ""},
        {"D:quick.sav", PathStyle::Windows, "D:"},
        {"\\\\server\\share\\q.sav", PathStyle::Windows, "\\\\server\\share\\"},
        {"/home/ann/saves/quick.sav", PathStyle::Posix, "/home/ann/saves/"},
        {"C:\\saves\\quick.sav", PathStyle::Posix, ""}, // no "/": no folder on POSIX
    };
    for (const Case& c : cases)
        EXPECT_EQ(initialBrowseFolder(c.source, program, portable(), c.style), c.folder)
            << c.source;
}

TEST(BrowseDialog, AnInstalledProgramsFolderGivesWayToTheHomeFolder) {
    FileQueries installed = portable();
    installed.isWritableFolder = [](const std::string& f) { return f != "/usr/bin"; };
    EXPECT_EQ(initialBrowseFolder("", "/usr/bin", installed, PathStyle::Posix), "/home/ann");
    EXPECT_EQ(initialBrowseFolder("", "/opt/varnholt", installed, PathStyle::Posix),
              "/opt/varnholt");
    // A chosen save still decides, and without a home folder the program's stays.
    EXPECT_EQ(initialBrowseFolder("/srv/q.sav", "/usr/bin", installed, PathStyle::Posix), "/srv/");
    installed.homeFolder = [] { return std::optional<std::string>(); };
    EXPECT_EQ(initialBrowseFolder("", "/usr/bin", installed, PathStyle::Posix), "/usr/bin");
}

TEST(BrowseDialog, LongFolderIsCutAtACharacterBoundary) {
    // 127 two-byte characters fill 254 bytes; the 255-byte cut must not split
    // the next one.
    std::string name;
    for (int i = 0; i < 130; ++i)
        name += "\xC3\xA9";
    // Appended, not prefixed: GCC 12 misreports "/" + string at -O3 (-Wrestrict).
    const std::string folder = initialBrowseFolder(std::string("/").append(name).append("/q.sav"),
                                                   "", portable(), PathStyle::Posix);
    EXPECT_EQ(folder, std::string("/").append(name.substr(0, 254)));
}

TEST(BrowseDialog, SettingsAndFilterPairs) {
    const OpenFileDialogSettings s =
        browseDialogSettings("", "/opt/varnholt", portable(), PathStyle::Posix);
    EXPECT_EQ(s.title, "Select Iron Dominion Save File");
    const std::vector<FileFilter> expected = {{"IRD Save Files (*.sav)", "*.sav"},
                                              {"All Files (*.*)", "*.*"}};
    EXPECT_EQ(s.filters, expected);
    EXPECT_EQ(s.defaultExtension, "sav");
    EXPECT_EQ(s.initialFolder, "/opt/varnholt");
    EXPECT_TRUE(s.fileMustExist);
    EXPECT_TRUE(s.pathMustExist);
    EXPECT_FALSE(s.showReadOnlyOption);
    EXPECT_TRUE(s.keepCurrentFolder);
    EXPECT_EQ(parseFilterText("A|*.a|B"), (std::vector<FileFilter>{{"A", "*.a"}}));
    EXPECT_TRUE(parseFilterText("||").empty());
}

} // namespace
} // namespace varnholt
