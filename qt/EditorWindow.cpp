#include "qt/EditorWindow.h"

#include "editor/AboutCommand.h"
#include "qt/AboutDialog.h"
#include "qt/HostSupport.h"
#include "qt/PictureButton.h"
#include "qt/SpinArrows.h"
#include "words/UiText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#ifdef Q_OS_MACOS
#include <QMenuBar>
#endif
#include <QPushButton>
#include <QRadioButton>

namespace varnholt::qt {

namespace {

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

    void showMessage(const MessageBoxRequest& request) override { showMessageBox(&w_, request); }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings) override {
        return w_.runOpenFileDialog(settings);
    }
    void beginBusy() override { beginBusyPointer(); }
    void endBusy() override { endBusyPointer(); }
    void setWindowTitle(const std::string& title) override { w_.setWindowTitle(toQt(title)); }
    void setWindowIcon(int) override { w_.setWindowIcon(applicationIcon()); }
    void attachPictures(int controlId) override {
        const ControlLayout* spec = editorDialog().find(controlId);
        if (auto* button = qobject_cast<PictureButton*>(w_.control(controlId)); button && spec)
            button->setPictures(spec->pictures, pictureFolder());
    }
    void addMenuEntries(const std::vector<MenuEntry>& entries) override {
        w_.addMenuEntries(entries);
    }
    void runAboutBox(const std::string& messageCaption) override { w_.runAboutBox(messageCaption); }
    void setFocus(int controlId) override {
        if (QWidget* widget = w_.control(controlId))
            widget->setFocus(Qt::OtherFocusReason);
    }
    void selectAllText(int controlId) override {
        if (auto* box = qobject_cast<QLineEdit*>(w_.control(controlId)))
            box->selectAll();
    }
    void controlChanged(int controlId) override { w_.mirror(controlId); }
    void endModal(int result) override { w_.done(result); }

  private:
    EditorWindow& w_;
};

EditorWindow::EditorWindow(std::string programFolder, std::string applicationName, QWidget* parent)
    : QDialog(parent), host_(std::make_unique<Host>(*this)) {
    const DialogLayout& dialog = editorDialog();
    built_ = buildDialog(*this, dialog);
    for (const ControlLayout& spec : dialog.controls)
        if (spec.id != noControlId)
            connectControl(spec, control(spec.id));
    editor_ = std::make_unique<SaveGameEditor>(*host_, std::move(programFolder),
                                               std::move(applicationName));
    editor_->initialise();
    setAcceptDrops(true);
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::openSaveGame(const QString& path) {
    editor_->openSaveGame(fromQt(path));
}

void EditorWindow::connectControl(const ControlLayout& spec, QWidget* widget) {
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
        const ControlLayout* spec = editorDialog().find(id);
        const QString text = toQt(
            spec && !spec->noPrefix && !label->buddy() ? displayCaption(state.text) : state.text);
        if (label->text() != text)
            label->setText(text);
        // A label that shows a value is named after the caption beside it;
        // the value itself is its description, for assistive technology.
        if (spec && spec->caption.empty() && !label->accessibleName().isEmpty() &&
            label->accessibleDescription() != text)
            label->setAccessibleDescription(text);
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        const int limit = state.effectiveLengthLimit();
        if (box->maxLength() != limit)
            box->setMaxLength(limit);
        const QString text = toQt(state.text);
        if (box->text() != text)
            box->setText(text);
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        if (radio->isChecked() != state.checked) {
            // An exclusive group refuses to untick its ticked button; the model
            // decides the ticks, so the group steps aside for the change.
            QButtonGroup* group = built_.radioGroups.at(id);
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

void EditorWindow::addMenuEntries(const std::vector<MenuEntry>& entries) {
    // A dialog here has no window menu: the entries go to the window's context
    // menu, and the About command also answers F1 (on macOS: the application
    // menu's About item).
    setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const MenuEntry& entry : entries) {
        auto* action = new QAction(this);
        if (entry.separator) {
            action->setSeparator(true);
        } else {
            action->setText(toQt(entry.text));
            const unsigned command = entry.commandId;
            connect(action, &QAction::triggered, this,
                    [this, command] { editor_->userMenuCommand(command); });
            if (command == aboutCommandId) {
                action->setShortcut(QKeySequence(Qt::Key_F1));
                action->setShortcutContext(Qt::WindowShortcut);
                action->setMenuRole(QAction::AboutRole);
#ifdef Q_OS_MACOS
                // A menu bar without a parent is the application's; Qt moves
                // an AboutRole action into its application menu.
                static QMenu* help =
                    (new QMenuBar(nullptr))->addMenu(toQt(localized(uiText("Help"))));
                help->addAction(action);
#endif
            }
        }
        addAction(action);
    }
}

std::optional<std::string> EditorWindow::runOpenFileDialog(const OpenFileDialogSettings& settings) {
    // Qt's dialog never moves the current folder, so keepCurrentFolder holds by itself.
    QFileDialog dialog(this, toQt(settings.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(settings.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, !settings.showReadOnlyOption);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return fromQt(dialog.selectedFiles().constFirst());
}

void EditorWindow::runAboutBox(const std::string& messageCaption) {
    AboutDialog about(messageCaption, this);
    about.exec();
}

void EditorWindow::reject() {
    // Escape and the title bar's close box; the model ends the modal run.
    editor_->userPressEscape();
}

namespace {

// The local files a drag carries; anything else (a web address) is no file.
std::vector<std::string> localFiles(const QMimeData& data) {
    std::vector<std::string> files;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            return {};
        files.push_back(fromQt(url.toLocalFile()));
    }
    return files;
}

} // namespace

void EditorWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (editor_->acceptsDrop(localFiles(*event->mimeData()).size()))
        event->acceptProposedAction();
}

void EditorWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(*event->mimeData());
    if (!editor_->acceptsDrop(files.size()))
        return;
    event->acceptProposedAction();
    editor_->userDropFiles(files);
}

} // namespace varnholt::qt
