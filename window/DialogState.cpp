#include "window/DialogState.h"

#include "window/IntegerText.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace varnholt {

int spinStepAfterHolding(long long heldMs) {
    int step = spinAccelerations.front().step;
    for (const SpinAcceleration& acceleration : spinAccelerations)
        if (heldMs >= acceleration.afterMs)
            step = acceleration.step;
    return step;
}

std::string firstCharacters(const std::string& text, int limit) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80 && count++ == limit)
            return text.substr(0, i);
    }
    return text;
}

DialogState::DialogState(const DialogLayout& layout, std::function<void(int)> controlChanged,
                         DialogEvents events)
    : layout_(layout), controlChanged_(std::move(controlChanged)), events_(std::move(events)) {
    for (const ControlLayout& spec : layout_.controls) {
        ControlState s;
        if (spec.kind != ControlKind::TextBox && spec.kind != ControlKind::DropDownList &&
            spec.kind != ControlKind::Spin)
            s.text = spec.caption;
        s.items.assign(spec.items.begin(), spec.items.end());
        s.lengthLimit = spec.lengthLimit;
        s.spinMinimum = spec.spinMinimum;
        s.spinMaximum = spec.spinMaximum;
        s.spinPosition = spec.spinMinimum;
        controls_.push_back(std::move(s));
    }
}

std::size_t DialogState::indexOf(int id) const {
    if (id != noControlId)
        for (std::size_t i = 0; i < layout_.controls.size(); ++i)
            if (layout_.controls[i].id == id)
                return i;
    throw std::out_of_range("no control with identifier " + std::to_string(id));
}

const ControlState& DialogState::control(int id) const {
    return controls_.at(indexOf(id));
}

// --- The model's writes -----------------------------------------------------------

bool DialogState::storeText(int id, const std::string& text) {
    ControlState& s = state(id);
    if (s.text == text)
        return false;
    s.text = text;
    // A spin follows the number its box shows, as the platform's buddy spin does.
    for (const ControlLayout& spec : layout_.controls)
        if (spec.kind == ControlKind::Spin && spec.buddyId == id)
            if (const auto number = parseInteger(text))
                setSpinPosition(spec.id, *number);
    return true;
}

void DialogState::setText(int id, const std::string& text) {
    if (storeText(id, text))
        controlChanged_(id);
}

void DialogState::setChecked(int id, bool checked) {
    ControlState& s = state(id);
    if (s.checked == checked)
        return;
    s.checked = checked;
    controlChanged_(id);
}

void DialogState::setSelection(int id, int index) {
    ControlState& s = state(id);
    const int selection = index >= 0 && index < static_cast<int>(s.items.size()) ? index : -1;
    if (s.selection == selection)
        return;
    s.selection = selection;
    controlChanged_(id);
}

void DialogState::setItems(int id, const std::vector<std::string>& items) {
    ControlState& s = state(id);
    if (s.items == items && s.selection == -1)
        return;
    s.items = items;
    s.selection = -1;
    controlChanged_(id);
}

void DialogState::setEnabled(int id, bool enabled) {
    ControlState& s = state(id);
    if (s.enabled == enabled)
        return;
    s.enabled = enabled;
    controlChanged_(id);
}

void DialogState::setSpinPosition(int id, int position) {
    ControlState& s = state(id);
    const int clamped = std::clamp(position, s.spinMinimum, s.spinMaximum);
    if (s.spinPosition == clamped)
        return;
    s.spinPosition = clamped;
    controlChanged_(id);
}

// See radioGroupStart for where a group starts and ends.
std::pair<std::size_t, std::size_t> DialogState::radioGroup(std::size_t index) const {
    const auto controls = layout_.controls;
    std::size_t end = index + 1;
    while (end < controls.size() && controls[end].kind == ControlKind::RadioButton &&
           !controls[end].groupStart)
        ++end;
    return {radioGroupStart(controls, index), end};
}

