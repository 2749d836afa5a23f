#include "qt/HostSupport.h"

#include <QApplication>
#include <QCursor>

namespace varnholt::qt {

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/varnholt/icons/varnholt-%1.png").arg(size),
                     QSize(size, size));
    return icon;
}

void showMessageBox(QWidget* owner, const MessageBoxRequest& request) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    if (request.icon == MessageIcon::Warning)
        icon = QMessageBox::Warning;
    else if (request.icon == MessageIcon::Information)
        icon = QMessageBox::Information;
    QMessageBox box(icon, toQt(request.caption), toQt(request.text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void beginBusyPointer() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void endBusyPointer() {
    QApplication::restoreOverrideCursor();
}

} // namespace varnholt::qt
