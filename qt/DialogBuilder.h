#pragma once
// The one builder of real windows from the model's dialog descriptions (the
// editor and the About box): a widget per control, placed by the model's
// dialog-unit conversion and caption fitting from the dialog font's metrics
// and the captions' measured widths, in Tab order, with each label bound to
// the control it names (its buddy: the one a mnemonic leads to, or the box
// after it) and every control's accessible name, lists included. Keys and
// focus are Qt's: push buttons press on Enter when focused, the default one
// otherwise; "&" mnemonics are Qt's shortcuts.

#include "window/DialogLayout.h"
#include "window/DialogUnits.h"

#include <QPointer>

#include <functional>
#include <map>
#include <vector>

class QButtonGroup;
class QDialog;
class QWidget;

namespace varnholt::qt {

struct BuiltDialog {
    std::vector<QWidget*> widgets; // parallel to the description's controls
    std::map<int, QWidget*> byId;
    std::map<int, QButtonGroup*> radioGroups; // by the identifier of each radio button

    QWidget* control(int id) const {
        const auto it = byId.find(id);
        return it == byId.end() ? nullptr : it->second;
    }
};

// Makes the widget for one control instead of the builder, or returns nullptr.
using WidgetMaker = std::function<QWidget*(const ControlLayout& spec, QWidget* parent)>;

// Builds `spec` on `dialog`: caption, fixed size, frame without minimise or
// maximise boxes, and every control.
BuiltDialog buildDialog(QDialog& dialog, const DialogLayout& spec, const WidgetMaker& make = {});

} // namespace varnholt::qt
