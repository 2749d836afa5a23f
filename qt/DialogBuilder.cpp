#include "qt/DialogBuilder.h"

#include "qt/HostSupport.h"
#include "qt/PictureButton.h"
#include "qt/SpinArrows.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <cmath>

namespace varnholt::qt {

namespace {

QRect qRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

QWidget* makeWidget(const ControlLayout& spec, QWidget* parent) {
    const QString caption = toQt(spec.caption);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        // A label with a mnemonic keeps its "&" (Qt shows it underlined once
        // the label has its buddy); any other shows its text as it is.
        const bool mnemonic = !spec.noPrefix && mnemonicOf(spec.caption);
        label->setText(mnemonic || spec.noPrefix ? caption : toQt(displayCaption(spec.caption)));
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Icon: {
        auto* icon = new QLabel(parent);
        icon->setAlignment(Qt::AlignCenter);
        return icon; // sized below, then given the picture
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(parent);
        box->setReadOnly(spec.readOnly);
        if (spec.rightAligned)
            box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (spec.digitsOnly)
            box->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
        if (spec.lengthLimit > 0)
            box->setMaxLength(spec.lengthLimit);
        return box;
    }
    case ControlKind::PictureButton:
        return new PictureButton(parent);
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false); // Enter presses the default button only
        button->setDefault(spec.defaultButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::RadioButton:
        return new QRadioButton(caption, parent);
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(parent);
        for (std::string_view item : spec.items)
            list->addItem(toQt(item));
        return list;
    }
    case ControlKind::Spin:
        return new SpinArrows(parent);
    }
    return new QWidget(parent);
}

// What a caption needs beyond its control's width, in pixels; 0 when it fits.
int captionWidth(const ControlLayout& spec, QWidget* widget) {
    if (qobject_cast<QLabel*>(widget) && spec.kind == ControlKind::Label && !spec.noPrefix)
        return widget->sizeHint().width();
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
        return widget->sizeHint().width();
    return 0;
}

// The dialog-unit x up to which control `index` could grow without reaching a
// control beside it (or leaving its group box, or the dialog), less a margin.
int freeRightEdge(const DialogLayout& spec, std::size_t index) {
    constexpr int margin = 4;
    const DialogRect& r = spec.controls[index].rect;
    int edge = spec.rect.width;
    for (std::size_t j = 0; j < spec.controls.size(); ++j) {
        const DialogRect& o = spec.controls[j].rect;
        const bool besideVertically = o.y < r.y + r.height && r.y < o.y + o.height;
        if (j == index || !besideVertically)
            continue;
        if (spec.controls[j].kind == ControlKind::GroupBox && o.x <= r.x && r.x < o.x + o.width)
            edge = std::min(edge, o.x + o.width); // the frame around it
        else if (o.x >= r.x + r.width)
            edge = std::min(edge, o.x);
    }
    return edge - margin;
}

} // namespace

BuiltDialog buildDialog(QDialog& dialog, const DialogLayout& spec, const WidgetMaker& make) {
    BuiltDialog built;
    dialog.setWindowTitle(toQt(spec.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (spec.windowMenu)
        flags |= Qt::WindowSystemMenuHint;
    dialog.setWindowFlags(flags);

    QButtonGroup* radioGroup = nullptr;
    for (const ControlLayout& control : spec.controls) {
        QWidget* widget = make ? make(control, &dialog) : nullptr;
        if (!widget)
            widget = makeWidget(control, &dialog);
        if (control.groupStart || control.kind != ControlKind::RadioButton)
            radioGroup = nullptr;
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            // The model's groups (a group starts at groupStart) are Qt's
            // exclusive groups: Tab stops at the ticked button of each, the
            // arrow keys move within it.
            if (!radioGroup)
                radioGroup = new QButtonGroup(&dialog);
            radioGroup->addButton(radio);
            built.radioGroups[control.id] = radioGroup;
        }
        built.widgets.push_back(widget);
        if (control.id != noControlId)
            built.byId[control.id] = widget;
    }

    // The metrics of the dialog font. The layout was drawn for a font whose
    // words run narrower, against its letters' average, than most fonts here.
    // A caption that would be cut takes the free room to its right; where
    // that is not enough, the whole window widens evenly (the average width
    // grows) until every caption fits.
    const QFontMetrics metrics(dialog.font());
    built.base = dialogBaseUnits(metrics.horizontalAdvance(toQt(baseUnitSample)), metrics.height());
    std::vector<int> needed(built.widgets.size(), 0); // pixels a caption takes
    for (std::size_t i = 0; i < built.widgets.size(); ++i) {
        needed[i] = captionWidth(spec.controls[i], built.widgets[i]);
        const DialogRect& r = spec.controls[i].rect;
        const int room = std::max(r.width, freeRightEdge(spec, i) - r.x); // dialog units
        if (needed[i] > horizontalPixels(room, built.base) && room > 0)
            built.base.averageCharWidth =
                std::max(built.base.averageCharWidth, int(std::ceil(4.0 * needed[i] / room)));
    }
    dialog.setFixedSize(horizontalPixels(spec.rect.width, built.base),
                        verticalPixels(spec.rect.height, built.base));

    QWidget* previousTabStop = nullptr;
    std::vector<QLabel*> waitingForBuddy;
    for (std::size_t i = 0; i < built.widgets.size(); ++i) {
        const ControlLayout& control = spec.controls[i];
        QWidget* widget = built.widgets[i];
        QRect rect = qRect(toPixels(control.rect, built.base));
        rect.setWidth(std::max(rect.width(), needed[i]));
        if (control.kind == ControlKind::DropDownList && control.closedHeight > 0)
            rect.setHeight(verticalPixels(control.closedHeight, built.base));
        if (control.kind == ControlKind::PictureButton)
            widget->move(rect.topLeft()); // it takes its pictures' size
        else
            widget->setGeometry(rect);
        if (control.kind == ControlKind::Icon)
            static_cast<QLabel*>(widget)->setPixmap(applicationIcon().pixmap(rect.size()));

        auto* label = qobject_cast<QLabel*>(widget);
        if (label && control.kind == ControlKind::Label && !control.noPrefix &&
            mnemonicOf(control.caption))
            waitingForBuddy.push_back(label);
        if (control.tabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            for (QLabel* waiting : waitingForBuddy)
                waiting->setBuddy(widget);
            waitingForBuddy.clear();
            if (previousTabStop)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (control.kind == ControlKind::TextBox) {
            widget->setFocusPolicy(Qt::ClickFocus);
        } else if (!label && control.kind != ControlKind::GroupBox) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (auto* arrows = qobject_cast<SpinArrows*>(widget); arrows && control.spinArrowKeys)
            if (QWidget* buddy = built.control(control.buddyId))
                arrows->setBuddy(buddy);
    }
    return built;
}

} // namespace varnholt::qt
