#include "editor/SaveGameEditor.h"

#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"
#include "editor/BrowseDialog.h"
#include "window/IntegerText.h"
#include "window/WindowMenu.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnholt {

namespace {

using BusyHold = BusyCursorKeeper<EditorHost>::Hold;
using BusyLift = BusyCursorKeeper<EditorHost>::Lift;

constexpr std::array<int, 6> setBoxes = {idSetCampaignDifficulty, idSetBattleDifficulty,
                                         idSetBattleTimeLimit,    idSetCampaignLength,
                                         idSetUnitScale,          idSetYearAndSeason};

} // namespace

SaveGameEditor::SaveGameEditor(EditorHost& host, std::string programFolder,
                               std::string applicationName, FileQueries files)
    : host_(host), programFolder_(std::move(programFolder)),
      applicationName_(std::move(applicationName)), files_(std::move(files)),
      dialog_(
          editorDialog(), [this](int id) { host_.controlChanged(id); }, events()),
      busyCursor_(host), windowTitle_(editorDialog().caption) {}

// The event table: which of the window's operations each user action runs.
DialogEvents SaveGameEditor::events() {
    DialogEvents e;
    e.clicked = [this](int id) {
        if (id == idBrowse)
            OnBrowse();
        else if (id == idApply)
            OnApply();
        else if (id == idRefresh)
            OnRefresh();
        else if (id == idOk)
            OnClose();
        else if (std::find(setBoxes.begin(), setBoxes.end(), id) != setBoxes.end())
            UpdateControlStates();
    };
    e.textChanged = [this](int id) {
        if (id == idSourcePath)
            UpdateControlStates();
    };
    e.selectionChanged = [this](int id) {
        if (id == idUnitScaleClass)
            OnUnitScaleClassChanged();
    };
    e.spinStepping = [this](int id, int position, int step) {
        return id == idUnitScaleSpin ? OnUnitScaleSpin(position, step) : step;
    };
    e.escape = [this] { OnCancel(); };
    return e;
}

void SaveGameEditor::initialise() {
    if (dialog_.isOpen() || modalResult_)
        return;
    const DialogState::Busy busy(dialog_);
    // The lists' items, the length limits and the spin ranges reach the widgets.
    dialog_.reportAll();
    WriteControls();
    if (const auto menuEntries = aboutMenuEntries(localized(aboutMenuText)); !menuEntries.empty())
        host_.addMenuEntries(menuEntries);
    host_.setWindowIcon(dialog_.layout().iconId);
    values_.windowCaption = windowTitle_;
    host_.attachPictures(idRefresh);
    UpdateControlStates();
    host_.setFocus(idSourcePath);
    dialog_.open();
}

bool SaveGameEditor::openSaveGame(const std::string& path) {
    if (!dialog_.accepting())
        return false;
    const DialogState::Busy busy(dialog_);
    // As typed: the box takes the path and the rules follow it; then as Refresh.
    dialog_.setText(idSourcePath, path);
    if (!UpdateControlStates())
        return false;
    return loadCommand();
}

bool SaveGameEditor::acceptsDrop(std::size_t fileCount) const {
    return fileCount > 0 && dialog_.accepting();
}

void SaveGameEditor::userDropFiles(const std::vector<std::string>& paths) {
    if (!acceptsDrop(paths.size()))
        return;
    if (paths.size() == 1) {
        openSaveGame(paths.front());
        return;
    }
    // Which of several files was meant is the user's to say.
    const DialogState::Busy busy(dialog_);
    showMessage(std::string(localized(dropOneFileText)), MessageIcon::Warning);
}

void SaveGameEditor::showMessage(const std::string& text, MessageIcon icon) {
    const BusyLift lift(busyCursor_);
    host_.showMessage({applicationName_, text, icon});
}

// --- Exchange and control-state rules -----------------------------------------

