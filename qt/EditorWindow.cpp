#include "qt/EditorWindow.h"

#include "core/FileAccess.h"
#include "qt/HostSupport.h"
#include "qt/PictureButton.h"
#include "qt/SpinArrows.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>

#include <algorithm>
#include <cmath>

namespace varnholt::qt {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    return icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical;
}

// Dialog units to pixels from the dialog font, as the platform defines them.
struct DialogBase {
    int x;
    int y;
};

DialogBase dialogBase(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int toPixels(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

QRect toPixels(const DialogRect& r, DialogBase base) {
    return QRect(toPixels(r.x, base.x, 4), toPixels(r.y, base.y, 8), toPixels(r.width, base.x, 4),
                 toPixels(r.height, base.y, 8));
}

// A file dialog's pattern in Qt's terms: "*.*" means every file here, while
// Qt would take it for names that contain a dot; ";" separates patterns.
QString qtPatterns(const std::string& pattern) {
    QStringList patterns = toQt(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns)
        if (p == QStringLiteral("*.*"))
            p = QStringLiteral("*");
    return patterns.join(QLatin1Char(' '));
}

} // namespace

// The editor model's window system: each call lands on the window.
class EditorWindow::Host : public EditorHost {
  public:
    explicit Host(EditorWindow& window) : w_(window) {}

    void showMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override {
        showMessageBox(&w_, caption, text, boxIcon(icon));
    }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings) override {
        return w_.runOpenFileDialog(settings);
    }
    void beginBusy() override { beginBusyPointer(); }
    void endBusy() override { endBusyPointer(); }
    void setWindowTitle(const std::string& title) override { w_.setWindowTitle(toQt(title)); }
    void setWindowIcon(int) override { w_.setWindowIcon(applicationIcon()); }
    void attachPictures(int controlId, const PictureNames& pictures) override {
        if (auto* button = qobject_cast<PictureButton*>(w_.control(controlId)))
            button->setPictures(pictures, pictureFolder());
    }
    bool hasWindowMenu() override { return true; }
    void appendWindowMenu(const std::vector<shell::MenuEntry>& entries) override {
        w_.addAboutEntries(entries);
    }
    void runAboutBox() override { w_.runAboutBox(); }
    void setFocus(int controlId) override {
        if (QWidget* widget = w_.control(controlId))
            widget->setFocus(Qt::OtherFocusReason);
    }
    void selectAllText(int controlId) override {
        if (auto* box = qobject_cast<QLineEdit*>(w_.control(controlId)))
            box->selectAll();
    }
    bool pathExists(const std::string& path) override { return varnholt::pathExists(path); }
    void controlChanged(int controlId) override { w_.mirror(controlId); }
    void endModal(int result) override { w_.done(result); }

  private:
    EditorWindow& w_;
};

