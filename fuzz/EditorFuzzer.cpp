// Drives the editor window's model as a user would, with a sequence of actions
// decoded from each input, on saved games made afresh for that input, and checks
// after every action what must always hold:
// - no file is written but the copy an Apply makes, and never the save of the
//   last load (bytes compared with what they were when it was loaded);
// - the busy cursor's begins and ends alternate, are balanced when an action
//   returns, and no modal window is shown under it;
// - nothing throws (and the sanitizers stay quiet);
// - every control's enabled flag is what the control-state rules give for the
//   values they last ran on, modelled here on their own;
// - an Apply that says it succeeded wrote exactly what core's applyChanges
//   writes for the same request;
// - the model reports a control only while it ignores user actions, so that a
//   toolkit that echoes its writes back (as real ones do) changes nothing.
// A mismatch aborts with a message on stderr. The host answers like a user:
// the file dialog with a save, a missing path or Cancel.

#include "core/ApplyChanges.h"
#include "core/SaveGameInfo.h"
#include "editor/AboutCommand.h"
#include "editor/EditorHost.h"
#include "editor/EditorLayout.h"
#include "editor/SaveGameEditor.h"
#include "tools/savegen/SaveGen.h"
#include "window/IntegerText.h"
#include "words/Messages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace varnholt;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "\neditor_fuzzer: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

// EDITOR_FUZZER_TRACE=1 prints the saves and the actions of each input, to
// write up what a reproducer does.
bool tracing() {
    static const bool on = std::getenv("EDITOR_FUZZER_TRACE") != nullptr;
    return on;
}

// --- Files ---------------------------------------------------------------------

// One private folder per process: game/saves holds the saves of the current
// input (a "bi" folder beside "saves" makes a 1.2 header read as 1.3), ref the
// reference copies.
struct Folders {
    std::string root, game, saves, bi, ref;
};

const Folders& folders() {
    // Never destroyed: the exit handler that removes the folder needs it.
    static const Folders& f = *new Folders([] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base && *base ? base : "/tmp") + "/varnholt-editor-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            fail("cannot create a folder under " + pattern);
        const std::string root = fs::canonical(pattern).string();
        std::error_code error;
        fs::create_directories(root + "/game/saves", error);
        fs::create_directories(root + "/ref", error);
        if (error)
            fail("cannot make the folders in " + root + ": " + error.message());
        std::atexit([] { fs::remove_all(folders().root); });
        return Folders{root, root + "/game", root + "/game/saves", root + "/game/bi",
                       root + "/ref"};
    }());
    return f;
}

// Whether the bytes could be written (a folder or a read-only file may stand
// where a change on disk wants to write).
bool writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// A file's bytes, or nothing when it cannot be read (missing, a folder).
std::optional<Bytes> readBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    Bytes bytes;
    std::uint8_t chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? std::nullopt : std::optional<Bytes>(std::move(bytes));
}

std::string canonical(const std::string& path) {
    std::error_code error;
    const fs::path p = fs::weakly_canonical(path, error);
    return error ? path : p.string();
}

// What tells that an entry was written, replaced or removed: its identity,
// size, times and mode as lstat gives them.
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    mode_t mode = 0;
    std::array<long long, 4> modified{}; // the last change of the data, and of the entry
    bool operator==(const Stamp&) const = default;
};

