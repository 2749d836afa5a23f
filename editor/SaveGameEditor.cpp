#include "editor/SaveGameEditor.h"

#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"
#include "editor/BrowseDialog.h"
#include "editor/IntegerText.h"
#include "window/BusyCursor.h"
#include "window/WindowMenu.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <stdexcept>

namespace varnholt {

namespace {

constexpr std::array<int, 6> setBoxes = {idSetCampaignDifficulty, idSetBattleDifficulty,
                                         idSetBattleTimeLimit,    idSetCampaignLength,
                                         idSetUnitScale,          idSetYearAndSeason};

// Marks the editor as busy with one operation; events arriving meanwhile are
// echoes of its own writes (or would re-enter a running handler). Operations
// nest (a handler runs the exchange), so each one restores what it found.
class Running {
  public:
    explicit Running(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~Running() { flag_ = previous_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

  private:
    bool& flag_;
    bool previous_;
};

// The first `limit` characters of UTF-8 text; a character is counted at the
// byte that starts it, so a sequence is never cut in two.
std::string firstCharacters(const std::string& text, int limit) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80 && count++ == limit)
            return text.substr(0, i);
    }
    return text;
}

std::size_t indexOf(int id) {
    const auto controls = editorDialog().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].id == id && id != noControlId)
            return i;
    throw std::out_of_range("no control with identifier " + std::to_string(id));
}

} // namespace

// One walk of the exchange list in one direction. The list itself is written
// once, in SaveGameEditor::exchange.
class SaveGameEditor::Exchange {
  public:
    Exchange(SaveGameEditor& editor, bool reading) : e_(editor), reading_(reading) {}

    void text(int id, std::string& value) {
        if (reading_)
            value = e_.state(id).text;
        else
            e_.setText(id, value);
    }

    void tick(int id, bool& value) {
        if (reading_)
            value = e_.state(id).checked;
        else
            e_.setChecked(id, value);
    }

    void listIndex(int id, int& value) {
        if (reading_)
            value = e_.state(id).selection;
        else
            e_.setSelection(id, value);
    }

    bool integer(int id, std::int32_t& value) {
        if (!reading_) {
            e_.setText(id, formatInteger(value));
            return true;
        }
        const auto parsed = parseInteger(e_.state(id).text);
        if (!parsed) {
            e_.showMessage(enterIntegerText, MessageIcon::Warning);
            e_.host_.setFocus(id);
            e_.host_.selectAllText(id);
            return false;
        }
        value = *parsed;
        return true;
    }

    // A pair of radio buttons stands for a flag: the second button ticked is
    // true. The model always keeps one of the two ticked, so "none ticked"
    // cannot arise; should it, the flag keeps its value.
    void radioGroup(int first, int second, bool& secondTicked) {
        if (!reading_) {
            e_.setChecked(first, !secondTicked);
            e_.setChecked(second, secondTicked);
            return;
        }
        if (e_.state(second).checked)
            secondTicked = true;
        else if (e_.state(first).checked)
            secondTicked = false;
    }

  private:
    SaveGameEditor& e_;
    bool reading_;
};

SaveGameEditor::SaveGameEditor(EditorHost& host, std::string programFolder,
                               std::string applicationName)
    : host_(host), programFolder_(std::move(programFolder)),
      applicationName_(std::move(applicationName)), windowTitle_(editorDialog().caption) {
    for (const ControlLayout& spec : editorDialog().controls) {
        ControlState s;
        if (spec.kind != ControlKind::TextBox && spec.kind != ControlKind::DropDownList &&
            spec.kind != ControlKind::Spin)
            s.text = spec.caption;
        controls_.push_back(std::move(s));
    }
}

