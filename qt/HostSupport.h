#pragma once
// What every Qt host does the same way: the program's icon, text conversion,
// modal message boxes in plain text, and the busy pointer.

#include "window/MessageBox.h"

#include <QIcon>
#include <QMessageBox>
#include <QString>

#include <string>
#include <string_view>

class QWidget;

namespace varnholt::qt {

inline QString toQt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

// The program icon in every size the resources hold.
QIcon applicationIcon();

// The folder of the Refresh pictures in the resources.
inline QString pictureFolder() {
    return QStringLiteral(":/varnholt");
}

// A modal box with one OK button, the text shown exactly as written (never as
// rich text or with mnemonics).
void showMessageBox(QWidget* owner, const MessageBoxRequest& request);

// The busy pointer, an application-wide override cursor; the models call them
// in pairs, and lift it themselves while a modal window waits for the user.
void beginBusyPointer();
void endBusyPointer();

} // namespace varnholt::qt
