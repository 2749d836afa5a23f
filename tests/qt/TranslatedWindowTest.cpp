// The windows in the language VARNHOLT_LANGUAGE names, one run per language
// (ctest starts this program once for each): every caption and About line is
// whole, every mnemonic is unique in its window, and no English is left where
// the language has its own words. In the pseudo-language every text the
// program owns comes bracketed, so a text that was never marked shows itself.

#include "ModalWaits.h"
#include "TestFiles.h"
#include "editor/BrowseDialog.h"
#include "editor/EditorLayout.h"
#include "qt/AboutDialog.h"
#include "qt/DialogBuilder.h"
#include "qt/EditorWindow.h"
#include "qt/QtAppHost.h"
#include "shell/AboutBox.h"
#include "shell/Catalogue.h"
#include "shell/UserLanguage.h"
#include "tools/savegen/SaveGen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

using namespace varnholt;
using varnholt::qttest::whenModal;

namespace {

std::string language;

std::string text(const QString& s) {
    return s.toStdString();
}

// The English texts and, for each, whether this language words it otherwise.
const std::map<std::string, bool>& englishTexts() {
    static const std::map<std::string, bool> texts = [] {
        std::map<std::string, bool> all;
        for (const shell::BuiltInCatalogue& built : shell::builtInCatalogues()) {
            if (built.language != shell::englishLanguage)
                continue;
            const auto catalogue = shell::MoCatalogue::read(built.data);
            for (const auto& entry : catalogue->entries()) {
                const std::string english(entry.english);
                all[english] = localized(english) != english;
                all[displayCaption(english)] = localized(english) != english;
            }
        }
        return all;
    }();
    return texts;
}

// An English sentence, or the longest stretch of one between its placeholders,
// that this language words otherwise and that is still found in `shown` once
// `path` is taken out; stretches shorter than a few words are passed over.
std::optional<std::string> englishIn(std::string shown, const std::string& path) {
    if (language == shell::englishLanguage)
        return std::nullopt;
    for (std::size_t at; (at = shown.find(path)) != std::string::npos;)
        shown.erase(at, path.size());
    for (const auto& [english, translated] : englishTexts()) {
        if (!translated)
            continue;
        std::string longest;
        std::size_t from = 0;
        while (from <= english.size()) {
            std::size_t to = english.find('%', from);
            while (to != std::string::npos && to + 1 < english.size() &&
                   !std::isalnum(static_cast<unsigned char>(english[to + 1])))
                to = english.find('%', to + 1);
            const std::string piece =
                english.substr(from, to == std::string::npos ? std::string::npos : to - from);
            if (piece.size() > longest.size())
                longest = piece;
            if (to == std::string::npos)
                break;
            from = to + 2;
        }
        if (longest.size() >= 16 && shown.find(longest) != std::string::npos)
            return longest;
    }
    return std::nullopt;
}

class TranslatedWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testfiles::TempFolder> folder;
    // Texts that come from the save or name a file, never translated.
    std::set<std::string> fromTheSave;
    QStringList failures;

    void fail(const QString& why) { failures << why; }

    // A real language keeps each window within this much of its English width.
    static constexpr int widerThanEnglishPercent = 15;

    void checkWidth(const QWidget& window, int english, const QString& name) {
        const int width = window.width();
        std::printf("%s: %d pixels wide, %d in English (%+.0f %%)\n", qPrintable(name), width,
                    english, 100.0 * (width - english) / english);
        if (language != shell::pseudoLanguage &&
            100 * width > (100 + widerThanEnglishPercent) * english)
            fail(QStringLiteral("%1: %2 pixels wide, more than %3 % over the English %4")
                     .arg(name)
                     .arg(width)
                     .arg(widerThanEnglishPercent)
                     .arg(english));
    }