void SaveGameEditor::initialise() {
    if (initialised_)
        return;
    const Running running(busy_);
    const DialogLayout& dialog = editorDialog();
    for (const ControlLayout& spec : dialog.controls)
        if (spec.kind == ControlKind::DropDownList)
            setItems(spec.id, std::vector<std::string>(spec.items.begin(), spec.items.end()));
    WriteControls();
    if (const auto menuEntries = aboutMenuEntries(); !menuEntries.empty())
        host_.addMenuEntries(menuEntries);
    host_.setWindowIcon(dialog.iconId);
    values_.windowCaption = windowTitle_;
    host_.attachPictures(idRefresh);
    for (const ControlLayout& spec : dialog.controls) {
        if (spec.lengthLimit > 0 && state(spec.id).lengthLimit != spec.lengthLimit) {
            state(spec.id).lengthLimit = spec.lengthLimit;
            host_.controlChanged(spec.id);
        }
        if (spec.kind == ControlKind::Spin) {
            ControlState& s = state(spec.id);
            s.spinMinimum = spec.spinMinimum;
            s.spinMaximum = spec.spinMaximum;
            setSpin(spec.id, parseInteger(state(spec.buddyId).text).value_or(spec.spinMinimum));
            host_.controlChanged(spec.id);
        }
    }
    UpdateControlStates();
    host_.setFocus(idSourcePath);
    initialised_ = true;
}

bool SaveGameEditor::openSaveGame(const std::string& path) {
    if (!accepting())
        return false;
    const Running running(busy_);
    // As typed: the box takes the path and the rules follow it; then as Refresh.
    setText(idSourcePath, path);
    if (!UpdateControlStates())
        return false;
    return loadCommand();
}

const ControlState& SaveGameEditor::control(int id) const {
    return controls_.at(indexOf(id));
}

ControlState& SaveGameEditor::state(int id) {
    return controls_.at(indexOf(id));
}

// --- Control state, each change reported to the host -------------------------

bool SaveGameEditor::storeText(int id, const std::string& text) {
    ControlState& s = state(id);
    if (s.text == text)
        return false;
    s.text = text;
    // A spin follows the number its box shows, as the platform's buddy spin does.
    for (const ControlLayout& spec : editorDialog().controls)
        if (spec.kind == ControlKind::Spin && spec.buddyId == id)
            if (const auto number = parseInteger(text))
                setSpin(spec.id, *number);
    return true;
}

void SaveGameEditor::setText(int id, const std::string& text) {
    if (storeText(id, text))
        host_.controlChanged(id);
}

void SaveGameEditor::setChecked(int id, bool checked) {
    ControlState& s = state(id);
    if (s.checked == checked)
        return;
    s.checked = checked;
    host_.controlChanged(id);
}

void SaveGameEditor::setSelection(int id, int index) {
    ControlState& s = state(id);
    // An index that names no item leaves the list without a selection.
    const int selection = index >= 0 && index < static_cast<int>(s.items.size()) ? index : -1;
    if (s.selection == selection)
        return;
    s.selection = selection;
    host_.controlChanged(id);
}

void SaveGameEditor::setItems(int id, const std::vector<std::string>& items) {
    ControlState& s = state(id);
    s.items = items;
    s.selection = -1;
    host_.controlChanged(id);
}

void SaveGameEditor::setEnabled(int id, bool enabled) {
    ControlState& s = state(id);
    if (s.enabled == enabled)
        return;
    s.enabled = enabled;
    host_.controlChanged(id);
}

void SaveGameEditor::setSpin(int id, int position) {
    ControlState& s = state(id);
    const int clamped = std::clamp(position, s.spinMinimum, s.spinMaximum);
    if (s.spinPosition == clamped)
        return;
    s.spinPosition = clamped;
    host_.controlChanged(id);
}

void SaveGameEditor::showMessage(const std::string& text, MessageIcon icon) {
    host_.showMessage({applicationName_, text, icon});
}

void SaveGameEditor::reportKept(int id) {
    // What the mirroring raises meanwhile is an echo of this report.
    const Running running(busy_);
    host_.controlChanged(id);
}

