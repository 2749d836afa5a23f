// The window program end to end on the offscreen platform: real mouse and key
// events on the real widgets, on saves made by savegen. The rules are tested in
// the model; this checks the wiring (widget -> model -> widget) and the modal
// flows (message boxes, the file dialog).

#include "qt/EditorWindow.h"
#include "ModalWaits.h"
#include "TestFiles.h"
#include "editor/SaveGameEditor.h"
#include "qt/AboutDialog.h"
#include "qt/LinkLabel.h"
#include "qt/QtAppHost.h"
#include "qt/SpinArrows.h"
#include "tools/savegen/SaveGen.h"
#include "words/Messages.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>

using namespace varnholt;
using qt::EditorWindow;
using qttest::whenMenu;
using qttest::whenModal;
using testfiles::TempFolder;

namespace {

const QString appName = QStringLiteral("EditorWindowTest");

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// One message box as the user saw it.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    Qt::TextFormat format;
};

// Answers every message box that opens while it lives: records it and clicks OK.
class BoxAnswerer {
  public:
    BoxAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->textFormat()});
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer_.start();
    }
    std::vector<SeenBox> boxes;

  private:
    QTimer timer_;
};

// Stands in for the desktop's mail program.
class MailHandler : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

// Whether any pixel of the widget is drawn in about that colour.
bool showsColour(QWidget* widget, QColor colour) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 &&
                std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                return true;
        }
    return false;
}

// Whether the picture button is drawn, pixel for pixel, as its picture `name`.
bool drawnAs(QWidget* button, std::string_view name) {
    const QImage picture(QStringLiteral(":/varnholt/") +
                         QString::fromUtf8(name.data(), qsizetype(name.size())) +
                         QStringLiteral(".bmp"));
    return !picture.isNull() && button->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                                    picture.convertToFormat(QImage::Format_RGB32);
}