EditorWindow::EditorWindow(std::string programFolder, std::string applicationName, QWidget* parent)
    : QDialog(parent), host_(std::make_unique<Host>(*this)),
      applicationName_(std::move(applicationName)) {
    build();
    editor_ = std::make_unique<SaveGameEditor>(*host_, std::move(programFolder), applicationName_);
    editor_->initialise();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

EditorWindow::~EditorWindow() = default;

QWidget* EditorWindow::control(int id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

void EditorWindow::build() {
    const DialogSpec& dialog = editorDialog();
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(toQt(dialog.caption));
    DialogBase base = dialogBase(font());

    QButtonGroup* radioGroup = nullptr;
    QWidget* previousTabStop = nullptr;
    std::vector<QLabel*> labelsWaitingForBuddy;
    for (const ControlSpec& spec : dialog.controls) {
        QWidget* widget = nullptr;
        const QString caption = toQt(spec.caption);
        if (spec.groupStart || spec.kind != ControlKind::RadioButton)
            radioGroup = nullptr;
        switch (spec.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            if (spec.noPrefix || !mnemonicOf(spec.caption))
                label->setText(
                    toQt(spec.noPrefix ? std::string(spec.caption) : displayCaption(spec.caption)));
            else {
                label->setText(caption);
                labelsWaitingForBuddy.push_back(label);
            }
            widget = label;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(caption, this);
            break;
        case ControlKind::TextBox: {
            auto* box = new QLineEdit(this);
            box->setReadOnly(spec.readOnly);
            if (spec.rightAligned)
                box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (spec.digitsOnly)
                box->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("[0-9]*")), box));
            widget = box;
            break;
        }
        case ControlKind::PictureButton:
            widget = new PictureButton(this);
            break;
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, this);
            button->setAutoDefault(false);
            button->setDefault(spec.defaultButton);
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, this);
            break;
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(caption, this);
            if (!radioGroup)
                radioGroup = new QButtonGroup(this);
            radioGroup->addButton(radio);
            radioGroups_[spec.id] = radioGroup;
            widget = radio;
            break;
        }
        case ControlKind::DropDownList:
            widget = new QComboBox(this);
            break;
        case ControlKind::Spin:
            widget = new SpinArrows(this);
            break;
        }

        if (spec.tabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            for (QLabel* label : labelsWaitingForBuddy)
                label->setBuddy(widget);
            labelsWaitingForBuddy.clear();
            if (previousTabStop)
                setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (spec.kind == ControlKind::TextBox) {
            widget->setFocusPolicy(Qt::ClickFocus);
        } else if (spec.kind != ControlKind::Label && spec.kind != ControlKind::GroupBox) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        widgets_.push_back(widget);
        if (spec.id != noControlId)
            byId_[spec.id] = widget;
    }

    // The layout was drawn for a font whose words are narrower, against its
    // letters' average, than most fonts here: where a caption would be cut,
    // the whole window widens evenly until every caption fits.
    double widen = 1.0;
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        const ControlSpec& spec = dialog.controls[i];
        int needed = 0;
        if (auto* label = qobject_cast<QLabel*>(widgets_[i]); label && !spec.noPrefix)
            needed = label->sizeHint().width();
        else if (qobject_cast<QCheckBox*>(widgets_[i]) || qobject_cast<QRadioButton*>(widgets_[i]))
            needed = widgets_[i]->sizeHint().width();
        const int available = toPixels(spec.rect.width, base.x, 4);
        if (needed > available && available > 0)
            widen = std::max(widen, double(needed) / available);
    }
    base.x = int(std::ceil(base.x * widen));
    setFixedSize(toPixels(dialog.width, base.x, 4), toPixels(dialog.height, base.y, 8));
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        const ControlSpec& spec = dialog.controls[i];
        QRect rect = toPixels(spec.rect, base);
        if (spec.kind == ControlKind::DropDownList) // the table holds the opened height
            rect.setHeight(widgets_[i]->sizeHint().height());
        if (spec.kind == ControlKind::PictureButton)
            widgets_[i]->move(rect.topLeft()); // takes its pictures' size
        else
            widgets_[i]->setGeometry(rect);
    }

    for (const ControlSpec& spec : dialog.controls)
        if (spec.id != noControlId)
            connectControl(spec, byId_.at(spec.id));
}

void EditorWindow::connectControl(const ControlSpec& spec, QWidget* widget) {
    const int id = spec.id;
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        connect(box, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            editor_->userSetText(id, fromQt(text));
            mirror(id);
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] {
            editor_->userClick(id);
            mirror(id);
        });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        connect(list, &QComboBox::activated, this, [this, id](int index) {
            editor_->userSelect(id, index);
            mirror(id);
        });
    } else if (auto* arrows = qobject_cast<SpinArrows*>(widget)) {
        if (QWidget* buddy = control(spec.buddyId))
            arrows->setBuddy(buddy);
        connect(arrows, &SpinArrows::stepRequested, this,
                [this, id, buddy = spec.buddyId](int step) {
                    editor_->userSpin(id, step);
                    mirror(id);
                    mirror(buddy);
                });
    }
}