bool SaveGameEditor::exchange(bool reading) {
    const DialogState::Busy busy(dialog_);
    DialogState& d = dialog_;
    const auto text = [&](int id, std::string& value) {
        if (reading)
            value = d.control(id).text;
        else
            d.setText(id, value);
    };
    const auto tick = [&](int id, bool& value) {
        if (reading)
            value = d.control(id).checked;
        else
            d.setChecked(id, value);
    };
    const auto listIndex = [&](int id, int& value) {
        if (reading)
            value = d.control(id).selection;
        else
            d.setSelection(id, value);
    };
    const auto integer = [&](int id, std::int32_t& value) {
        if (!reading) {
            d.setText(id, formatInteger(value));
            return true;
        }
        const auto parsed = parseInteger(d.control(id).text);
        if (!parsed) {
            showMessage(std::string(localized(enterIntegerText)), MessageIcon::Warning);
            host_.setFocus(id);
            host_.selectAllText(id);
            return false;
        }
        value = *parsed;
        return true;
    };
    // A pair of radio buttons stands for a flag: the second one ticked is
    // true. With neither ticked (the model never leaves it so), the flag keeps
    // its value.
    const auto radioPair = [&](int firstId, bool& secondTicked) {
        if (!reading)
            d.setRadioChoice(firstId, secondTicked ? 1 : 0);
        else if (const int choice = d.radioChoice(firstId); choice >= 0)
            secondTicked = choice == 1;
    };

    text(idOutputPath, values_.outputPath);
    text(idSourcePath, values_.sourcePath);
    tick(idSetCampaignDifficulty, values_.setCampaignDifficulty);
    tick(idSetBattleDifficulty, values_.setBattleDifficulty);
    tick(idSetBattleTimeLimit, values_.setBattleTimeLimit);
    tick(idNoBattleTimeLimit, info_.noBattleTimeLimit);
    tick(idSetCampaignLength, values_.setCampaignLength);
    tick(idShortCampaign, info_.shortCampaign);
    listIndex(idCampaignDifficulty, info_.campaignDifficulty);
    listIndex(idBattleDifficulty, info_.battleDifficulty);
    tick(idSetUnitScale, values_.setUnitScale);
    listIndex(idUnitScaleClass, info_.unitScaleClass);
    if (!integer(idUnitScale, info_.unitScale))
        return false;
    // The status line has a place in the list only to bind it; it has no value.
    // The names of the loaded game are shown only: the user cannot change them.
    const auto shown = [&](int id, std::string_view value) {
        if (!reading)
            d.setText(id, std::string(value));
    };
    shown(idReleaseLabel, info_.version.releaseLabel);
    shown(idCampaignName, info_.campaignName);
    // The faction in the player's language; the campaign is named by the save.
    shown(idFactionName, localized(info_.factionName));
    tick(idSetYearAndSeason, values_.setYearAndSeason);
    if (!integer(idYear, info_.year))
        return false;
    radioPair(idBC, info_.isAD);
    radioPair(idSummer, info_.isWinter);
    return true;
}

bool SaveGameEditor::ReadControls() {
    return exchange(true);
}

void SaveGameEditor::WriteControls() {
    exchange(false);
}

bool SaveGameEditor::UpdateControlStates() {
    const DialogState::Busy busy(dialog_);
    if (!ReadControls())
        return false;
    DialogState& d = dialog_;
    followSourcePath();
    d.setEnabled(idApply, !values_.outputPath.empty());
    d.setEnabled(idCampaignDifficulty, values_.setCampaignDifficulty);
    d.setEnabled(idBattleDifficulty, values_.setBattleDifficulty);
    d.setEnabled(idNoBattleTimeLimit, values_.setBattleTimeLimit);
    for (int id : {idUnitScaleClass, idUnitScale, idUnitScaleSpin})
        d.setEnabled(id, values_.setUnitScale);
    for (int id : {idYearLabel, idYear, idYearSpin, idBC, idAD, idSummer, idWinter})
        d.setEnabled(id, values_.setYearAndSeason);
    d.setText(idStatusLine, "");
    return true;
}