// Calls `visit(folder, entry name, stat)` for each entry of the game folder and
// of its saves folder, the folders the editor could write in (what lies inside
// a folder made there is not looked at). The folders stay open for the whole
// run: opening a folder is slow under the address sanitizer.
template <class Visit> void forEachEntry(Visit visit) {
    static DIR* const open[] = {::opendir(folders().game.c_str()),
                                ::opendir(folders().saves.c_str())};
    const std::string* names[] = {&folders().game, &folders().saves};
    for (int i = 0; i < 2; ++i) {
        if (!open[i])
            fail("cannot read the folder " + *names[i]);
        ::rewinddir(open[i]);
        while (const dirent* entry = ::readdir(open[i])) {
            struct stat info {};
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 &&
                ::fstatat(::dirfd(open[i]), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                visit(*names[i], entry->d_name, info);
        }
    }
}

std::map<std::string, Stamp> stampsOfGameFolder() {
    std::map<std::string, Stamp> stamps;
    forEachEntry([&](const std::string& folder, const char* name, const struct stat& info) {
        Stamp& stamp = stamps[folder + "/" + name];
        stamp = {info.st_dev, info.st_ino, 0, info.st_mode};
        // A folder's size and times change with its entries.
        if (!S_ISDIR(info.st_mode)) {
            stamp.size = info.st_size;
            stamp.modified = {info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_ctim.tv_sec,
                              info.st_ctim.tv_nsec};
        }
    });
    return stamps;
}

// Empties the saves folder and removes the expansion's folder, for the next input.
void clearGameFolder() {
    std::vector<std::string> entries;
    forEachEntry([&](const std::string& folder, const char* name, const struct stat&) {
        if (folder != folders().game || std::strcmp(name, "saves") != 0)
            entries.push_back(folder + "/" + name);
    });
    std::error_code error;
    for (const std::string& entry : entries)
        if (fs::remove_all(entry, error) == static_cast<std::uintmax_t>(-1))
            fail("cannot remove " + entry + ": " + error.message());
}

// --- Saves made from the input ------------------------------------------------

// Synthetic saves are built once per process (building them is slow under the
// fuzzer's tracing of comparisons): every release, each in a few variations of
// campaign name, faction, settings and layout. An input picks one and may then
// store other values at the places savegen gives for its settings, change a few
// bytes or cut it short.
struct PooledSave {
    Bytes bytes;
    std::vector<savegen::FieldPlace> places;
};

const char* const releaseLabels[] = {"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"};
constexpr int variationCount = 16;

savegen::SaveSpec variation(int release, int v) {
    savegen::SaveSpec s = savegen::specForRelease(releaseLabels[release]);
    s.fillerSeed = static_cast<std::uint32_t>(release * variationCount + v + 1);
    switch (v) {
    case 1:
        s.campaignName = u"iron_dominion_plus"; // the known modification's names
        break;
    case 2:
        s.campaignName = u"\u00e4rger_&_kampagne_\u6771";
        break;
    case 3:
        s.campaignName = u"";
        break;
    case 4:
        s.campaignName = u"a_campaign_name_of_forty_units_long_xx_";
        break;
    case 5: // a late faction, whose entries lie near the anchor
        s.factionByte = 18;
        s.anchorGap = 64;
        break;
    case 6:
        s.timeLimitByte = 28;
        s.lengthFlagByte = 4;
        s.lengthValueByte = 20;
        s.campaignDifficulty = 3;
        s.battleDifficulty = 0;
        break;
    case 7:
        savegen::setUnitScale(s, 160);
        savegen::setYearAndSeason(s, 1, true, true);
        break;
    case 8:
        savegen::setUnitScale(s, 42); // not a number of the table
        break;
    case 9:
        savegen::setYearAndSeason(s, 9999, false, false);
        break;
    case 10:
        s.anchorGap = 1; // an odd shift
        break;
    case 11:
        s.omitAnchor = true;
        break;
    case 12:
        s.size = 3000; // cut before the later places
        break;
    case 13:
        s.omitNameTerminator = true;
        break;
    case 14:
        s.factionByte = 22; // no faction of that number
        break;
    case 15:
        s.campaignDifficulty = 5;
        s.battleDifficulty = 4;
        s.timeLimitByte = 0;
        s.lengthFlagByte = 1;
        break;
    default:
        break;
    }
    return s;
}

const PooledSave& pooledSave(int release, int v) {
    static std::map<int, PooledSave> pool;
    const int key = release * variationCount + v;
    if (const auto it = pool.find(key); it != pool.end())
        return it->second;
    const savegen::SaveSpec spec = variation(release, v);
    PooledSave save;
    try {
        save = {savegen::buildSave(spec), savegen::placesOf(spec)};
    } catch (const std::exception& x) {
        fail(std::string("savegen cannot build a pooled save: ") + x.what());
    }
    return pool[key] = std::move(save);
}

// A save for one file of the input: a synthetic one of any release and layout
// family, with other stored values, with a few bytes changed or cut short;
// bytes taken from the input; or an empty file.
Bytes saveBytes(FuzzedDataProvider& in, std::string& what) {
    const int kind = in.ConsumeIntegralInRange(0, 9);
    if (kind == 8) {
        what = "bytes of the input";
        return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 700));
    }
    if (kind == 9) {
        what = "empty";
        return {};
    }
    const int release = in.ConsumeIntegralInRange(0, 6);
    const int v = kind < 3 ? 0 : in.ConsumeIntegralInRange(0, variationCount - 1);
    const PooledSave& save = pooledSave(release, v);
    what = std::string("savegen ") + releaseLabels[release] + " variation " + std::to_string(v);
    Bytes bytes = save.bytes;
    if (kind == 6) { // other values where the game keeps a setting
        what += ", other stored values";
        for (int n = in.ConsumeIntegralInRange(1, 4); n > 0 && !save.places.empty(); --n) {
            const auto& place =
                save.places[in.ConsumeIntegralInRange<std::size_t>(0, save.places.size() - 1)];
            auto value = in.ConsumeIntegral<std::uint32_t>();
            for (int i = 0; i < place.width; ++i, value >>= 8)
                if (place.offset + i < static_cast<std::int64_t>(bytes.size()))
                    bytes[static_cast<std::size_t>(place.offset + i)] =
                        static_cast<std::uint8_t>(value);
        }
    }
    if (kind == 7 && !bytes.empty()) {
        what += ", bytes changed";
        for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n)
            bytes[in.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1)] =
                in.ConsumeIntegral<std::uint8_t>();
        if (in.ConsumeBool())
            bytes.resize(in.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
    }
    return bytes;
}

// --- The control-state rules, modelled apart from the editor -----------------