void EditorWindow::mirror(int id) {
    QWidget* widget = control(id);
    if (!widget || !editor_)
        return;
    const ControlState& state = editor_->control(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const ControlSpec* spec = findControl(id);
        const QString text = toQt(
            spec && !spec->noPrefix && !label->buddy() ? displayCaption(state.text) : state.text);
        if (label->text() != text)
            label->setText(text);
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        const int limit = state.lengthLimit > 0 ? state.lengthLimit : 32767;
        if (box->maxLength() != limit)
            box->setMaxLength(limit);
        const QString text = toQt(state.text);
        if (box->text() != text)
            box->setText(text);
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        if (radio->isChecked() != state.checked) {
            // An exclusive group refuses to untick its ticked button; the model
            // decides the ticks, so the group steps aside for the change.
            QButtonGroup* group = radioGroups_.at(id);
            group->setExclusive(false);
            radio->setChecked(state.checked);
            group->setExclusive(true);
        }
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        if (check->isChecked() != state.checked)
            check->setChecked(state.checked);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QStringList items;
        for (const std::string& item : state.items)
            items << toQt(item);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        if (list->currentIndex() != state.selection)
            list->setCurrentIndex(state.selection);
    }
    if (widget->isEnabled() != state.enabled)
        widget->setEnabled(state.enabled);
}

void EditorWindow::mirrorAll() {
    for (const auto& [id, widget] : byId_)
        mirror(id);
}

void EditorWindow::addAboutEntries(const std::vector<shell::MenuEntry>& entries) {
    // A dialog here has no window menu: the entries go to the window's context
    // menu, and the About command also answers F1 (on macOS: the application
    // menu's About item).
    setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const shell::MenuEntry& entry : entries) {
        auto* action = new QAction(this);
        if (entry.separator) {
            action->setSeparator(true);
        } else {
            action->setText(toQt(entry.text));
            const unsigned command = entry.commandId;
            connect(action, &QAction::triggered, this,
                    [this, command] { editor_->OnAboutCommand(command); });
            if (shell::isAboutCommand(command)) {
                action->setShortcut(QKeySequence(Qt::Key_F1));
                action->setShortcutContext(Qt::WindowShortcut);
                action->setMenuRole(QAction::AboutRole);
            }
        }
        addAction(action);
    }
}

std::optional<std::string> EditorWindow::runOpenFileDialog(const OpenFileDialogSettings& settings) {
    BusyPointerLifted lifted;
    QFileDialog dialog(this, toQt(settings.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(settings.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The names are shown as the model gives them; the patterns behind them
    // are Qt's.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const FileFilter& filter : settings.filters)
        filters << toQt(filter.name) + QStringLiteral(" (") + qtPatterns(filter.pattern) +
                       QLatin1Char(')');
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(toQt(settings.defaultExtension));
    if (!settings.initialFolder.empty())
        dialog.setDirectory(toQt(settings.initialFolder));
    if (!settings.initialFileName.empty())
        dialog.selectFile(toQt(settings.initialFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return fromQt(dialog.selectedFiles().constFirst());
}

void EditorWindow::runAboutBox() {
    // The About box is built from the shell's template once the window model
    // describes it in the same format as this window.
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        editor_->userPressEnter();
        return;
    }
    QDialog::keyPressEvent(event);
}

void EditorWindow::reject() {
    // Escape and the title bar's close box; the model ends the modal run.
    editor_->userPressEscape();
}

void EditorWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void EditorWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    // Alt with a letter goes to the model, which decides what the mnemonic
    // does; Qt's own shortcuts for the "&" captions never see it.
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* modal = QApplication::activeModalWidget();
    if (!widget || widget->window() != this || (modal && modal != this))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool letter = (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) ||
                        (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9);
    if (!letter || key->modifiers() != Qt::AltModifier)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        editor_->userPressMnemonic(static_cast<char>(key->key()));
        mirrorAll();
    }
    return true;
}

} // namespace varnholt::qt