// The rules that follow whether a saved game is named, and the release it is
// of: Refresh, the Set boxes and the long/short campaign group.
void SaveGameEditor::followSourcePath() {
    const bool named = !values_.sourcePath.empty();
    const bool expansion = info_.version.isExpansion();
    dialog_.setEnabled(idRefresh, named);
    for (int id : {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                   idSetUnitScale, idSetYearAndSeason})
        dialog_.setEnabled(id, named);
    dialog_.setEnabled(idSetCampaignLength, named && !expansion);
    dialog_.setEnabled(idShortCampaign, values_.setCampaignLength && !expansion);
}

// --- Load command -----------------------------------------------------------------

void SaveGameEditor::fillDifficultyLists() {
    std::vector<std::string> names;
    for (const std::string& name : info_.difficultyNames)
        names.emplace_back(localized(name));
    dialog_.setItems(idCampaignDifficulty, names);
    dialog_.setItems(idBattleDifficulty, names);
}

void SaveGameEditor::dropOutputName() {
    // Without a name for the game now in memory, the earlier name must not stay
    // usable: an apply would write one game's copy under a name chosen for
    // another, or with positions from two loads.
    values_.outputPath.clear();
    lastLoad_.reset();
    dialog_.setText(idOutputPath, "");
    dialog_.setEnabled(idApply, false);
}

bool SaveGameEditor::loadCommand() {
    const DialogState::Busy busy(dialog_);
    const BusyHold hold(busyCursor_);
    // Whatever the outcome, an earlier success must not stay on show.
    dialog_.setText(idStatusLine, "");
    // A path typed relative to the current folder stands for its full path,
    // which the output name and every later message then use.
    if (!values_.sourcePath.empty()) {
        values_.sourcePath = fullPath(values_.sourcePath);
        dialog_.setText(idSourcePath, values_.sourcePath);
    }

    // The loader replaces the difficulty names once it has found the campaign
    // name, even when it fails later; the lists must then show the new names.
    const SaveGameInfo before = info_;
    const bool loaded = loadSaveGame(
        values_.sourcePath, info_,
        [this](const LoadMessage& message) {
            showMessage(message.text, message.severity == Severity::Error ? MessageIcon::Error
                                                                          : MessageIcon::Warning);
        },
        [this] { fillDifficultyLists(); });
    mixedByFailedLoad_.reset();
    if (!loaded) {
        if (info_ != before)
            mixedByFailedLoad_ = values_.sourcePath;
        dropOutputName();
        return false;
    }

    const OutputNameResult name = makeOutputName(values_.sourcePath, files_.pathExists);
    if (!name.name) {
        showMessage(name.message, MessageIcon::Error);
        dropOutputName();
        return false;
    }
    values_.outputPath = *name.name;
    lastLoad_ = LoadedGame{values_.sourcePath, loadedLayout(info_)};
    windowTitle_ = values_.windowCaption + " - " + values_.outputPath;
    host_.setWindowTitle(windowTitle_);
    WriteControls();
    UpdateControlStates();
    dialog_.setText(idStatusLine, std::string(localized(loadedStatusText)));
    return true;
}

// --- Commands -----------------------------------------------------------------------

void SaveGameEditor::OnBrowse() {
    const DialogState::Busy busy(dialog_);
    std::optional<std::string> picked;
    {
        const BusyLift lift(busyCursor_);
        picked = host_.runOpenFileDialog(
            browseDialogSettings(values_.sourcePath, programFolder_, files_));
    }
    if (picked)
        loadPicked(*picked);
}

void SaveGameEditor::userPickedFile(const std::string& path) {
    if (!dialog_.accepting())
        return;
    const DialogState::Busy busy(dialog_);
    loadPicked(path);
}

void SaveGameEditor::loadPicked(const std::string& path) {
    if (path.empty())
        return;
    values_.sourcePath = path;
    // The load shows the path in the box, whatever its outcome. A failed load
    // runs no rules, but the box now names the picked file: Refresh
    // and the Set boxes follow it, as they follow a typed path (the controls
    // are not read, so no prompt can stand in the way of the load's own box).
    if (!loadCommand())
        followSourcePath();
}

void SaveGameEditor::OnRefresh() {
    const DialogState::Busy busy(dialog_);
    if (!ReadControls())
        return;
    loadCommand();
}