    // The least room, in pixels, that a label's caption leaves before the widget
    // to its right on its row; the labels are those with a caption in `layout`.
    static int smallestLabelGap(const QWidget& window, const DialogLayout& layout) {
        QSet<QString> captions;
        for (const ControlLayout& control : layout.controls)
            if (control.kind == ControlKind::Label && captionMustFit(control))
                captions.insert(QString::fromStdString(std::string(control.caption)));
        int smallest = INT_MAX;
        const auto widgets = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QLabel* label : window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (!captions.contains(label->text()))
                continue;
            const QRect r = label->geometry();
            const int end = r.x() + label->sizeHint().width();
            for (const QWidget* other : widgets) {
                const QRect o = other->geometry();
                if (!qobject_cast<const QGroupBox*>(other) && o.x() > r.x() &&
                    o.top() <= r.bottom() && r.top() <= o.bottom()) {
                    smallest = std::min(smallest, o.x() - end);
                }
            }
        }
        return smallest;
    }

    // Every caption in `window` whole, every mnemonic unique, no English left.
    void checkWindow(QWidget& window, const QString& name) {
        std::map<std::string, QString> mnemonics;
        const auto shown = [&](const QString& what, const QString& where) {
            const std::string s = text(what);
            if (s.empty() || fromTheSave.contains(s))
                return;
            if (language == shell::pseudoLanguage) {
                if (!what.startsWith(QLatin1Char('[')) && s != "Varnholt")
                    fail(name + QStringLiteral(": not from the catalogue: ") + what + where);
            } else if (const auto it = englishTexts().find(s);
                       it != englishTexts().end() && it->second) {
                fail(name + QStringLiteral(": English left: ") + what + where);
            }
        };
        const auto fits = [&](QWidget* widget, const QString& what, int needed) {
            if (needed > widget->width())
                fail(QStringLiteral("%1: \"%2\" needs %3 pixels, has %4")
                         .arg(name, what)
                         .arg(needed)
                         .arg(widget->width()));
        };
        const auto mnemonic = [&](const QString& caption) {
            if (const auto letter = mnemonicOf(text(caption))) {
                if (mnemonics.contains(*letter))
                    fail(name + QStringLiteral(": mnemonic of \"%1\" is also \"%2\"'s")
                                    .arg(caption, mnemonics[*letter]));
                mnemonics[*letter] = caption;
            }
        };

        shown(window.windowTitle(), QStringLiteral(" (title)"));
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            shown(widget->accessibleName(), QStringLiteral(" (accessible name)"));
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                shown(button->text(), {});
                mnemonic(button->text());
                if (!button->text().isEmpty())
                    fits(widget, button->text(), button->sizeHint().width());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                shown(label->text(), {});
                if (label->buddy())
                    mnemonic(label->text());
                if (!label->text().isEmpty())
                    fits(widget, label->text(), label->sizeHint().width());
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                shown(group->title(), {});
                fits(widget, group->title(), group->minimumSizeHint().width());
            } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
                for (int i = 0; i < list->count(); ++i)
                    shown(list->itemText(i), QStringLiteral(" (list item)"));
                fits(widget, list->currentText(), list->sizeHint().width());
            }
        }
    }

  private Q_SLOTS:
    void initTestCase() {
        folder = std::make_unique<testfiles::TempFolder>();
        std::printf("language: %s\n", language.c_str());
    }

    void editorAndItsBoxesSpeakTheLanguage() {
        // Both windows as they would be in English, for their widths.
        const auto englishWidth = [](const DialogLayout& english) {
            QDialog dialog;
            qt::buildDialog(dialog, english);
            return dialog.width();
        };
        const int englishEditor = englishWidth(englishEditorDialog());
        // No label of the editor ends nearer its box than the nearest in English.
        QDialog englishDialog;
        qt::buildDialog(englishDialog, englishEditorDialog());
        const int englishGap = smallestLabelGap(englishDialog, englishEditorDialog());
        const int englishAbout = englishWidth(shell::englishAboutBoxDialog());

        const std::string save = (folder->path() / "campaign.sav").string();
        savegen::writeSave(save, savegen::specForRelease("1.5"));
        qt::EditorWindow window(folder->path().string(), "Varnholt");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The loader's refusals and its warning speak the language too: a
        // missing file, a file that is no save, and a save whose unit scale
        // the program does not know (loaded with a warning).
        const std::string notASave = (folder->path() / "notes.sav").string();
        testfiles::writeBytes(notASave, std::vector<std::uint8_t>(5000, 'x'));
        const std::string oddScale = (folder->path() / "odd-scale.sav").string();
        auto oddSpec = savegen::specForRelease("1.5");
        savegen::setUnitScale(oddSpec, 41);
        savegen::writeSave(oddScale, oddSpec);
        std::vector<QString> messages;
        for (const std::string& path : {save + ".missing", notASave, oddScale}) {
            const std::size_t before = messages.size();
            whenModal<QMessageBox>([&](QMessageBox* box) {
                messages.push_back(box->text());
                box->accept();
            });
            window.openSaveGame(QString::fromStdString(path));
            QTRY_COMPARE(messages.size(), before + 1);
            if (const auto left = englishIn(text(messages.back()), path))
                fail(QStringLiteral("message box: English left: \"%1\" in %2")
                         .arg(QString::fromStdString(*left), messages.back()));
        }

        window.openSaveGame(QString::fromStdString(save));
        const auto* status = qobject_cast<QLabel*>(window.control(idStatusLine));
        QCOMPARE(text(status->text()), std::string(localized(loadedStatusText)));
        // The faction is named in the language, the campaign as the save names it.
        for (const int id : {idReleaseLabel, idCampaignName})
            fromTheSave.insert(text(qobject_cast<QLabel*>(window.control(id))->text()));
        fromTheSave.insert(text(window.windowTitle()));
        QApplication::processEvents();
        checkWindow(window, QStringLiteral("editor"));
        checkWidth(window, englishEditor, QStringLiteral("editor"));
        if (const int gap = smallestLabelGap(window, editorDialog()); gap < englishGap)
            fail(QStringLiteral("editor: a label ends %1 pixels before its box, %2 in English")
                     .arg(gap)
                     .arg(englishGap));

        // The file dialog's title and filter names.
        QString title;
        QStringList filters;
        QStringList buttons;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                buttons << button->text();
            dialog->reject();
        });
        QTest::mouseClick(window.control(idBrowse), Qt::LeftButton);
        QTRY_VERIFY(!title.isEmpty());
        QCOMPARE(text(title), std::string(localized(browseTitle)));
        // Qt's own words, from the system's Qt translations (a recommended
        // package, installed with the build's dependencies).
        if (language != shell::englishLanguage && language != shell::pseudoLanguage)
            QVERIFY2(!buttons.contains(QStringLiteral("Cancel")),
                     qPrintable(buttons.join(QLatin1Char('|'))));
        for (const char* name : browseFilterNames)
            QVERIFY2(filters.filter(QString::fromStdString(std::string(localized(name)))).size() ==
                         1,
                     qPrintable(filters.join(QLatin1Char('|'))));

        qt::AboutDialog about("Varnholt", &window);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        fromTheSave.insert(VARNHOLT_CONTACT_EMAIL);
        checkWindow(about, QStringLiteral("About box"));
        checkWidth(about, englishAbout, QStringLiteral("About box"));

        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    // As the program starts: the language first, before any window exists.
    const char* wanted = std::getenv(std::string(shell::languageVariable).c_str());
    language = shell::chooseLanguage(wanted, {});
    if (!wanted || !std::string_view(wanted).starts_with(language) ||
        !shell::installLanguage(language)) {
        std::fprintf(stderr, "set %s to a language the program has\n",
                     std::string(shell::languageVariable).c_str());
        return 2;
    }
    qt::QtAppHost host;
    host.useLanguage(language);
    TranslatedWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TranslatedWindowTest.moc"
