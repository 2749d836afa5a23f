#include "qt/QtAppHost.h"

#include "qt/EditorWindow.h"
#include "qt/HostSupport.h"

#include <QCoreApplication>
#include <QTimer>

namespace varnholt::qt {

QtAppHost::QtAppHost(QString saveToOpen) : saveToOpen_(std::move(saveToOpen)) {}

std::optional<std::string> QtAppHost::queryModulePath() {
    const QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        return std::nullopt;
    return fromQt(path);
}

void QtAppHost::setSettingsKey(std::string_view keyName) {
    // Where per-user settings would live; nothing is stored there.
    QCoreApplication::setOrganizationName(toQt(keyName));
}

void QtAppHost::runMainDialog(const shell::MainDialogArgs& args) {
    QCoreApplication::setApplicationName(toQt(args.applicationName));
    EditorWindow window(args.programFolder, args.applicationName);
    if (!saveToOpen_.isEmpty()) // once the window is up, so it owns any error box
        QTimer::singleShot(0, &window, [&window, this] { window.openSaveGame(saveToOpen_); });
    window.exec();
}

void QtAppHost::showMessage(const MessageBoxRequest& request) {
    showMessageBox(nullptr, request);
}

void QtAppHost::beginBusy() {
    beginBusyPointer();
}

void QtAppHost::endBusy() {
    endBusyPointer();
}

} // namespace varnholt::qt