constexpr int setBoxes[] = {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                            idSetCampaignLength,     idSetUnitScale,        idSetYearAndSeason};

// What the rules read: whether a saved game is named, the six ticks (in the
// order of setBoxes) and whether the last load found an expansion save.
struct RuleInputs {
    bool named = false;
    std::array<bool, 6> ticks{};
    bool expansion = false;
};

RuleInputs ruleInputs(const SaveGameEditor& editor) {
    const EditorValues& v = editor.values();
    return {!v.sourcePath.empty(),
            {v.setCampaignDifficulty, v.setBattleDifficulty, v.setBattleTimeLimit,
             v.setCampaignLength, v.setUnitScale, v.setYearAndSeason},
            editor.saveGameInfo().version.isExpansion()};
}

// Whether the rules enable control `id`; nothing for Apply (checked on its
// own) and for the controls the rules never touch (always enabled).
std::optional<bool> ruledEnabled(int id, const RuleInputs& r) {
    const auto& t = r.ticks;
    switch (id) {
    case idRefresh:
    case idSetCampaignDifficulty:
    case idSetBattleDifficulty:
    case idSetBattleTimeLimit:
    case idSetUnitScale:
    case idSetYearAndSeason:
        return r.named;
    case idCampaignDifficulty:
        return t[0];
    case idBattleDifficulty:
        return t[1];
    case idNoBattleTimeLimit:
        return t[2];
    case idSetCampaignLength:
        return r.named && !r.expansion;
    case idShortCampaign:
        return t[3] && !r.expansion;
    case idUnitScaleClass:
    case idUnitScale:
    case idUnitScaleSpin:
        return t[4];
    case idYearLabel:
    case idYear:
    case idYearSpin:
    case idBC:
    case idAD:
    case idSummer:
    case idWinter:
        return t[5];
    default:
        return std::nullopt;
    }
}

// --- The host ------------------------------------------------------------------

// What the host saw during one action.
struct Seen {
    std::vector<std::string> messages;
    int integerPrompts = 0;
    int titles = 0; // each successful load sets the title
    int fileDialogs = 0;
    int aboutBoxes = 0;
};

class FuzzHost : public EditorHost {
  public:
    SaveGameEditor* editor = nullptr;
    bool echo = false;
    Seen seen;
    // The answer of the next file dialog; a dialog no Browse asked for fails.
    std::optional<std::optional<std::string>> fileDialogAnswer;
    bool busy = false;
    std::optional<int> modalResult;
    // Set at each successful load: the save it read, and its bytes then.
    std::optional<std::string> lastLoad;
    std::optional<Bytes> lastLoadBytes;

    void showMessage(const MessageBoxRequest& request) override {
        modal("a message box");
        if (request.caption != "Varnholt" || request.text.empty())
            fail("message box with caption \"" + request.caption + "\" and text \"" + request.text +
                 "\"");
        seen.messages.push_back(request.text);
        if (request.text == enterIntegerText)
            ++seen.integerPrompts;
    }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings&) override {
        modal("the file dialog");
        ++seen.fileDialogs;
        if (!fileDialogAnswer)
            fail("a file dialog that no click on Browse asked for");
        const auto answer = *fileDialogAnswer;
        fileDialogAnswer.reset();
        return answer;
    }
    void beginBusy() override {
        if (busy)
            fail("the busy cursor begun twice");
        busy = true;
    }
    void endBusy() override {
        if (!busy)
            fail("the busy cursor ended while not shown");
        busy = false;
    }
    void setWindowTitle(const std::string&) override {
        ++seen.titles;
        // Only a successful load sets the title, once its source path is final.
        lastLoad = editor->values().sourcePath;
        lastLoadBytes = readBytes(*lastLoad);
        if (!lastLoadBytes)
            fail("the save just loaded cannot be read: " + *lastLoad);
    }
    void setWindowIcon(int) override {}
    void attachPictures(int) override {}
    void addMenuEntries(const std::vector<MenuEntry>&) override {}
    void runAboutBox(const std::string& caption) override {
        modal("the About box");
        ++seen.aboutBoxes;
        if (caption != "Varnholt")
            fail("About box with message caption \"" + caption + "\"");
    }
    void setFocus(int) override {}
    void selectAllText(int) override {}
    void endModal(int result) override {
        if (modalResult)
            fail("the modal run ended twice");
        if (result != 1 && result != 2)
            fail("the modal run ended with " + std::to_string(result));
        modalResult = result;
    }

    // Mirrors the control into its widget, and passes on what a toolkit reports
    // of a programmatic change as if the user had done it.
    void controlChanged(int id) override {
        if (!editorDialog().find(id))
            fail("a report of control " + std::to_string(id) + ", which the layout lacks");
        if (editor->acceptsDrop(1))
            fail("control " + std::to_string(id) +
                 " reported while the editor takes user actions: its echo would be taken for the "
                 "user's");
        if (!echo)
            return;
        const ControlState now = editor->control(id);
        ControlState& widget = widgets_[id];
        const ControlState was = widget;
        widget = now;
        if (was.text != now.text)
            editor->userSetText(id, now.text);
        if (was.checked != now.checked)
            editor->userClick(id);
        if (was.selection != now.selection)
            editor->userSelect(id, now.selection);
        if (was.spinPosition != now.spinPosition)
            editor->userSpin(id, now.spinPosition - was.spinPosition);
    }

  private:
    void modal(const char* what) {
        if (busy)
            fail(std::string(what) + " shown under the busy cursor");
    }

    std::map<int, ControlState> widgets_; // a fresh widget until its first report
};

