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
    const QMessageBox::Icon icon =
        request.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical;
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