EditRequest SaveGameEditor::editRequest() const {
    EditRequest r;
    r.setCampaignDifficulty = values_.setCampaignDifficulty;
    r.campaignDifficulty = info_.campaignDifficulty;
    r.setBattleDifficulty = values_.setBattleDifficulty;
    r.battleDifficulty = info_.battleDifficulty;
    r.setBattleTimeLimit = values_.setBattleTimeLimit;
    r.noBattleTimeLimit = info_.noBattleTimeLimit;
    // Kept even for an expansion save, where the writer leaves the group out.
    r.setCampaignLength = values_.setCampaignLength;
    r.shortCampaign = info_.shortCampaign;
    r.setUnitScale = values_.setUnitScale;
    r.unitScale = info_.unitScale;
    r.setYearAndSeason = values_.setYearAndSeason;
    r.year = info_.year;
    r.isAD = info_.isAD ? 1 : 0;
    r.isWinter = info_.isWinter ? 1 : 0;
    return r;
}

void SaveGameEditor::OnApply() {
    const DialogState::Busy busy(dialog_);
    if (!ReadControls())
        return;
    const BusyHold hold(busyCursor_);
    if (values_.outputPath.empty() || !lastLoad_) {
        // Apply is disabled then; should it be pressed all the same, a record
        // mixed by a failed load is worth a word.
        if (mixedByFailedLoad_)
            showMessage(withPath(failedLoadText, *mixedByFailedLoad_), MessageIcon::Error);
        return;
    }
    WriteControls();
    // The positions belong to the file the last successful load read; a path
    // typed over since then names bytes they were never learnt from.
    if (values_.sourcePath != lastLoad_->path) {
        showMessage(withPath(notLoadedFileText, values_.sourcePath), MessageIcon::Error);
        return;
    }
    // The success of an earlier Apply must not stay on show beside this one's
    // error boxes; the text of the load, still true, stays.
    if (dialog_.control(idStatusLine).text == localized(appliedStatusText))
        dialog_.setText(idStatusLine, "");
    const ApplyOutcome outcome =
        applyChanges(lastLoad_->path, values_.outputPath, lastLoad_->layout, editRequest());
    for (const std::string& text : outcome.errorTexts)
        showMessage(text, MessageIcon::Error);
    if (outcome.written) {
        dialog_.setText(idStatusLine, std::string(localized(appliedStatusText)));
        host_.savedGameWritten(values_.outputPath);
    }
}

void SaveGameEditor::endModal(int result) {
    modalResult_ = result;
    dialog_.close();
    host_.endModal(result);
}

void SaveGameEditor::OnClose() {
    const DialogState::Busy busy(dialog_);
    if (!ReadControls())
        return;
    endModal(idOk);
}

void SaveGameEditor::OnCancel() {
    endModal(idCancel);
}

bool SaveGameEditor::OnAboutCommand(unsigned commandId) {
    if (!isAboutCommand(commandId))
        return false;
    if (!dialog_.accepting())
        return true;
    const DialogState::Busy busy(dialog_);
    const BusyLift lift(busyCursor_);
    host_.runAboutBox(applicationName_);
    return true;
}

void SaveGameEditor::OnUnitScaleClassChanged() {
    const DialogState::Busy busy(dialog_);
    if (!ReadControls())
        return;
    if (info_.unitScaleClass >= 0 && info_.unitScaleClass < 4)
        info_.unitScale = unitScaleForClass(info_.unitScaleClass);
    WriteControls();
}

int SaveGameEditor::OnUnitScaleSpin(int position, int proposedStep) {
    const DialogState::Busy busy(dialog_);
    // The number always moves to its neighbour in the table, however the
    // platform's spin has sped up.
    const int step = proposedStep > 0 ? 5 : -5;
    const std::int64_t target = static_cast<std::int64_t>(position) + step;
    if (target >= unitScaleTable().front().number && target <= unitScaleTable().back().number)
        if (const auto row = unitScaleByNumber(static_cast<int>(target))) {
            info_.unitScaleClass = row->sizeClass;
            dialog_.setSelection(idUnitScaleClass, row->sizeClass);
        }
    return step;
}

} // namespace varnholt