// --- Actions -------------------------------------------------------------------

enum class Act { Click, Text, Pick, Spin, Browse, Drop, Menu, Escape, Open, None };

// The action just taken, as the checks need it.
struct Action {
    Action(Act act = Act::None, int id = 0, int value = 0) : act(act), id(id), value(value) {}
    Act act = Act::None;
    int id = 0;
    int value = 0; // the index picked, the step or the menu command
    std::string text;
    std::vector<std::string> paths;
};

const std::vector<int>& layoutIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const ControlLayout& c : editorDialog().controls)
            if (c.id != noControlId)
                v.push_back(c.id);
        return v;
    }();
    return ids;
}

const std::vector<int>& allIds() {
    // Every identifier of the layout, and some it lacks.
    static const std::vector<int> ids = [] {
        std::vector<int> v = layoutIds();
        v.insert(v.end(), {0, noControlId, 2, 999, 1001, 1030, 0xFFFF, INT_MIN, INT_MAX});
        return v;
    }();
    return ids;
}

// The action in words, for the trace.
std::string describe(const Action& a) {
    const auto quoted = [](const std::string& text) {
        std::string q = "\"";
        for (const char c : text.size() > 120 ? text.substr(0, 120) + "..." : text) {
            const auto byte = static_cast<unsigned char>(c);
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            q += byte < 0x20 || byte >= 0x7f || c == '"' ? std::string(hex) : std::string(1, c);
        }
        return q + "\" (" + std::to_string(text.size()) + " bytes)";
    };
    std::string paths;
    for (const std::string& p : a.paths)
        paths += " " + quoted(p);
    switch (a.act) {
    case Act::Click:
        return "click " + std::to_string(a.id);
    case Act::Text:
        return "type into " + std::to_string(a.id) + ": " + quoted(a.text);
    case Act::Pick:
        return "pick " + std::to_string(a.value) + " in " + std::to_string(a.id);
    case Act::Spin:
        return "spin " + std::to_string(a.id) + " by " + std::to_string(a.value);
    case Act::Browse:
        return "Browse, answered with" + (a.paths.empty() ? std::string(" Cancel") : paths);
    case Act::Drop:
        return "drop " + std::to_string(a.paths.size()) + " files:" + paths;
    case Act::Menu:
        return "menu command " + std::to_string(static_cast<unsigned>(a.value));
    case Act::Escape:
        return "Escape";
    case Act::Open:
        return "open as the program's argument:" + paths;
    default:
        return "nothing";
    }
}

