#include "qt/QtAppHost.h"

#include "qt/EditorWindow.h"
#include "qt/HostSupport.h"

#include <QCoreApplication>

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

void QtAppHost::runMainDialog() {
    const std::string name = app_ ? app_->applicationName() : std::string("varnholt");
    QCoreApplication::setApplicationName(toQt(name));
    EditorWindow window(app_ ? app_->programFolder() : std::string(), name);
    window.exec();
}

void QtAppHost::showMessage(const shell::MessageBoxRequest& request) {
    showMessageBox(nullptr, request.caption, request.text,
                   request.icon == shell::MessageIcon::Stop ? QMessageBox::Critical
                                                            : QMessageBox::Warning);
}

void QtAppHost::beginBusyPointer() {
    qt::beginBusyPointer();
}

void QtAppHost::endBusyPointer() {
    qt::endBusyPointer();
}

} // namespace varnholt::qt
