#include "editor/SaveGameEditor.h"

#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"
#include "editor/AboutCommand.h"
#include "editor/BrowseDialog.h"
#include "window/IntegerText.h"
#include "words/Messages.h"
#include "words/Names.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace varnholt {

namespace {

using BusyHold = BusyCursorKeeper<EditorHost>::Hold;
using BusyLift = BusyCursorKeeper<EditorHost>::Lift;

constexpr std::array<int, 6> setBoxes = {idSetCampaignDifficulty, idSetBattleDifficulty,
                                         idSetBattleTimeLimit,    idSetCampaignLength,
                                         idSetUnitScale,          idSetYearAndSeason};

} // namespace

EditRequest requestFromWindow(const EditorValues& values, const SaveSettings& settings,
                              const GameVersion& version) {
    // A list without a selection writes the first difficulty.
    EditRequest request;
    if (values.setCampaignDifficulty)
        request.campaignDifficulty = settings.campaignDifficulty.value_or(Difficulty::Easy);
    if (values.setBattleDifficulty)
        request.battleDifficulty = settings.battleDifficulty.value_or(Difficulty::Easy);
    if (values.setBattleTimeLimit)
        request.noBattleTimeLimit = settings.noBattleTimeLimit;
    if (values.setCampaignLength)
        request.shortCampaign = settings.shortCampaign;
    if (values.setUnitScale)
        request.unitScale = settings.unitScale;
    if (values.setYearAndSeason) {
        request.yearAndSeason =
            YearAndSeason{yearNumber(settings), settings.isAD ? Era::AD : Era::BC,
                          settings.isWinter ? Season::Winter : Season::Summer};
    }
    for (const RequestProblem problem : validate(request, version))
        if (problem == RequestProblem::NoCampaignLengthSetting)
            request.shortCampaign.reset();
    return request;
}

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
            onBrowse();
        else if (id == idApply)
            onApply();
        else if (id == idRefresh)
            onRefresh();
        else if (id == idOk)
            onClose();
        else if (std::find(setBoxes.begin(), setBoxes.end(), id) != setBoxes.end())
            updateControlStates();
    };
    e.textChanged = [this](int id) {
        if (id == idSourcePath)
            updateControlStates();
    };
    e.selectionChanged = [this](int id) {
        if (id == idUnitScaleClass)
            onUnitScaleClassChanged();
    };
    e.spinStepping = [this](int id, int position, int step) {
        return id == idUnitScaleSpin ? onUnitScaleSpin(position, step) : step;
    };
    e.escape = [this] { onCancel(); };
    return e;
}

void SaveGameEditor::initialise() {
    if (dialog_.isOpen() || modalResult_)
        return;
    const DialogState::Busy busy(dialog_);
    // The lists' items, the length limits and the spin ranges reach the widgets.
    dialog_.reportAll();
    writeControls();
    if (const auto menuEntries = aboutMenuEntries(localized(aboutMenuText)); !menuEntries.empty())
        host_.addMenuEntries(menuEntries);
    host_.setWindowIcon(dialog_.layout().iconId);
    values_.windowCaption = windowTitle_;
    host_.attachPictures(idRefresh);
    updateControlStates();
    host_.setFocus(idSourcePath);
    dialog_.open();
}