void DialogState::tickRadio(int id) {
    const auto [first, end] = radioGroup(indexOf(id));
    for (std::size_t i = first; i < end; ++i)
        setChecked(layout_.controls[i].id, layout_.controls[i].id == id);
}

int DialogState::radioChoice(int firstId) const {
    const auto [first, end] = radioGroup(indexOf(firstId));
    for (std::size_t i = first; i < end; ++i)
        if (controls_[i].checked)
            return static_cast<int>(i - first);
    return -1;
}

void DialogState::setRadioChoice(int firstId, int choice) {
    const auto [first, end] = radioGroup(indexOf(firstId));
    for (std::size_t i = first; i < end; ++i)
        setChecked(layout_.controls[i].id, static_cast<int>(i - first) == choice);
}

void DialogState::reportAll() {
    const Busy busy(*this);
    for (const ControlLayout& spec : layout_.controls)
        if (spec.id != noControlId)
            controlChanged_(spec.id);
}

void DialogState::reportKept(int id) {
    const Busy busy(*this);
    controlChanged_(id);
}

// --- What the user does ---------------------------------------------------------

void DialogState::userSetText(int id, const std::string& text) {
    const ControlLayout* spec = layout_.find(id);
    if (!spec || spec->kind != ControlKind::TextBox || busy_)
        return;
    if (!open_ || spec->readOnly || !state(id).enabled) {
        if (text != state(id).text)
            reportKept(id);
        return;
    }
    const Busy busy(*this);
    const int limit = state(id).lengthLimit;
    const std::string kept = limit > 0 ? firstCharacters(text, limit) : text;
    // A text kept as typed is stored without a report (see Mirroring).
    const bool changed = storeText(id, kept);
    if (kept != text)
        reportKept(id);
    if (changed && events_.textChanged)
        events_.textChanged(id);
}

void DialogState::userClick(int id) {
    const ControlLayout* spec = layout_.find(id);
    if (!spec || busy_)
        return;
    if (!open_ || !state(id).enabled) {
        reportKept(id);
        return;
    }
    const Busy busy(*this);
    switch (spec->kind) {
    case ControlKind::CheckBox:
        setChecked(id, !state(id).checked);
        break;
    case ControlKind::RadioButton:
        // A click on the ticked button changes nothing, but its widget may have
        // moved meanwhile.
        if (state(id).checked) {
            reportKept(id);
            return;
        }
        tickRadio(id);
        break;
    case ControlKind::PushButton:
    case ControlKind::PictureButton:
        break;
    default:
        return;
    }
    if (events_.clicked)
        events_.clicked(id);
}

void DialogState::userSelect(int id, int index) {
    const ControlLayout* spec = layout_.find(id);
    if (!spec || spec->kind != ControlKind::DropDownList || busy_)
        return;
    if (!open_ || !state(id).enabled || index < 0 ||
        index >= static_cast<int>(state(id).items.size())) {
        if (index != state(id).selection)
            reportKept(id);
        return;
    }
    const Busy busy(*this);
    setSelection(id, index);
    if (events_.selectionChanged)
        events_.selectionChanged(id);
}

int DialogState::userSpin(int id, int step) {
    const ControlLayout* spec = layout_.find(id);
    if (!spec || spec->kind != ControlKind::Spin || busy_)
        return 0;
    if (!open_ || !state(id).enabled) {
        reportKept(id);
        return 0;
    }
    const Busy busy(*this);
    const int position = state(id).spinPosition;
    const int taken = events_.spinStepping ? events_.spinStepping(id, position, step) : step;
    const ControlState& spin = state(id);
    const auto target = std::clamp<std::int64_t>(static_cast<std::int64_t>(position) + taken,
                                                 spin.spinMinimum, spin.spinMaximum);
    setSpinPosition(id, static_cast<int>(target));
    if (layout_.find(spec->buddyId))
        setText(spec->buddyId, formatInteger(target));
    return taken;
}

void DialogState::userPressEscape() {
    if (!accepting())
        return;
    const Busy busy(*this);
    if (events_.escape)
        events_.escape();
}

} // namespace varnholt