// --- Exchange and control-state rules -----------------------------------------

bool SaveGameEditor::exchange(bool reading) {
    const Running running(busy_);
    Exchange x(*this, reading);
    x.text(idOutputPath, values_.outputPath);
    x.text(idSourcePath, values_.sourcePath);
    x.tick(idSetCampaignDifficulty, values_.setCampaignDifficulty);
    x.tick(idSetBattleDifficulty, values_.setBattleDifficulty);
    x.tick(idSetBattleTimeLimit, values_.setBattleTimeLimit);
    x.tick(idNoBattleTimeLimit, info_.noBattleTimeLimit);
    x.tick(idSetCampaignLength, values_.setCampaignLength);
    x.tick(idShortCampaign, info_.shortCampaign);
    x.listIndex(idCampaignDifficulty, info_.campaignDifficulty);
    x.listIndex(idBattleDifficulty, info_.battleDifficulty);
    x.tick(idSetUnitScale, values_.setUnitScale);
    x.listIndex(idUnitScaleClass, info_.unitScaleClass);
    if (!x.integer(idUnitScale, info_.unitScale))
        return false;
    // The status line (1014) is in the list only to bind it; it has no value.
    x.text(idReleaseLabel, info_.version.releaseLabel);
    x.text(idCampaignName, info_.campaignName);
    x.text(idFactionName, info_.factionName);
    x.tick(idSetYearAndSeason, values_.setYearAndSeason);
    if (!x.integer(idYear, info_.year))
        return false;
    x.radioGroup(idBC, idAD, info_.isAD);
    x.radioGroup(idSummer, idWinter, info_.isWinter);
    return true;
}

bool SaveGameEditor::ReadControls() {
    return exchange(true);
}

void SaveGameEditor::WriteControls() {
    exchange(false);
}

bool SaveGameEditor::UpdateControlStates() {
    const Running running(busy_);
    if (!ReadControls())
        return false;
    const bool named = !values_.sourcePath.empty();
    setEnabled(idRefresh, named);
    setEnabled(idApply, !values_.outputPath.empty());
    for (int id : {idSetCampaignDifficulty, idSetBattleDifficulty, idSetBattleTimeLimit,
                   idSetUnitScale, idSetYearAndSeason})
        setEnabled(id, named);
    setEnabled(idCampaignDifficulty, values_.setCampaignDifficulty);
    setEnabled(idBattleDifficulty, values_.setBattleDifficulty);
    setEnabled(idNoBattleTimeLimit, values_.setBattleTimeLimit);
    setEnabled(idSetCampaignLength, named && !info_.version.isExpansion());
    setEnabled(idShortCampaign, values_.setCampaignLength && !info_.version.isExpansion());
    for (int id : {idUnitScaleClass, idUnitScale, idUnitScaleSpin})
        setEnabled(id, values_.setUnitScale);
    for (int id : {idYearLabel, idYear, idYearSpin, idBC, idAD, idSummer, idWinter})
        setEnabled(id, values_.setYearAndSeason);
    setText(idStatusLine, "");
    return true;
}

// --- Load command ---------------------------------------------------------------

void SaveGameEditor::fillDifficultyLists() {
    const std::vector<std::string> names(info_.difficultyNames.begin(),
                                         info_.difficultyNames.end());
    setItems(idCampaignDifficulty, names);
    setItems(idBattleDifficulty, names);
}

void SaveGameEditor::dropOutputName() {
    // Without a name for the game now in memory, the earlier name must not stay
    // usable: an apply would write one game's copy under a name chosen for
    // another, or with positions from two loads.
    values_.outputPath.clear();
    lastLoad_.reset();
    setText(idOutputPath, "");
    setEnabled(idApply, false);
}

