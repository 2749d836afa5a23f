// The yardstick of varnholt's start-up: a bare QDialog holding as many stock
// widgets of the same kinds as the editor window, placed the same way, with no
// model behind them. bench/qt_startup.py times both to their first paint.

#include "editor/EditorLayout.h"
#include "window/DialogLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QDialog dialog;
    const auto& layout = varnholt::editorDialog();
    const QFontMetrics metrics(dialog.font());
    const int baseX = metrics.averageCharWidth();
    const int baseY = metrics.height();
    dialog.setFixedSize(layout.rect.width * baseX / 4, layout.rect.height * baseY / 8);
    for (const varnholt::ControlLayout& spec : layout.controls) {
        const QString caption =
            QString::fromUtf8(spec.caption.data(), qsizetype(spec.caption.size()));
        QWidget* widget = nullptr;
        switch (spec.kind) {
        case varnholt::ControlKind::Label:
        case varnholt::ControlKind::Icon:
            widget = new QLabel(caption, &dialog);
            break;
        case varnholt::ControlKind::GroupBox:
            widget = new QGroupBox(caption, &dialog);
            break;
        case varnholt::ControlKind::TextBox:
            widget = new QLineEdit(&dialog);
            break;
        case varnholt::ControlKind::PictureButton:
        case varnholt::ControlKind::Spin:
            widget = new QToolButton(&dialog);
            break;
        case varnholt::ControlKind::PushButton:
            widget = new QPushButton(caption, &dialog);
            break;
        case varnholt::ControlKind::CheckBox:
            widget = new QCheckBox(caption, &dialog);
            break;
        case varnholt::ControlKind::RadioButton:
            widget = new QRadioButton(caption, &dialog);
            break;
        case varnholt::ControlKind::DropDownList: {
            auto* list = new QComboBox(&dialog);
            for (std::string_view item : spec.items)
                list->addItem(QString::fromUtf8(item.data(), qsizetype(item.size())));
            widget = list;
            break;
        }
        }
        widget->setGeometry(spec.rect.x * baseX / 4, spec.rect.y * baseY / 8,
                            spec.rect.width * baseX / 4, spec.rect.height * baseY / 8);
    }
    dialog.show();
    return dialog.exec();
}
