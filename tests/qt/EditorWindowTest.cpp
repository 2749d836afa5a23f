// The window program end to end on the offscreen platform: real mouse and key
// events on the real widgets, on saves made by savegen. The rules are tested in
// the model; this checks the wiring (widget -> model -> widget) and the modal
// flows (message boxes, the file dialog).

#include "qt/EditorWindow.h"
#include "TestFiles.h"
#include "editor/SaveGameEditor.h"
#include "qt/QtAppHost.h"
#include "qt/SpinArrows.h"
#include "tools/savegen/SaveGen.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

// Runs `answer` on the next modal window of type T (polled every 10 ms, for at
// most 5 s); `answer` must close it. Returns whether it came.
template <class T> std::shared_ptr<bool> whenModal(std::function<void(T*)> answer) {
    auto came = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *came = true;
            answer(modal);
        } else if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return came;
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
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the editor window was never shown");
        return *window;
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
        QVERIFY(!w.windowIcon().isNull());
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
        for (int id : {idSourcePath, idBrowse, idClose})
            QVERIFY(w.control(id)->isEnabled());
    }

    // 2. Typing into 1002 key by key; the Set boxes enable.
    void typing() {
        EditorWindow& w = open();
        QTest::keyClicks(box(idSourcePath), QStringLiteral("ab/c"));
        QCOMPARE(box(idSourcePath)->text(), QStringLiteral("ab/c"));
        QCOMPARE(q(w.editor().control(idSourcePath).text), QStringLiteral("ab/c"));
        QTest::keyClick(box(idSourcePath), Qt::Key_Left);
        QTest::keyClick(box(idSourcePath), Qt::Key_X); // the caret survived the mirroring
        QCOMPARE(box(idSourcePath)->text(), QStringLiteral("ab/xc"));
        for (int id : {idRefresh, idSetCampaignDifficulty, idSetCampaignLength, idSetYearAndSeason})
            QVERIFY(w.control(id)->isEnabled());
        QVERIFY(!w.control(idApply)->isEnabled());
    }

    // 3. Browse: the file dialog's settings; a picked save fills the window.
    void browse() {
        EditorWindow& w = open();
        savegen::SaveSpec spec = releaseSpec("1.2");
        spec.campaignName = u"Nordmark";
        const std::string path = writeSave("quick.sav", spec);
        QString title, suffix, directory;
        QStringList filters;
        auto came = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
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
        QCOMPARE(suffix, QStringLiteral("sav"));
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

    // 4. A missing path and Refresh: one box, exactly as the model words it.
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
                 q("Error reading " + missing + ": " + missing + " was not found.."));
        QVERIFY(!w.control(idApply)->isEnabled());
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

    // 7. A mnemonic ticks its box; Tab follows the table.
    void mnemonicsAndTabOrder() {
        EditorWindow& w = open();
        QTest::keyClicks(box(idSourcePath), QStringLiteral("x"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
        QVERIFY(widget<QCheckBox>(idSetUnitScale)->isChecked());
        QVERIFY(w.control(idUnitScaleClass)->isEnabled());
        QVERIFY(w.control(idUnitScaleSpin)->isEnabled());

        QList<int> expected;
        for (const ControlSpec& spec : editorDialog().controls) {
            if (!spec.tabStop)
                continue;
            // Of a radio group only the ticked button is a Tab stop.
            const ControlState& state = w.editor().control(spec.id);
            if (state.enabled && (spec.kind != ControlKind::RadioButton || state.checked))
                expected << spec.id;
        }
        box(idSourcePath)->setFocus();
        QList<int> visited{idSourcePath};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << [&] {
                for (const ControlSpec& spec : editorDialog().controls)
                    if (spec.id != noControlId && w.control(spec.id) == QApplication::focusWidget())
                        return spec.id;
                return noControlId;
            }();
        }
        QCOMPARE(visited, expected);
    }

    // 8. Apply with several groups: the same bytes as varnholt-cli apply; a
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
        click(idAD);
        click(idWinter);
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
                 q("Error writing " + locked + ": Access to " + locked + " was denied.."));
        QVERIFY(testfiles::readBytes(locked) == (std::vector<std::uint8_t>{1, 2, 3}));
    }

    // 9. An expansion save disables the campaign-length controls.
    void expansionSave() {
        EditorWindow& w = open();
        load(writeSave("e.sav", releaseSpec("1.6")));
        QCOMPARE(labelText(idReleaseLabel), QStringLiteral("1.6"));
        QVERIFY(!w.control(idSetCampaignLength)->isEnabled());
        QVERIFY(!w.control(idShortCampaign)->isEnabled());
        QVERIFY(w.control(idSetUnitScale)->isEnabled());
    }

    // 10. Non-ASCII and "&" (and markup) in the campaign name and the folder,
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

    // 13. Through the application object: Enter closes the program, which ends
    // with exit code 0; nothing is written anywhere.
    void enterEndsTheProgram() {
        const std::string save = writeSave("keep.sav", releaseSpec("1.2"));
        const auto entries = folder->entries();
        TempFolder home;
        qputenv("HOME", QByteArray::fromStdString(home.path().string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.file(".config")));
        qt::QtAppHost host;
        shell::EditorApp app(host);
        host.setApplication(&app);
        auto came = whenModal<EditorWindow>([&](EditorWindow* running) {
            QTest::keyClick(running->control(idSourcePath), Qt::Key_Return);
        });
        QCOMPARE(app.startUp(), false);
        QVERIFY(*came);
        QCOMPARE(app.exit(), 0);
        QCOMPARE(folder->entries(), entries);
        QVERIFY(home.entries().empty());
        QVERIFY(std::filesystem::exists(save));
    }
};

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    EditorWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditorWindowTest.moc"