bool SaveGameEditor::loadCommand() {
    const Running running(busy_);
    const BusyCursor busy(host_);
    // Whatever the outcome, an earlier success must not stay on show.
    setText(idStatusLine, "");
    // A path typed relative to the current folder stands for its full path,
    // which the output name and every later message then use.
    if (!values_.sourcePath.empty()) {
        values_.sourcePath = fullPath(values_.sourcePath);
        setText(idSourcePath, values_.sourcePath);
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

    const OutputNameResult name = makeOutputName(
        values_.sourcePath, [this](const std::string& path) { return host_.pathExists(path); });
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
    setText(idStatusLine, loadedStatusText);
    return true;
}

// --- Commands --------------------------------------------------------------------

void SaveGameEditor::OnBrowse() {
    const Running running(busy_);
    const auto picked =
        host_.runOpenFileDialog(browseDialogSettings(values_.sourcePath, programFolder_));
    if (!picked || picked->empty())
        return;
    values_.sourcePath = *picked;
    setText(idSourcePath, values_.sourcePath);
    loadCommand();
}

void SaveGameEditor::OnRefresh() {
    const Running running(busy_);
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
    const Running running(busy_);
    if (!ReadControls())
        return;
    const BusyCursor busy(host_);
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
    const ApplyOutcome outcome =
        applyChanges(lastLoad_->path, values_.outputPath, lastLoad_->layout, editRequest());
    for (const std::string& text : outcome.errorTexts)
        showMessage(text, MessageIcon::Error);
    if (outcome.written)
        setText(idStatusLine, appliedStatusText);
}

void SaveGameEditor::endModal(int result) {
    modalResult_ = result;
    host_.endModal(result);
}

void SaveGameEditor::OnClose() {
    const Running running(busy_);
    if (!ReadControls())
        return;
    endModal(1);
}

bool SaveGameEditor::OnAboutCommand(unsigned commandId) {
    if (!isAboutCommand(commandId))
        return false;
    if (!accepting())
        return true;
    const Running running(busy_);
    host_.runAboutBox(applicationName_);
    return true;
}

void SaveGameEditor::OnCancel() {
    endModal(2);
}

void SaveGameEditor::OnUnitScaleClassChanged() {
    const Running running(busy_);
    if (!ReadControls())
        return;
    if (info_.unitScaleClass >= 0 && info_.unitScaleClass < 4)
        info_.unitScale = unitScaleForClass(info_.unitScaleClass);
    WriteControls();
}

int SaveGameEditor::OnUnitScaleSpin(int position, int proposedStep) {
    const Running running(busy_);
    const int step = proposedStep > 0 ? 5 : -5;
    const std::int64_t target = static_cast<std::int64_t>(position) + step;
    if (target >= unitScaleTable().front().number && target <= unitScaleTable().back().number)
        if (const auto row = unitScaleByNumber(static_cast<int>(target))) {
            info_.unitScaleClass = row->sizeClass;
            setSelection(idUnitScaleClass, row->sizeClass);
        }
    return step;
}

// --- User actions -------------------------------------------------------------

void SaveGameEditor::userSetText(int id, const std::string& text) {
    const ControlLayout* spec = editorDialog().find(id);
    // While the model is busy, every widget event is an echo of its own writes.
    if (!spec || spec->kind != ControlKind::TextBox || busy_)
        return;
    if (!accepting() || spec->readOnly || !state(id).enabled) {
        if (text != state(id).text)
            reportKept(id);
        return;
    }
    const Running running(busy_);
    const int limit = state(id).lengthLimit;
    const std::string kept = limit > 0 ? firstCharacters(text, limit) : text;
    // The widget keeps its caret and undo as long as it is not set again: a
    // text kept as typed is stored without a report.
    const bool changed = storeText(id, kept);
    if (kept != text)
        reportKept(id); // the widget shows more than the box keeps
    if (changed && id == idSourcePath)
        UpdateControlStates();
}

void SaveGameEditor::userClick(int id) {
    const ControlLayout* spec = editorDialog().find(id);
    if (!spec || busy_)
        return;
    if (!accepting() || !state(id).enabled) {
        reportKept(id);
        return;
    }
    const Running running(busy_);
    switch (spec->kind) {
    case ControlKind::CheckBox:
        setChecked(id, !state(id).checked);
        if (std::find(setBoxes.begin(), setBoxes.end(), id) != setBoxes.end())
            UpdateControlStates();
        break;
    case ControlKind::RadioButton: {
        // A click on the ticked button changes nothing, but the widget may have
        // moved meanwhile: it is told to show the model's state again.
        if (state(id).checked) {
            reportKept(id);
            break;
        }
        // The group runs from its first button (which starts a group) to the
        // last radio button before the next group.
        const auto controls = editorDialog().controls;
        std::size_t first = indexOf(id);
        while (!controls[first].groupStart && first > 0 &&
               controls[first - 1].kind == ControlKind::RadioButton)
            --first;
        for (std::size_t i = first;
             i < controls.size() && controls[i].kind == ControlKind::RadioButton &&
             (i == first || !controls[i].groupStart);
             ++i)
            setChecked(controls[i].id, controls[i].id == id);
        break;
    }
    case ControlKind::PushButton:
    case ControlKind::PictureButton:
        if (id == idBrowse)
            OnBrowse();
        else if (id == idApply)
            OnApply();
        else if (id == idRefresh)
            OnRefresh();
        else if (id == idOk)
            OnClose();
        break;
    default:
        break;
    }
}

void SaveGameEditor::userSelect(int id, int index) {
    const ControlLayout* spec = editorDialog().find(id);
    if (!spec || spec->kind != ControlKind::DropDownList || busy_)
        return;
    if (!accepting() || !state(id).enabled || index < 0 ||
        index >= static_cast<int>(state(id).items.size())) {
        if (index != state(id).selection)
            reportKept(id);
        return;
    }
    const Running running(busy_);
    setSelection(id, index);
    if (id == idUnitScaleClass)
        OnUnitScaleClassChanged();
}

int SaveGameEditor::userSpin(int id, int proposedStep) {
    const ControlLayout* spec = editorDialog().find(id);
    if (!spec || spec->kind != ControlKind::Spin || busy_)
        return 0;
    if (!accepting() || !state(id).enabled) {
        reportKept(id);
        return 0;
    }
    const Running running(busy_);
    // The spin's position follows the number its box shows (see setText); a
    // box without a number leaves it where it last was.
    const ControlState& spin = state(id);
    const int position = spin.spinPosition;
    const int step = id == idUnitScaleSpin ? OnUnitScaleSpin(position, proposedStep) : proposedStep;
    const auto target = std::clamp<std::int64_t>(static_cast<std::int64_t>(position) + step,
                                                 spin.spinMinimum, spin.spinMaximum);
    setSpin(id, static_cast<int>(target));
    setText(spec->buddyId, formatInteger(target));
    return step;
}

void SaveGameEditor::userPressEnter() {
    if (!accepting() || !state(idOk).enabled)
        return;
    const Running running(busy_);
    OnClose();
}

void SaveGameEditor::userPressEscape() {
    if (!accepting())
        return;
    const Running running(busy_);
    OnCancel();
}

void SaveGameEditor::userPressMnemonic(char letter) {
    if (!accepting())
        return;
    const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const auto controls = editorDialog().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (mnemonicOf(controls[i].caption) != wanted)
            continue;
        if (controls[i].kind != ControlKind::Label && controls[i].kind != ControlKind::GroupBox) {
            userClick(controls[i].id);
            return;
        }
        for (std::size_t next = i + 1; next < controls.size(); ++next)
            if (controls[next].tabStop && controls_[next].enabled) {
                host_.setFocus(controls[next].id);
                return;
            }
        return;
    }
}

} // namespace varnholt