savegen::SaveSpec releaseSpec(const char* label) {
    return savegen::specForRelease(label);
}

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorWindow> window;
    std::unique_ptr<TempFolder> folder;

    EditorWindow& open() {
        window = std::make_unique<EditorWindow>(folder->path().string(), appName.toStdString());
        window->setWindowModality(Qt::ApplicationModal); // as when it runs modally
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()) ||
            !QTest::qWaitForWindowActive(window.get()))
            qFatal("the editor window was never shown");
        return *window;
    }
    // A key as the platform delivers it: to the window, which hands it to
    // whatever has the focus, shortcuts first.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), k, modifiers);
    }
    void typeKeys(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(window->windowHandle(), c.toLatin1());
    }
    // The identifier of the control that has the focus.
    int focused() const {
        for (const ControlLayout& spec : editorDialog().controls)
            if (spec.id != noControlId && window->control(spec.id) == QApplication::focusWidget())
                return spec.id;
        return noControlId;
    }
    template <class T> T* findChild(const QString& text) {
        for (T* child : window->findChildren<T*>())
            if (child->text() == text)
                return child;
        qFatal("no such child");
    }
    template <class T> T* widget(int id) {
        auto* w = qobject_cast<T*>(window->control(id));
        if (!w)
            qFatal("control %d is not of the expected kind", id);
        return w;
    }
    QLineEdit* box(int id) { return widget<QLineEdit>(id); }
    QString labelText(int id) { return widget<QLabel>(id)->text(); }
    void click(int id) { QTest::mouseClick(window->control(id), Qt::LeftButton); }
    void typeInto(int id, const QString& text) {
        QLineEdit* edit = box(id);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        for (QChar c : text) // keyClicks knows only ASCII
            QTest::sendKeyEvent(QTest::Click, edit,
                                c.unicode() < 128 ? QTest::asciiToKey(char(c.unicode()))
                                                  : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
    }
    std::string writeSave(const std::string& name, const savegen::SaveSpec& spec,
                          const std::filesystem::path& in = {}) {
        const std::filesystem::path where = in.empty() ? folder->path() : in;
        const std::string path = (where / name).string();
        savegen::writeSave(path, spec);
        return path;
    }
    // Loads a save as a user does who types its path and presses Refresh.
    void load(const std::string& path) {
        typeInto(idSourcePath, q(path));
        BoxAnswerer boxes;
        click(idRefresh);
        QCOMPARE(int(boxes.boxes.size()), 0);
        QCOMPARE(labelText(idStatusLine), QStringLiteral("Successfully loaded saved game file."));
        QVERIFY2(!QApplication::overrideCursor(), "the busy cursor is gone");
    }
    void pickFromPopup(QComboBox* list, int index) {
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        QTRY_VERIFY(view->isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 50); // an early release is ignored
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(index, 0)).center());
        QTRY_VERIFY(!view->isVisible());
    }
    void clickArrow(int spinId, bool up) {
        auto* arrows = widget<qt::SpinArrows>(spinId);
        QTest::mouseClick(arrows, Qt::LeftButton, {},
                          (up ? arrows->upRect() : arrows->downRect()).center());
    }

  private Q_SLOTS:
    void init() { folder = std::make_unique<TempFolder>(); }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    // 1. The window as it starts.
    void start() {
        EditorWindow& w = open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnholt"));
        // The window icon comes in every size the resources hold.
        QList<QSize> held;
        for (const QFileInfo& file : QDir(QStringLiteral(":/varnholt/icons")).entryInfoList())
            held << QImage(file.filePath()).size();
        QList<QSize> offered = w.windowIcon().availableSizes();
        const auto byWidth = [](QSize a, QSize b) { return a.width() < b.width(); };
        std::sort(held.begin(), held.end(), byWidth);
        std::sort(offered.begin(), offered.end(), byWidth);
        QVERIFY(!held.isEmpty());
        QCOMPARE(offered, held);
        QCOMPARE(w.minimumSize(), w.maximumSize()); // fixed size
        QCOMPARE(w.size(), w.minimumSize());
        for (int id : {idCampaignDifficulty, idBattleDifficulty}) {
            auto* list = widget<QComboBox>(id);
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->itemText(0), QStringLiteral("Easy"));
            QCOMPARE(list->currentText(), QStringLiteral("Medium"));
        }
        QCOMPARE(widget<QComboBox>(idUnitScaleClass)->currentText(), QStringLiteral("Normal"));
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("40"));
        QVERIFY(box(idUnitScale)->isReadOnly()); // set by its arrows and list only
        QCOMPARE(box(idYear)->text(), QStringLiteral("270"));
        QVERIFY(widget<QCheckBox>(idNoBattleTimeLimit)->isChecked());
        QVERIFY(widget<QRadioButton>(idBC)->isChecked());
        QVERIFY(!widget<QRadioButton>(idAD)->isChecked());
        QVERIFY(widget<QRadioButton>(idSummer)->isChecked());
        QCOMPARE(QApplication::focusWidget(), w.control(idSourcePath));
        for (int id : {idRefresh, idApply, idSetCampaignDifficulty, idSetBattleDifficulty,
                       idSetBattleTimeLimit, idSetCampaignLength, idSetUnitScale,
                       idSetYearAndSeason, idCampaignDifficulty, idUnitScaleSpin, idYear, idBC})
            QVERIFY2(!w.control(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {idSourcePath, idBrowse, idOk})
            QVERIFY(w.control(id)->isEnabled());
        QVERIFY(drawnAs(w.control(idRefresh), editorDialog().find(idRefresh)->pictures.disabled));
    }

    // 2. Typing into the source path box key by key; the Set boxes enable, and Refresh shows
    // its normal picture (the focus stays in the box).
    void typing() {
        EditorWindow& w = open();
        QTest::keyClicks(box(idSourcePath), QStringLiteral("ab/c"));
        QCOMPARE(box(idSourcePath)->text(), QStringLiteral("ab/c"));
        QCOMPARE(q(w.editor().control(idSourcePath).text), QStringLiteral("ab/c"));
        QTest::keyClick(box(idSourcePath), Qt::Key_Left);
        QTest::keyClick(box(idSourcePath), Qt::Key_X); // the caret survived the mirroring
        QCOMPARE(box(idSourcePath)->text(), QStringLiteral("ab/xc"));
        // The path box takes as much as the platform's boxes without a limit.
        QCOMPARE(box(idSourcePath)->maxLength(), 32767);
        QCOMPARE(box(idYear)->maxLength(), 4);
        QVERIFY(box(idYear)->alignment() & Qt::AlignRight);
        for (int id : {idRefresh, idSetCampaignDifficulty, idSetCampaignLength, idSetYearAndSeason})
            QVERIFY(w.control(id)->isEnabled());
        QVERIFY(!w.control(idApply)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w.control(idSourcePath));
        QVERIFY(drawnAs(w.control(idRefresh), editorDialog().find(idRefresh)->pictures.normal));
    }

    // 3. Browse: the file dialog's settings; a picked save fills the window.
    void browse() {
        EditorWindow& w = open();
        savegen::SaveSpec spec = releaseSpec("1.2");
        spec.campaignName = u"Nordmark";
        const std::string path = writeSave("quick.sav", spec);
        QString title, suffix, directory;
        QStringList filters, shownFilters;
        bool mustExist = false;
        auto came = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i)
                    shownFilters << types->itemText(i);
            suffix = dialog->defaultSuffix();
            mustExist = dialog->fileMode() == QFileDialog::ExistingFile;
            directory = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setText(q(path)); // typed key by key, Qt's completer would add to it
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
        click(idBrowse);
        QVERIFY(*came);
        QCOMPARE(title, QStringLiteral("Select Iron Dominion Save File"));
        QCOMPARE(filters, (QStringList{QStringLiteral("IRD Save Files (*.sav) (*.sav)"),
                                       QStringLiteral("All Files (*.*) (*)")}));
        // The names as the model gives them, without Qt's patterns behind them.
        QCOMPARE(shownFilters, (QStringList{QStringLiteral("IRD Save Files (*.sav)"),
                                            QStringLiteral("All Files (*.*)")}));
        QCOMPARE(suffix, QStringLiteral("sav"));
        QVERIFY(mustExist);
        QCOMPARE(directory, q(folder->path().string())); // the program folder
        const QString output = q(folder->file("Varnholt000.sav"));
        QCOMPARE(box(idSourcePath)->text(), q(path));
        QCOMPARE(box(idOutputPath)->text(), output);
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnholt - ") + output);
        QCOMPARE(labelText(idReleaseLabel), QStringLiteral("1.2"));
        QCOMPARE(labelText(idCampaignName), QStringLiteral("Nordmark"));
        QVERIFY(!labelText(idFactionName).isEmpty());
        QCOMPARE(labelText(idStatusLine), QStringLiteral("Successfully loaded saved game file."));
        QVERIFY(w.control(idApply)->isEnabled());
    }

    // 4. A missing path, and files that are no saves, and Refresh: one box each,
    // exactly as the model words it.
    void missingPath() {
        EditorWindow& w = open();
        const std::string missing = folder->file("gone.sav");
        typeInto(idSourcePath, q(missing));
        BoxAnswerer boxes;
        click(idRefresh);
        QCOMPARE(int(boxes.boxes.size()), 1);
        QCOMPARE(boxes.boxes[0].caption, appName);
        QCOMPARE(boxes.boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.boxes[0].format, Qt::PlainText);
        QCOMPARE(boxes.boxes[0].text,
                 q("Error reading " + missing + ": " + missing + " was not found."));
        QVERIFY(!w.control(idApply)->isEnabled());

        const std::string other = folder->file("other.sav");
        const std::pair<std::vector<std::uint8_t>, const char*> notSaves[] = {
            {{}, "Unknown IRD version."},
            {{'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'}, "Unknown IRD version."},
        };
        for (const auto& [bytes, description] : notSaves) {
            testfiles::writeBytes(other, bytes);
            typeInto(idSourcePath, q(other));
            boxes.boxes.clear();
            click(idRefresh);
            QCOMPARE(int(boxes.boxes.size()), 1);
            QCOMPARE(boxes.boxes[0].text, q("Error reading " + other + ": " + description));
        }
    }

    // 5. An empty year and a click on a Set box: the prompt, then the year box
    // has the focus with its text selected.
    void integerPrompt() {
        EditorWindow& w = open();
        load(writeSave("y.sav", releaseSpec("1.2")));
        click(idSetYearAndSeason);
        typeInto(idYear, QString());
        BoxAnswerer boxes;
        click(idSetCampaignDifficulty);
        QCOMPARE(int(boxes.boxes.size()), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("Please enter an integer."));
        QCOMPARE(boxes.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(w.focusWidget(), w.control(idYear));
        QCOMPARE(widget<QCheckBox>(idSetCampaignDifficulty)->isChecked(),
                 w.editor().control(idSetCampaignDifficulty).checked);

        QTest::keyClicks(box(idYear), QStringLiteral("x"));
        click(idSetBattleDifficulty);
        QCOMPARE(int(boxes.boxes.size()), 2);
        QCOMPARE(box(idYear)->selectedText(), QStringLiteral("x"));

        // Year 0 is no year: Apply asks again, with the focus in the year box, and writes nothing.
        typeInto(idYear, QStringLiteral("0"));
        click(idApply);
        QCOMPARE(int(boxes.boxes.size()), 3);
        QCOMPARE(boxes.boxes[2].text, q(noYearZeroText));
        QCOMPARE(w.focusWidget(), w.control(idYear));
        QVERIFY(!std::filesystem::exists(folder->file("Varnholt000.sav")));
    }

    // 6. Unit scale through the arrows and the size-class list.
    void unitScale() {
        open();
        load(writeSave("u.sav", releaseSpec("1.2")));
        click(idSetUnitScale);
        auto* sizeClass = widget<QComboBox>(idUnitScaleClass);
        clickArrow(idUnitScaleSpin, true);
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("45"));
        QCOMPARE(sizeClass->currentText(), QStringLiteral("Large"));
        clickArrow(idUnitScaleSpin, false);
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("40"));
        QCOMPARE(sizeClass->currentText(), QStringLiteral("Normal"));
        pickFromPopup(sizeClass, 3);
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("160"));
        clickArrow(idUnitScaleSpin, true);
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("160"));
        QCOMPARE(sizeClass->currentText(), QStringLiteral("Huge"));
        box(idUnitScale)->setFocus(); // the Down key in the box steps the spin
        QTest::keyClick(box(idUnitScale), Qt::Key_Down);
        QCOMPARE(box(idUnitScale)->text(), QStringLiteral("155"));
    }

    // 6a. The difficulty lists take the names of the campaign loaded, in place
    // of the earlier ones; both arrows of a spin are drawn.
    void namesAndArrows() {
        open();
        savegen::SaveSpec mod = releaseSpec("1.2");
        mod.campaignName = u"iron_dominion_plus";
        load(writeSave("mod.sav", mod));
        const QStringList modNames{QStringLiteral("General"), QStringLiteral("Praetor"),
                                   QStringLiteral("Consul"), QStringLiteral("Emperor")};
        for (int id : {idCampaignDifficulty, idBattleDifficulty}) {
            auto* list = widget<QComboBox>(id);
            QStringList shown;
            for (int i = 0; i < list->count(); ++i)
                shown << list->itemText(i);
            QCOMPARE(shown, modNames);
        }

        const QImage arrows = widget<qt::SpinArrows>(idYearSpin)->grab().toImage();
        const auto drawnIn = [&](int top, int bottom) {
            int marked = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < arrows.width(); ++x)
                    marked += arrows.pixel(x, y) != arrows.pixel(arrows.width() / 2, top);
            return marked;
        };
        QVERIFY(drawnIn(1, arrows.height() / 2 - 1) > 0);
        QVERIFY(drawnIn(arrows.height() / 2 + 1, arrows.height() - 1) > 0);
    }

    // 6b. An arrow held down repeats until it is let go; the hold ends when
    // its spin is disabled, and stays ended when the spin is enabled again.
    void heldArrow() {
        open();
        load(writeSave("h.sav", releaseSpec("1.2")));
        click(idSetYearAndSeason);
        auto* arrows = widget<qt::SpinArrows>(idYearSpin);
        const int start = box(idYear)->text().toInt();
        clickArrow(idYearSpin, true); // a click is one step
        QCOMPARE(box(idYear)->text().toInt(), start + 1);
        clickArrow(idYearSpin, false);
        QCOMPARE(box(idYear)->text().toInt(), start);
        const QPoint up = arrows->upRect().center();
        QCursor::setPos(arrows->mapToGlobal(up));
        QTest::mousePress(arrows, Qt::LeftButton, {}, up);
        QTRY_VERIFY_WITH_TIMEOUT(box(idYear)->text().toInt() >= start + 3, 5000);
        key(Qt::Key_Y, Qt::AltModifier);
        QVERIFY(!arrows->isEnabled());
        key(Qt::Key_Y, Qt::AltModifier);
        QVERIFY(arrows->isEnabled());
        const QString after = box(idYear)->text();
        QTest::qWait(spinFirstRepeatDelayMs + 4 * spinRepeatIntervalMs);
        QCOMPARE(box(idYear)->text(), after);
        QTest::mouseRelease(arrows, Qt::LeftButton, {}, up);
    }

    // 7. The keyboard as a platform delivers it: every key enters through the
    // window and Qt's dialog manager routes it (Enter, Escape, Tab, "&"
    // mnemonics); a mnemonic clicks its button at once, as on Windows.
    void keyboard() {
        EditorWindow& w = open();
        const std::string source = writeSave("k.sav", releaseSpec("1.2"));
        QCOMPARE(focused(), idSourcePath);
        typeKeys(q(source));
        QCOMPARE(box(idSourcePath)->text(), q(source));
        key(Qt::Key_Tab); // Refresh, a picture button: Enter presses it
        QCOMPARE(focused(), idRefresh);
        key(Qt::Key_Return);
        QCOMPARE(labelText(idStatusLine), QStringLiteral("Successfully loaded saved game file."));

        // Alt+Y ticks its box and focuses it, so that Tab reaches the year box.
        // Tab comes at once, as a fast typist's does: the click must be done by then.
        key(Qt::Key_Y, Qt::AltModifier);
        key(Qt::Key_Tab);
        QVERIFY(widget<QCheckBox>(idSetYearAndSeason)->isChecked());
        QCOMPARE(focused(), idYear);
        typeKeys(QStringLiteral("1205"));
        QCOMPARE(box(idYear)->text(), QStringLiteral("1205"));
        QCOMPARE(q(w.editor().control(idYear).text), QStringLiteral("1205"));
        // The arrow keys step the year as its spin's arrows do.
        key(Qt::Key_Up);
        QCOMPARE(box(idYear)->text(), QStringLiteral("1206"));
        key(Qt::Key_Down);
        QCOMPARE(box(idYear)->text(), QStringLiteral("1205"));

        // A mnemonic label focuses the Tab stop after it.
        key(Qt::Key_F, Qt::AltModifier);
        QCOMPARE(focused(), idSourcePath);
        QCOMPARE(findChild<QLabel>(QStringLiteral("Save game &file name:"))->buddy(),
                 w.control(idSourcePath));

        // Shift+Tab twice from the path box is Apply; Enter applies, the window stays.
        key(Qt::Key_Tab, Qt::ShiftModifier);
        key(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), idApply);
        key(Qt::Key_Return);
        QCOMPARE(labelText(idStatusLine),
                 QStringLiteral("Successfully applied changes to new saved game file."));
        QVERIFY(std::filesystem::exists(folder->file("Varnholt000.sav")));
        QVERIFY(w.isVisible());

        // Alt+R presses Browse.
        auto browsed = whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        key(Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(*browsed);
        QVERIFY(w.isVisible());
        // The offscreen platform has no window manager to hand the activation
        // back once the dialog has gone.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // Tab follows the table: every enabled Tab stop, of a radio group only
        // the ticked button.
        QList<int> expected;
        for (const ControlLayout& spec : editorDialog().controls) {
            if (!spec.tabStop)
                continue;
            const ControlState& state = w.editor().control(spec.id);
            if (state.enabled && (spec.kind != ControlKind::RadioButton || state.checked))
                expected << spec.id;
        }
        key(Qt::Key_F, Qt::AltModifier);
        QList<int> visited{focused()};
        while (visited.size() < expected.size()) {
            key(Qt::Key_Tab);
            visited << focused();
        }
        QCOMPARE(visited, expected);

        // Enter in a text box presses the default button, Close.
        key(Qt::Key_F, Qt::AltModifier);
        key(Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), 1);

        // Escape cancels.
        EditorWindow& again = open();
        key(Qt::Key_Escape);
        QVERIFY(!again.isVisible());
        QCOMPARE(again.result(), 2);
    }

    // 8. Every control a user can reach has a name for assistive technology
    // (the status line is read by what it shows, nothing until a command
    // reports); a value label is named after its caption. (The AT-SPI walk,
    // check_accessibility_tree.sh, sees the same through a screen reader's bus.)
    void accessibleNames() {
        EditorWindow& w = open();
        QStringList nameless;
        const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                if (!child || child->state().invisible)
                    continue;
                if (child->text(QAccessible::Name).isEmpty() &&
                    child->object() != w.control(idStatusLine))
                    nameless << QString::fromLatin1(child->object()->metaObject()->className()) +
                                    QLatin1Char(' ') + QString::number(int(child->role()), 16);
                walk(child);
            }
        };
        walk(QAccessible::queryAccessibleInterface(&w));
        QCOMPARE(nameless, QStringList());
        const auto nameOf = [&](int id) {
            return QAccessible::queryAccessibleInterface(w.control(id))->text(QAccessible::Name);
        };
        QCOMPARE(nameOf(idYearSpin), QStringLiteral("Year"));
        // A list is named after what it sets, never by the item it shows.
        QCOMPARE(nameOf(idCampaignDifficulty), QStringLiteral("Campaign difficulty"));
        QCOMPARE(nameOf(idUnitScaleClass), QStringLiteral("Unit scale"));
        QCOMPARE(nameOf(idReleaseLabel), QStringLiteral("Version"));
        load(writeSave("n.sav", releaseSpec("1.2"))); // and the value is still heard
        QCOMPARE(QAccessible::queryAccessibleInterface(w.control(idReleaseLabel))
                     ->text(QAccessible::Description),
                 QStringLiteral("1.2"));
        // A list's value follows the pick: its text, and the one item selected.
        auto* list = qobject_cast<QComboBox*>(w.control(idCampaignDifficulty));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
        list->setCurrentIndex(3);
        QAccessibleTextInterface* text = accessible->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("Very Hard"));
        QCOMPARE(list->view()->selectionModel()->selectedIndexes().size(), 1);
        QCOMPARE(list->view()->selectionModel()->selectedIndexes().front().row(), 3);
    }

    // 9. Apply with several groups: the same bytes as varnholt-cli apply; a
    // read-only output is refused with the access-denied text.
    void applyMatchesTheCommandLine() {
        EditorWindow& w = open();
        const std::string source = writeSave("a.sav", releaseSpec("1.2"));
        const auto original = testfiles::readBytes(source);
        load(source);
        click(idSetCampaignDifficulty);
        QTest::keyClick(w.control(idCampaignDifficulty), Qt::Key_Down); // Medium -> Hard
        click(idSetBattleTimeLimit);
        click(idNoBattleTimeLimit); // ticked -> battles get a time limit
        click(idSetUnitScale);
        clickArrow(idUnitScaleSpin, true);
        clickArrow(idUnitScaleSpin, true);
        click(idSetYearAndSeason);
        typeInto(idYear, QStringLiteral("1205"));
        // The era and the season are two groups: a tick in one leaves the other.
        const auto ticks = [&] {
            QString shown;
            for (int id : {idBC, idAD, idSummer, idWinter})
                shown +=
                    widget<QRadioButton>(id)->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
            return shown;
        };
        click(idAD);
        QCOMPARE(ticks(), QStringLiteral("-xx-"));
        click(idWinter);
        QCOMPARE(ticks(), QStringLiteral("-x-x"));
        BoxAnswerer boxes;
        click(idApply);
        QCOMPARE(int(boxes.boxes.size()), 0);
        QCOMPARE(labelText(idStatusLine),
                 QStringLiteral("Successfully applied changes to new saved game file."));

        const std::string expected = folder->file("expected.sav");
        QProcess cli;
        cli.start(QStringLiteral(VARNHOLT_CLI),
                  {QStringLiteral("apply"), q(source), QStringLiteral("--output"), q(expected),
                   QStringLiteral("--campaign-difficulty"), QStringLiteral("2"),
                   QStringLiteral("--time-limit"), QStringLiteral("on"),
                   QStringLiteral("--unit-scale"), QStringLiteral("50"), QStringLiteral("--year"),
                   QStringLiteral("1205"), QStringLiteral("--era"), QStringLiteral("AD"),
                   QStringLiteral("--season"), QStringLiteral("winter")});
        QVERIFY(cli.waitForFinished());
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(testfiles::readBytes(folder->file("Varnholt000.sav")) ==
                testfiles::readBytes(expected));
        QVERIFY(testfiles::readBytes(source) == original);

        // Reload: the next output name is taken read-only before Apply.
        load(source);
        const std::string locked = folder->file("Varnholt001.sav");
        QCOMPARE(box(idOutputPath)->text(), q(locked));
        testfiles::writeBytes(locked, {1, 2, 3});
        std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
        click(idApply);
        QCOMPARE(int(boxes.boxes.size()), 1);
        QCOMPARE(boxes.boxes[0].text,
                 q("Error writing " + locked + ": Access to " + locked + " was denied."));
        QVERIFY(testfiles::readBytes(locked) == (std::vector<std::uint8_t>{1, 2, 3}));
    }

    // 10. An expansion save disables the campaign-length controls.
    void expansionSave() {
        EditorWindow& w = open();
        load(writeSave("e.sav", releaseSpec("1.6")));
        QCOMPARE(labelText(idReleaseLabel), QStringLiteral("1.6"));
        QVERIFY(!w.control(idSetCampaignLength)->isEnabled());
        QVERIFY(!w.control(idShortCampaign)->isEnabled());
        QVERIFY(w.control(idSetUnitScale)->isEnabled());
    }

    // 11. Non-ASCII and "&" (and markup) in the campaign name and the folder,
    // shown as written; the copy is written there.
    void literalTexts() {
        EditorWindow& w = open();
        const std::filesystem::path odd = folder->path() / "Sp\u00e4ter & <i>fr\u00fch";
        std::filesystem::create_directory(odd);
        savegen::SaveSpec spec = releaseSpec("1.2");
        spec.campaignName = u"K\u00f6nig & <b>Ost</b>";
        const std::string path = writeSave("s.sav", spec, odd);
        load(path);
        QCOMPARE(labelText(idCampaignName), QStringLiteral("K\u00f6nig & <b>Ost</b>"));
        QCOMPARE(widget<QLabel>(idCampaignName)->textFormat(), Qt::PlainText);
        QCOMPARE(box(idSourcePath)->text(), q(path));
        QVERIFY(w.windowTitle().endsWith(q((odd / "Varnholt000.sav").string())));
        click(idApply);
        QVERIFY(std::filesystem::exists(odd / "Varnholt000.sav"));
    }

    // 12. About from the context menu and from F1: the label fitted to its
    // text, hover colour and its revert, the URL handed to the mail program,
    // and a failing opener's box.
    void aboutBox() {
        EditorWindow& w = open();
        const QString url = QStringLiteral("mailto:") + q(std::string(shell::contactEmail()));
        MailHandler mail;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
        QString menuText;
        QStringList seen;
        auto sawAbout = whenModal<qt::AboutDialog>([&](qt::AboutDialog* about) {
            seen << about->windowTitle();
            qt::LinkLabel* link = about->link();
            const QFont underlined = [&] {
                QFont f = link->font();
                f.setUnderline(true);
                return f;
            }();
            if (link->width() != QFontMetrics(underlined).horizontalAdvance(link->text()))
                seen << QStringLiteral("label not fitted");
            seen << link->toolTip();
            const QPoint inside = link->rect().center();
            QEnterEvent enter(inside, link->mapTo(about, inside), link->mapToGlobal(inside));
            QApplication::sendEvent(link, &enter);
            QMouseEvent move(QEvent::MouseMove, inside, link->mapToGlobal(inside), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(link, &move);
            if (!link->font().underline() || !showsColour(link, Qt::red) ||
                link->cursor().shape() != Qt::PointingHandCursor)
                seen << QStringLiteral("no hover");
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(link, &leave);
            QTest::qWait(250); // the leave check runs every 100 ms
            if (link->font().underline() || showsColour(link, Qt::red) ||
                !showsColour(link, QColor(0, 0, 238)))
                seen << QStringLiteral("hover stuck");
            QTest::mouseClick(link, Qt::LeftButton);
            QTest::mouseClick(about->control(idOk), Qt::LeftButton);
        });
        auto sawMenu = whenMenu([&](QMenu* menu) {
            QAction* about = menu->actions().constLast();
            menuText = about->text();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
        });
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                     w.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&w, &rightClick);
        QVERIFY(*sawMenu);
        QVERIFY(*sawAbout);
        QCOMPARE(menuText, QStringLiteral("&About Varnholt..."));
        QCOMPARE(seen, (QStringList{QStringLiteral("About Varnholt"), url}));
        QCOMPARE(mail.opened, QList<QUrl>{QUrl(url)});

        // F1, with no mail program: the error box.
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        BoxAnswerer boxes;
        sawAbout = whenModal<qt::AboutDialog>([&](qt::AboutDialog* about) {
            QTest::mouseClick(about->link(), Qt::LeftButton);
            QTest::keyClick(about, Qt::Key_Escape);
        });
        QApplication::setActiveWindow(&w);
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(*sawAbout);
        QCOMPARE(int(boxes.boxes.size()), 1);
        QCOMPARE(boxes.boxes[0].caption, appName);
        QCOMPARE(boxes.boxes[0].icon, QMessageBox::Warning);
        QVERIFY(boxes.boxes[0].text.startsWith(QStringLiteral("Unable to open hyperlink:\n\n")));
    }

    // 13 and 14. Through the application object: a save given as argument is
    // loaded; Enter closes the program, which ends with exit code 0, and
    // nothing is written anywhere. A missing save as argument gives the load's
    // box. A save dropped on the window is loaded, several are answered with
    // a box; a drop of anything else is refused.
    void argumentDropAndExit() {
        const std::string save = writeSave("keep.sav", releaseSpec("1.2"));
        const auto entries = folder->entries();
        TempFolder home;
        qputenv("HOME", QByteArray::fromStdString(home.path().string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.file(".config")));
        QString shown, status;
        bool busyWhileShown = false;
        {
            qt::QtAppHost host(q(save));
            shell::EditorApp app(host);
            auto came = whenModal<EditorWindow>([&](EditorWindow* running) {
                QVERIFY2(!QApplication::windowIcon().isNull(),
                         "the program's icon, for every window");
                QTRY_VERIFY(
                    !qobject_cast<QLabel*>(running->control(idStatusLine))->text().isEmpty());
                shown = qobject_cast<QLineEdit*>(running->control(idSourcePath))->text();
                status = qobject_cast<QLabel*>(running->control(idStatusLine))->text();
                busyWhileShown = QApplication::overrideCursor() != nullptr;
                QTest::keyClick(running->control(idSourcePath), Qt::Key_Return);
            });
            app.startUp();
            QVERIFY(*came);
            QCOMPARE(app.exit(), 0);
            QVERIFY2(!busyWhileShown, "the busy cursor is gone once the argument is loaded");
            QVERIFY(!QApplication::overrideCursor());
        }
        QCOMPARE(shown, q(save));
        QCOMPARE(status, QStringLiteral("Successfully loaded saved game file."));
        QCOMPARE(folder->entries(), entries);
        QVERIFY(home.entries().empty());

        const std::string missing = folder->file("missing.sav");
        {
            qt::QtAppHost host(q(missing));
            shell::EditorApp app(host);
            BoxAnswerer boxes;
            auto came = whenModal<EditorWindow>([&](EditorWindow* running) {
                QTRY_COMPARE(int(boxes.boxes.size()), 1);
                // Once the load that showed the box has returned.
                QTimer::singleShot(0, running,
                                   [running] { QTest::keyClick(running, Qt::Key_Escape); });
            });
            app.startUp();
            QVERIFY(*came);
            QCOMPARE(boxes.boxes[0].text,
                     q("Error reading " + missing + ": " + missing + " was not found."));
        }

        EditorWindow& w = open();
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(q(save))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(box(idSourcePath)->text(), q(save));
        QCOMPARE(labelText(idStatusLine), QStringLiteral("Successfully loaded saved game file."));

        // Several files are taken, and answered with one box; none is opened.
        QMimeData several;
        several.setUrls({QUrl::fromLocalFile(q(missing)), QUrl::fromLocalFile(q(save))});
        QDragEnterEvent enterSeveral(QPoint(10, 10), Qt::CopyAction, &several, Qt::LeftButton,
                                     Qt::NoModifier);
        QApplication::sendEvent(&w, &enterSeveral);
        QVERIFY(enterSeveral.isAccepted());
        {
            BoxAnswerer boxes;
            QDropEvent dropSeveral(QPointF(10, 10), Qt::CopyAction, &several, Qt::LeftButton,
                                   Qt::NoModifier);
            QApplication::sendEvent(&w, &dropSeveral);
            QCOMPARE(int(boxes.boxes.size()), 1);
            QCOMPARE(boxes.boxes[0].text, QString::fromUtf8(dropOneFileText));
            QCOMPARE(boxes.boxes[0].icon, QMessageBox::Warning);
        }
        QCOMPARE(box(idSourcePath)->text(), q(save));

        // What is not a local file is refused.
        QMimeData notFiles;
        notFiles.setText(QStringLiteral("keep.sav"));
        notFiles.setUrls({QUrl(QStringLiteral("https://example.org/keep.sav"))});
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &notFiles, Qt::LeftButton,
                                Qt::NoModifier);
        QApplication::sendEvent(&w, &refused);
        QVERIFY(!refused.isAccepted());
    }
};

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    EditorWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditorWindowTest.moc"