template <class T, std::size_t N> T pick(FuzzedDataProvider& in, const T (&options)[N]) {
    return options[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

const char* const slotNames[] = {"a.sav", "B.SAV", "c", "\xc3\xa9 \xe2\x82\xac.sav"};
constexpr int slotCount = static_cast<int>(std::size(slotNames));

class Session {
  public:
    explicit Session(FuzzedDataProvider& in) : in_(in) {}

    void run();

  private:
    std::string slotPath(int slot) const { return folders().saves + "/" + slotNames[slot]; }
    std::string pathChoice();
    std::string typedText(int id);
    Action decode();
    void perform(const Action& a);
    void changeFiles();
    // What the checks compare with: the state when the action began.
    struct Before {
        std::map<std::string, Stamp> files;
        bool open = false;
        std::vector<int> enabled; // the identifiers of the enabled controls
        std::string sourceText;   // the source path box
        bool expansion = false;
    };
    Before before(std::map<std::string, Stamp> files) const;
    void check(const Action& a, const Before& before);
    void checkApply();

    FuzzedDataProvider& in_;
    FuzzHost host_;
    std::optional<SaveGameEditor> editor_;
    RuleInputs rulesRanOn_;
    std::map<std::string, Stamp> files_; // the files as the last check found them
};

// Random bytes become a name inside the saves folder, never a path that could
// name a file elsewhere (the fuzzer writes beside whatever it loads).
std::string nameFrom(std::string random) {
    for (char& c : random)
        if (c == '/' || c == '\0')
            c = '_';
    return random;
}

std::string Session::pathChoice() {
    const Folders& f = folders();
    switch (in_.ConsumeIntegralInRange(0, 13)) {
    case 0:
    case 1:
    case 2:
    case 3:
        return slotPath(in_.ConsumeIntegralInRange(0, slotCount - 1));
    case 4:
        return f.saves + "/../saves/./" + slotNames[in_.ConsumeIntegralInRange(0, slotCount - 1)];
    case 5:
        return f.saves + "/missing.sav";
    case 6:
        return f.saves; // a folder
    case 7:
        return f.root + "/no-folder/x.sav";
    case 8:
        return "";
    case 9:
        return "varnholt-fuzz-missing.sav"; // relative, and never there
    case 10:
        return editor_->values().outputPath; // a copy made by Apply, once there is one
    case 11:
        return f.saves + "/link.sav"; // a link to the first save
    case 12:
        return slotPath(0) + "/";
    default:
        return f.saves + "/" + nameFrom(in_.ConsumeRandomLengthString(64));
    }
}

std::string Session::typedText(int id) {
    static const char* const numbers[] = {
        "12a",         "+7",    "-5",  "  42", "-", "abc", "2147483647", "-2147483648",
        "2147483648",  "99999", "0",   "270",  "1", " ",   "\t3",        "45",
        "-2147483649", "0x10",  "1e3", "-0",   "+", "- 5", "00012",      "\xd9\xa3"};
    static const char* const strange[] = {"\xc3\xa4rger",
                                          "\xe6\x9d\xb1\xe4\xba\xac",
                                          "\xf0\x9f\x98\x80",
                                          "\xff\xfe",
                                          "\xc3",
                                          "\xe2\x82",
                                          "a\x80z",
                                          "\xc0\xaf",
                                          "\xed\xa0\x80"};
    const bool path = id == idSourcePath;
    switch (in_.ConsumeIntegralInRange(0, 9)) {
    case 0:
        return "";
    case 1:
        return pathChoice();
    case 2:
        return pick(in_, numbers);
    case 3: { // over-long, in ASCII or in characters of two bytes
        if (in_.ConsumeBool())
            return std::string(in_.ConsumeIntegralInRange(5, 5000), '7');
        std::string s;
        for (int n = in_.ConsumeIntegralInRange(2, 600); n > 0; --n)
            s += "\xc3\xa9";
        return s;
    }
    case 4:
        return pick(in_, strange);
    case 5: {
        const std::string random = in_.ConsumeRandomLengthString(300);
        return path ? folders().saves + "/" + nameFrom(random) : random;
    }
    case 6: { // a keystroke: one more character, or one less
        const std::string current = editorDialog().find(id) ? editor_->control(id).text : "";
        if (!current.empty() && in_.ConsumeBool())
            return current.substr(0, current.size() - 1);
        return current + static_cast<char>(in_.ConsumeIntegralInRange('0', '9'));
    }
    case 7:
        return pathChoice() + nameFrom(in_.ConsumeRandomLengthString(8));
    case 8:
        return std::string(pick(in_, strange)) + pick(in_, numbers);
    default:
        return std::to_string(in_.ConsumeIntegral<std::int32_t>());
    }
}

Action Session::decode() {
    static const int valueButtons[] = {
        idNoBattleTimeLimit, idShortCampaign, idBC, idAD, idSummer, idWinter};
    static const int lists[] = {idCampaignDifficulty, idBattleDifficulty, idUnitScaleClass};
    static const int spins[] = {idUnitScaleSpin, idYearSpin};
    static const int steps[] = {1, -1, 5, -5, 20, -20, 0, 2, INT_MAX, INT_MIN};
    static const int indices[] = {-1, 0, 1, 2, 3, 4, -2, INT_MIN, INT_MAX};
    static const unsigned otherCommands[] = {0, 15, 32, 0xF060, 0xF010, UINT_MAX};
    const auto anyId = [&] {
        return allIds()[in_.ConsumeIntegralInRange<std::size_t>(0, allIds().size() - 1)];
    };

    Action a;
    switch (in_.ConsumeIntegralInRange(0, 17)) {
    case 0:
    case 1:
        a = {Act::Click, pick(in_, setBoxes)};
        break;
    case 2:
        a = {Act::Click, pick(in_, valueButtons)};
        break;
    case 3:
        a = {Act::Click, anyId()};
        break;
    case 4:
        a = {Act::Text, idSourcePath};
        break;
    case 5:
        a = {Act::Text, idYear};
        break;
    case 6:
        a = {Act::Text, anyId()};
        break;
    case 7:
        a = {Act::Pick, in_.ConsumeIntegralInRange(0, 7) == 0 ? anyId() : pick(in_, lists),
             pick(in_, indices)};
        if (in_.ConsumeBool())
            a.value = in_.ConsumeIntegralInRange(-1, 4);
        break;
    case 8:
        a = {Act::Spin, in_.ConsumeIntegralInRange(0, 7) == 0 ? anyId() : pick(in_, spins),
             in_.ConsumeBool() ? pick(in_, steps) : in_.ConsumeIntegral<int>()};
        break;
    case 9:
        a = {Act::Click, idRefresh};
        break;
    case 10:
    case 11:
        a = {Act::Click, idApply};
        break;
    case 12:
        a = {Act::Browse, idBrowse};
        break;
    case 13:
        a = {Act::Drop};
        for (int n = in_.ConsumeIntegralInRange(0, 7) < 5 ? 1 : in_.ConsumeIntegralInRange(0, 3);
             n > 0; --n)
            a.paths.push_back(pathChoice());
        break;
    case 14:
        a = {Act::Menu, 0,
             static_cast<int>(in_.ConsumeBool() ? in_.ConsumeIntegralInRange(16u, 31u)
                                                : pick(in_, otherCommands))};
        break;
    case 15:
        a = {in_.ConsumeIntegralInRange(0, 3) == 0 ? Act::Escape : Act::Click, idOk};
        break;
    case 16:
        a = {Act::Open};
        a.paths.push_back(pathChoice());
        break;
    default:
        break;
    }
    if (a.act == Act::Text)
        a.text = typedText(a.id);
    // A click on Browse opens the file dialog, which the user answers with a
    // file or Cancel (nothing).
    if (a.act == Act::Click && a.id == idBrowse)
        a.act = Act::Browse;
    if (a.act == Act::Browse && in_.ConsumeIntegralInRange(0, 4) != 0)
        a.paths.push_back(pathChoice());
    return a;
}

void Session::perform(const Action& a) {
    SaveGameEditor& e = *editor_;
    switch (a.act) {
    case Act::Click:
        e.userClick(a.id);
        break;
    case Act::Text:
        e.userSetText(a.id, a.text);
        break;
    case Act::Pick:
        e.userSelect(a.id, a.value);
        break;
    case Act::Spin:
        e.userSpin(a.id, a.value);
        break;
    case Act::Browse:
        host_.fileDialogAnswer = a.paths.empty() ? std::optional<std::string>() : a.paths.front();
        e.userClick(idBrowse);
        host_.fileDialogAnswer.reset();
        break;
    case Act::Drop:
        e.userDropFiles(a.paths);
        break;
    case Act::Menu: {
        const auto command = static_cast<unsigned>(a.value);
        if (e.userMenuCommand(command) != (command == aboutCommandId))
            fail("menu command " + std::to_string(command) + " answered wrongly");
        break;
    }
    case Act::Escape:
        e.userPressEscape();
        break;
    case Act::Open:
        e.openSaveGame(a.paths.front());
        break;
    case Act::None:
        break;
    }
}

// Changes on disk between two actions, as another program could make them.
void Session::changeFiles() {
    const Folders& f = folders();
    const std::string output = editor_->values().outputPath;
    std::error_code error;
    const int change = in_.ConsumeIntegralInRange(0, 5);
    static const char* const changes[] = {"a save replaced",
                                          "a save removed",
                                          "the expansion's folder made or removed",
                                          "a file made at the output name",
                                          "a folder made at the output name",
                                          "the file at the output name made read-only"};
    if (tracing())
        std::fprintf(stderr, "editor_fuzzer: on disk: %s\n", changes[change]);
    switch (change) {
    case 0: { // another save under a name already loaded
        const int slot = in_.ConsumeIntegralInRange(0, slotCount - 1);
        std::string what;
        const Bytes bytes = saveBytes(in_, what);
        if (tracing())
            std::fprintf(stderr, "editor_fuzzer: %s replaced by %s (%zu bytes)\n",
                         slotPath(slot).c_str(), what.c_str(), bytes.size());
        writeBytes(slotPath(slot), bytes);
        break;
    }
    case 1:
        fs::remove(slotPath(in_.ConsumeIntegralInRange(0, slotCount - 1)), error);
        break;
    case 2:
        if (!fs::remove(f.bi, error))
            fs::create_directory(f.bi, error);
        break;
    case 3: // the output name taken between the load and Apply
        if (!output.empty())
            writeBytes(output, in_.ConsumeBytes<std::uint8_t>(in_.ConsumeIntegralInRange(0, 64)));
        break;
    case 4:
        if (!output.empty())
            fs::create_directory(output, error);
        break;
    default:
        if (!output.empty())
            ::chmod(output.c_str(), 0444);
    }
    if (host_.lastLoad)
        host_.lastLoadBytes = readBytes(*host_.lastLoad);
}

// The request the window shows once Apply has written its values back: what
// the user sees ticked, picked and typed, read from the controls, not from the
// editor's own values, so that a fault in forming the request is seen. A list
// without a selection stands for the first level; what the save cannot take
// (core's validate) is left out, and nothing else may be found there.
EditRequest requestFrom(const SaveGameEditor& editor) {
    const auto checked = [&](int id) { return editor.control(id).checked; };
    const auto picked = [&](int id) {
        return static_cast<Difficulty>(std::max(editor.control(id).selection, 0));
    };
    const auto number = [&](int id) { return parseInteger(editor.control(id).text).value_or(-1); };
    EditRequest r;
    if (checked(idSetCampaignDifficulty))
        r.campaignDifficulty = picked(idCampaignDifficulty);
    if (checked(idSetBattleDifficulty))
        r.battleDifficulty = picked(idBattleDifficulty);
    if (checked(idSetBattleTimeLimit))
        r.noBattleTimeLimit = checked(idNoBattleTimeLimit);
    if (checked(idSetCampaignLength))
        r.shortCampaign = checked(idShortCampaign);
    if (checked(idSetUnitScale))
        r.unitScale = number(idUnitScale);
    if (checked(idSetYearAndSeason)) {
        const Era era = checked(idAD) ? Era::AD : Era::BC;
        const std::int64_t shown = number(idYear);
        // The one BC year kept as stored, 2147483648, shows as its stored value.
        r.yearAndSeason = YearAndSeason{era == Era::BC && shown == INT32_MIN ? -shown : shown, era,
                                        checked(idWinter) ? Season::Winter : Season::Summer};
    }
    for (const RequestProblem problem : validate(r, editor.saveGameInfo().version)) {
        if (problem != RequestProblem::NoCampaignLengthSetting)
            fail("the window shows a request the save cannot take");
        r.shortCampaign.reset();
    }
    return r;
}

struct Stats {
    unsigned long long sequences = 0, actions = 0, loads = 0, applies = 0;
    ~Stats() {
        if (std::getenv("EDITOR_FUZZER_STATS"))
            std::fprintf(
                stderr,
                "editor_fuzzer: %llu sequences, %llu actions, %llu loads, %llu applies compared\n",
                sequences, actions, loads, applies);
    }
} stats;

// An Apply that said it succeeded: its copy must be what core writes for the
// same request from the same save.
void Session::checkApply() {
    const SaveGameEditor& e = *editor_;
    const std::string reference = folders().ref + "/copy.sav";
    std::error_code error;
    fs::remove(reference, error);
    const ApplyOutcome outcome = applyChanges(e.values().sourcePath, reference,
                                              loadedLayout(e.saveGameInfo()), requestFrom(e));
    if (!outcome.written)
        fail("Apply said it succeeded, but applyChanges refuses the same request");
    std::vector<std::string> texts;
    for (const ApplyProblem& problem : outcome.problems)
        texts.push_back(applyProblemText(problem, e.values().sourcePath, e.values().outputPath));
    if (texts != host_.seen.messages)
        fail("Apply showed other messages than applyChanges gives for the same request");
    const auto written = readBytes(e.values().outputPath);
    if (!written || *written != readBytes(reference).value_or(Bytes{}))
        fail("the copy Apply wrote at " + e.values().outputPath +
             " differs from what applyChanges writes for the same request");
    ++stats.applies;
}

Session::Before Session::before(std::map<std::string, Stamp> files) const {
    const SaveGameEditor& e = *editor_;
    Before b{std::move(files),
             !e.modalResult(),
             {},
             e.control(idSourcePath).text,
             e.saveGameInfo().version.isExpansion()};
    for (const int id : layoutIds())
        if (e.control(id).enabled)
            b.enabled.push_back(id);
    return b;
}

void Session::check(const Action& a, const Before& before) {
    SaveGameEditor& e = *editor_;
    const Seen& seen = host_.seen;
    if (host_.busy)
        fail("the busy cursor is still shown after the action");
    if (seen.fileDialogs > 0 && a.act != Act::Browse)
        fail("a file dialog opened by an action other than Browse");
    if (seen.aboutBoxes > 0 &&
        !(a.act == Act::Menu && static_cast<unsigned>(a.value) == aboutCommandId))
        fail("an About box opened by an action other than the About command");
    if (host_.modalResult != e.modalResult())
        fail("the modal result differs from what the host was told");
    if (seen.titles > 0)
        ++stats.loads;

    const bool clicked = a.act == Act::Click || a.act == Act::Browse;
    const auto enabledBefore = [&](int id) {
        return std::find(before.enabled.begin(), before.enabled.end(), id) != before.enabled.end();
    };
    const bool wasOpen = before.open;
    const bool applyClicked = wasOpen && clicked && a.id == idApply && enabledBefore(idApply);
    // Apply succeeded when it says so and showed no error: the unit-scale notice
    // comes with a copy written all the same.
    bool applied = false;
    if (applyClicked && e.control(idStatusLine).text == appliedStatusText &&
        seen.integerPrompts == 0) {
        applied = true;
        const std::string unitScaleNotChanged =
            applyProblemText({ApplyProblemKind::UnitScaleNotRecognised}, {}, {});
        for (const std::string& m : seen.messages)
            applied = applied && m == unitScaleNotChanged;
    }

    // Files: only a successful Apply writes, and only its output; the save of
    // the last load keeps its bytes.
    files_ = stampsOfGameFolder();
    const auto& after = files_;
    for (const auto& [path, stamp] : after) {
        const auto was = before.files.find(path);
        if (was != before.files.end() && was->second == stamp)
            continue;
        if (!applied || path != canonical(e.values().outputPath) ||
            (host_.lastLoad && path == canonical(*host_.lastLoad)))
            fail("\"" + path + "\" was written by an action that may not write it");
    }
    for (const auto& [path, stamp] : before.files)
        if (!after.count(path))
            fail("\"" + path + "\" was removed by an action");
    if (host_.lastLoad && readBytes(*host_.lastLoad) != host_.lastLoadBytes)
        fail("the save of the last load was changed: " + *host_.lastLoad);
    if (applied)
        checkApply();

    // The control-state rules. They run at initialisation, on a click of an
    // enabled Set box, on a change of the source path box's text (a drop and the
    // program's argument put their path there first) and at the end of every
    // successful load; they run successfully unless readControls stops at a
    // number box without an integer, which the prompt tells. A failed load runs
    // no rules, and a failed readControls may have read some values before it
    // stopped, so the flags cannot be checked against the values of now after
    // every action. Instead the inputs of the last successful run are tracked
    // from what each action did, and every action is checked against them: the
    // values now when the action ran the rules last, the values of the path put
    // into the source path box and the release before the action when a load failed after
    // the rules ran (a drop, the argument), the path and release of a picked file
    // whose load failed for the rules that follow the path (Browse), and the
    // inputs of an earlier run
    // otherwise, which also proves that every other action leaves the flags
    // alone. Apply is checked against the output name itself: a failed load
    // withdraws both together.
    if (wasOpen && seen.integerPrompts == 0) {
        const bool setBoxClicked =
            a.act == Act::Click &&
            std::find(std::begin(setBoxes), std::end(setBoxes), a.id) != std::end(setBoxes) &&
            enabledBefore(a.id);
        const bool pathTyped =
            a.act == Act::Text && a.id == idSourcePath && a.text != before.sourceText;
        const bool opened = a.act == Act::Open || (a.act == Act::Drop && a.paths.size() == 1);
        if (setBoxClicked || pathTyped || seen.titles > 0)
            rulesRanOn_ = ruleInputs(e);
        else if (opened) {
            // The rules ran on the path put into the source path box, then the load failed,
            // perhaps after changing the release.
            rulesRanOn_ = ruleInputs(e);
            rulesRanOn_.expansion = before.expansion;
        } else if (a.act == Act::Browse && seen.fileDialogs > 0 && !a.paths.empty() &&
                   !a.paths.front().empty()) {
            // A picked file whose load failed: Refresh, the Set boxes and the
            // long/short campaign group follow the path the box now shows and
            // the release the load left; the other rules did not run.
            rulesRanOn_.named = !e.values().sourcePath.empty();
            rulesRanOn_.ticks[3] = e.values().setCampaignLength;
            rulesRanOn_.expansion = e.saveGameInfo().version.isExpansion();
        }
    }
    for (const int id : layoutIds()) {
        const bool enabled = e.control(id).enabled;
        const auto ruled = ruledEnabled(id, rulesRanOn_);
        const bool expected = id == idApply ? !e.values().outputPath.empty() : ruled.value_or(true);
        if (enabled != expected)
            fail("control " + std::to_string(id) + " is " + (enabled ? "enabled" : "disabled") +
                 " against the control-state rules");
    }
}

void Session::run() {
    const Folders& f = folders();
    clearGameFolder();
    std::error_code error;

    const auto setup = in_.ConsumeIntegral<std::uint8_t>();
    host_.echo = setup & 1;
    if (setup & 2)
        fs::create_directory(f.bi, error);
    if (tracing())
        std::fprintf(stderr, "editor_fuzzer: echo %s, expansion folder %s, program folder %s\n",
                     setup & 1 ? "on" : "off", setup & 2 ? "made" : "none",
                     setup & 4 ? "empty" : "given");
    for (int slot = 0; slot < slotCount; ++slot) {
        std::string what;
        const Bytes bytes = saveBytes(in_, what);
        if (tracing())
            std::fprintf(stderr, "editor_fuzzer: %s: %s (%zu bytes)\n", slotPath(slot).c_str(),
                         what.c_str(), bytes.size());
        if (!writeBytes(slotPath(slot), bytes))
            fail("cannot write " + slotPath(slot));
    }
    fs::create_symlink(slotNames[0], f.saves + "/link.sav", error);

    const std::string programFolder = setup & 4 ? std::string() : f.root;
    FileQueries files = systemFileQueries();
    files.homeFolder = [] { return std::optional<std::string>(folders().root); };
    editor_.emplace(host_, programFolder, "Varnholt", files);
    host_.editor = &*editor_;
    try {
        editor_->initialise();
    } catch (const std::exception& x) {
        fail(std::string("initialise threw: ") + x.what());
    }
    rulesRanOn_ = ruleInputs(*editor_);

    ++stats.sequences;
    files_ = stampsOfGameFolder();
    for (int n = 0; n < 128 && in_.remaining_bytes() > 0; ++n) {
        if (in_.ConsumeIntegralInRange(0, 15) == 0) {
            changeFiles();
            files_ = stampsOfGameFolder();
            continue;
        }
        const Action a = decode();
        if (tracing())
            std::fprintf(stderr, "editor_fuzzer: %s\n", describe(a).c_str());
        const Before was = before(std::move(files_));
        host_.seen = {};
        try {
            perform(a);
        } catch (const std::exception& x) {
            fail(std::string("an action threw: ") + x.what());
        } catch (...) {
            fail("an action threw");
        }
        ++stats.actions;
        check(a, was);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Session(in).run();
    return 0;
}
