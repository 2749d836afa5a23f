#include "qt/DialogBuilder.h"

#include "qt/AccessibleList.h"
#include "qt/HostSupport.h"
#include "qt/PictureButton.h"
#include "qt/SpinArrows.h"
#include "window/ControlLabels.h"

#include <QAbstractButton>
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
#include <QShortcutEvent>

#include <memory>
#include <string>

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
        // Its length limit comes with the model's first report, as every state does.
        return box;
    }
    case ControlKind::PictureButton:
        return new PictureButton(parent);
    case ControlKind::PushButton: {
        // The dialog's own Enter: the focused push button, else the default.
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(true);
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

// A button's "&" mnemonic focuses it and clicks it at once, as the dialog
// manager of Windows does. Qt's own answer is an animated click that lands a
// tenth of a second later, so that the next key (Tab after Alt+Y) still sees
// the controls the click is about to enable as disabled, and skips them.
// Ambiguous mnemonics keep Qt's answer: the focus moves between the buttons.
class ImmediateMnemonicClick : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || event->type() != QEvent::Shortcut ||
            static_cast<QShortcutEvent*>(event)->isAmbiguous())
            return false;
        if (button->focusPolicy() & Qt::TabFocus)
            button->setFocus(Qt::ShortcutFocusReason);
        button->click();
        return true;
    }
};

// The width a widget needs to show its caption whole, as its style draws it.
int captionWidth(const QWidget& widget) {
    // A group box has no size hint of its own; its smallest size holds its title.
    if (qobject_cast<const QGroupBox*>(&widget))
        return widget.minimumSizeHint().width();
    return widget.sizeHint().width();
}

} // namespace

BuiltDialog buildDialog(QDialog& dialog, const DialogLayout& spec, const WidgetMaker& make) {
    installAccessibleLists();
    BuiltDialog built;
    dialog.setWindowTitle(toQt(spec.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (spec.windowMenu)
        flags |= Qt::WindowSystemMenuHint;
    dialog.setWindowFlags(flags);

    auto* mnemonics = new ImmediateMnemonicClick(&dialog);
    std::map<std::size_t, QButtonGroup*> groupsByFirst;
    for (std::size_t i = 0; i < spec.controls.size(); ++i) {
        const ControlLayout& control = spec.controls[i];
        QWidget* widget = make ? make(control, &dialog) : nullptr;
        if (!widget)
            widget = makeWidget(control, &dialog);
        if (qobject_cast<QAbstractButton*>(widget))
            widget->installEventFilter(mnemonics);
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            // The model's groups (radioGroupStart) are Qt's exclusive groups:
            // Tab stops at the ticked button of each, the arrow keys move
            // within it.
            QButtonGroup*& group = groupsByFirst[radioGroupStart(spec.controls, i)];
            if (!group)
                group = new QButtonGroup(&dialog);
            group->addButton(radio);
            built.radioGroups[control.id] = group;
        }
        built.widgets.push_back(widget);
        if (control.id != noControlId)
            built.byId[control.id] = widget;
    }

    // The metrics of the dialog font, widened where a caption would be cut.
    const QFontMetrics metrics(dialog.font());
    const DialogBaseUnits fontBase =
        dialogBaseUnits(metrics.horizontalAdvance(toQt(baseUnitSample)), metrics.height());
    std::vector<int> captionWidths(built.widgets.size(), 0);
    for (std::size_t i = 0; i < built.widgets.size(); ++i)
        if (captionMustFit(spec.controls[i]))
            captionWidths[i] = captionWidth(*built.widgets[i]);
    // A translation's labels keep the gaps of the English captions before their
    // boxes: those are measured as a label of this dialog would show them.
    std::vector<int> englishWidths(spec.english ? built.widgets.size() : 0, 0);
    for (std::size_t i = 0; i < englishWidths.size(); ++i)
        if (const ControlLayout& english = spec.english->controls[i];
            english.kind == ControlKind::Label && captionMustFit(english)) {
            const std::unique_ptr<QWidget> probe(makeWidget(english, &dialog));
            englishWidths[i] = captionWidth(*probe);
        }
    const FittedDialog fitted = fitDialog(spec, fontBase, captionWidths, englishWidths);
    dialog.setFixedSize(fitted.width, fitted.height);

    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < built.widgets.size(); ++i) {
        const ControlLayout& control = spec.controls[i];
        QWidget* widget = built.widgets[i];
        const QRect rect = qRect(fitted.controls[i]);
        if (control.kind == ControlKind::PictureButton)
            widget->move(rect.topLeft()); // it takes its pictures' size
        else
            widget->setGeometry(rect);
        if (control.kind == ControlKind::Icon)
            static_cast<QLabel*>(widget)->setPixmap(applicationIcon().pixmap(rect.size()));

        if (const std::string name = accessibleName(spec, i); !name.empty())
            widget->setAccessibleName(toQt(name));
        if (const auto target = labelledControl(spec, i))
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                // A label with a buddy reads "&" as a marker, as the layout
                // stores it (Qt underlines the mnemonic, if it has one).
                QString stored = toQt(control.caption);
                if (control.noPrefix)
                    stored.replace(QLatin1Char('&'), QStringLiteral("&&"));
                label->setText(stored);
                label->setBuddy(built.widgets[*target]);
            }

        if (control.tabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (control.kind == ControlKind::TextBox) {
            widget->setFocusPolicy(Qt::ClickFocus);
        } else if (control.kind != ControlKind::Label && control.kind != ControlKind::GroupBox) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (auto* arrows = qobject_cast<SpinArrows*>(widget); arrows && control.spinArrowKeys)
            if (QWidget* buddy = built.control(control.buddyId))
                arrows->setBuddy(buddy);
    }
    return built;
}

} // namespace varnholt::qt