bool SaveGameEditor::openSaveGame(const std::string& path) {
    if (!dialog_.accepting())
        return false;
    const DialogState::Busy busy(dialog_);
    // As typed: the box takes the path and the rules follow it; then as Refresh.
    dialog_.setText(idSourcePath, path);
    if (!updateControlStates())
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
    // A list of the values of an enumeration, in order; nothing while it has
    // no selection.
    const auto listIndex = [&](int id, auto& value) {
        using Value = typename std::remove_reference_t<decltype(value)>::value_type;
        if (!reading)
            d.setSelection(id, value ? static_cast<int>(*value) : -1);
        else if (const int selection = d.control(id).selection; selection >= 0)
            value = static_cast<Value>(selection);
        else
            value = std::nullopt;
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
    tick(idNoBattleTimeLimit, settings_.noBattleTimeLimit);
    tick(idSetCampaignLength, values_.setCampaignLength);
    tick(idShortCampaign, settings_.shortCampaign);
    listIndex(idCampaignDifficulty, settings_.campaignDifficulty);
    listIndex(idBattleDifficulty, settings_.battleDifficulty);
    tick(idSetUnitScale, values_.setUnitScale);
    listIndex(idUnitScaleClass, settings_.unitScaleClass);
    if (!integer(idUnitScale, settings_.unitScale))
        return false;
    // The names of the loaded game are shown only: the user cannot change them.
    const auto shown = [&](int id, std::string_view value) {
        if (!reading)
            d.setText(id, std::string(value));
    };
    shown(idReleaseLabel, releaseText(shownGame_.version));
    shown(idCampaignName, shownGame_.campaignName);
    // The faction in the player's language; the campaign is named by the save.
    shown(idFactionName, localized(shownFactionName(shownGame_)));
    tick(idSetYearAndSeason, values_.setYearAndSeason);
    if (!integer(idYear, settings_.year))
        return false;
    radioPair(idBC, settings_.isAD);
    radioPair(idSummer, settings_.isWinter);
    return true;
}

bool SaveGameEditor::readControls() {
    return exchange(true);
}

void SaveGameEditor::writeControls() {
    exchange(false);
}

bool SaveGameEditor::updateControlStates() {
    const DialogState::Busy busy(dialog_);
    if (!readControls())
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
    const bool expansion = game_.version.isExpansion();
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
    for (const std::string_view name : difficultyNames(game_.vocabularies.difficulties))
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

// The first free name beside the save, shown in the title; without one, the
// message and no name.
bool SaveGameEditor::takeOutputName(const std::string& savePath) {
    const OutputNameResult name = makeOutputName(savePath, files_.pathExists);
    if (!name.name) {
        showMessage(outputNameText(name, savePath), MessageIcon::Error);
        dropOutputName();
        return false;
    }
    values_.outputPath = *name.name;
    windowTitle_ = values_.windowCaption + " - " + values_.outputPath;
    host_.setWindowTitle(windowTitle_);
    return true;
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

    // What the load found is taken in even when a later step of it failed: the
    // release, and from the campaign name on its vocabularies, which the
    // difficulty lists then show. The settings come only with a complete load;
    // a stored faction past the table keeps the one in force, whose record then
    // gives the campaign difficulty.
    const LoadResult result =
        loadSaveGame(values_.sourcePath, game_.factionCode, files_.isDirectory);
    game_ = infoAfter(result, game_);
    if (result.campaign)
        fillDifficultyLists();
    settings_ = settingsAfter(result, settings_);
    for (const LoadProblem& problem : result.problems)
        showMessage(loadProblemText(problem, values_.sourcePath),
                    problem.isWarning() ? MessageIcon::Warning : MessageIcon::Error);
    if (!result.succeeded()) {
        dropOutputName();
        return false;
    }

    if (!takeOutputName(values_.sourcePath))
        return false;
    lastLoad_ = LoadedGame{values_.sourcePath, loadedLayout(game_)};
    shownGame_ = game_;
    writeControls();
    updateControlStates();
    dialog_.setText(idStatusLine, std::string(localized(loadedStatusText)));
    return true;
}

// --- Commands -----------------------------------------------------------------------

void SaveGameEditor::onBrowse() {
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

void SaveGameEditor::onRefresh() {
    const DialogState::Busy busy(dialog_);
    if (!readControls())
        return;
    loadCommand();
}

void SaveGameEditor::onApply() {
    const DialogState::Busy busy(dialog_);
    if (!readControls())
        return;
    const BusyHold hold(busyCursor_);
    // Apply is disabled without a name for the new file.
    if (values_.outputPath.empty() || !lastLoad_)
        return;
    writeControls();
    // A year the calendar does not have is asked again, like a number that is none.
    const EditRequest request = requestFromWindow(values_, settings_, game_.version);
    if (const auto problems = validate(request, game_.version);
        std::find(problems.begin(), problems.end(), RequestProblem::NoYearZero) != problems.end()) {
        showMessage(std::string(localized(noYearZeroText)), MessageIcon::Warning);
        host_.setFocus(idYear);
        host_.selectAllText(idYear);
        return;
    }
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
    if (host_.writesCopies()) {
        const ApplyPlan plan = planChanges(lastLoad_->path, lastLoad_->layout, request);
        for (const ApplyProblem& problem : plan.problems)
            showMessage(applyProblemText(problem, lastLoad_->path, values_.outputPath),
                        MessageIcon::Error);
        if (plan.ready)
            host_.writeCopy(lastLoad_->path, values_.outputPath, plan.patches);
        return;
    }
    const ApplyOutcome outcome =
        applyChanges(lastLoad_->path, values_.outputPath, lastLoad_->layout, request);
    for (const ApplyProblem& problem : outcome.problems)
        showMessage(applyProblemText(problem, lastLoad_->path, values_.outputPath),
                    MessageIcon::Error);
    if (outcome.written) {
        dialog_.setText(idStatusLine, std::string(localized(appliedStatusText)));
        host_.savedGameWritten(values_.outputPath);
    }
}

void SaveGameEditor::copyFinished(CopyFate fate, FileErrorCause cause) {
    if (!lastLoad_ || values_.outputPath.empty())
        return;
    switch (fate) {
    case CopyFate::Written:
    case CopyFate::OfferedAsDownload:
        dialog_.setText(idStatusLine, fate == CopyFate::Written
                                          ? std::string(localized(appliedStatusText))
                                          : withPath(offeredStatusText, values_.outputPath));
        // The name is taken now: the next copy of this save gets the next one.
        if (takeOutputName(lastLoad_->path))
            dialog_.setText(idOutputPath, values_.outputPath);
        break;
    case CopyFate::Failed:
        showMessage(applyProblemText({ApplyProblemKind::WriteFailed, cause}, lastLoad_->path,
                                     values_.outputPath),
                    MessageIcon::Error);
        break;
    case CopyFate::Cancelled:
        break;
    }
}

void SaveGameEditor::endModal(int result) {
    modalResult_ = result;
    dialog_.close();
    host_.endModal(result);
}

void SaveGameEditor::onClose() {
    const DialogState::Busy busy(dialog_);
    if (!readControls())
        return;
    endModal(idOk);
}

void SaveGameEditor::onCancel() {
    endModal(idCancel);
}

bool SaveGameEditor::onAboutCommand(unsigned commandId) {
    if (commandId != aboutCommandId)
        return false;
    if (!dialog_.accepting())
        return true;
    const DialogState::Busy busy(dialog_);
    const BusyLift lift(busyCursor_);
    host_.runAboutBox(applicationName_);
    return true;
}

void SaveGameEditor::onUnitScaleClassChanged() {
    const DialogState::Busy busy(dialog_);
    if (!readControls())
        return;
    if (settings_.unitScaleClass)
        settings_.unitScale = unitScaleForClass(*settings_.unitScaleClass);
    writeControls();
}

int SaveGameEditor::onUnitScaleSpin(int position, int proposedStep) {
    const DialogState::Busy busy(dialog_);
    // The number always moves to its neighbour in the table, however the
    // platform's spin has sped up.
    const int step = proposedStep > 0 ? 5 : -5;
    const std::int64_t target = static_cast<std::int64_t>(position) + step;
    if (target >= unitScaleTable().front().number && target <= unitScaleTable().back().number)
        if (const auto row = unitScaleByNumber(static_cast<int>(target))) {
            settings_.unitScaleClass = row->sizeClass;
            dialog_.setSelection(idUnitScaleClass, static_cast<int>(row->sizeClass));
        }
    return step;
}

} // namespace varnholt
