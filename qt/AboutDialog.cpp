#include "qt/AboutDialog.h"

#include "qt/HostSupport.h"
#include "qt/LinkLabel.h"

#include <QAbstractButton>
#include <QCloseEvent>

namespace varnholt::qt {

AboutDialog::AboutDialog(const std::string& messageCaption, QWidget* parent) : QDialog(parent) {
    built_ = buildDialog(*this, shell::aboutBoxDialog(),
                         [this](const ControlLayout& spec, QWidget* dialog) -> QWidget* {
                             if (spec.id != shell::idContactAddress)
                                 return nullptr;
                             link_ = new LinkLabel(dialog);
                             link_->setText(toQt(spec.caption));
                             return link_;
                         });
    about_ = std::make_unique<shell::AboutBox>(link_->host(), messageCaption);
    link_->setModel(&about_->label());
    if (auto* ok = qobject_cast<QAbstractButton*>(control(idOk)))
        connect(ok, &QAbstractButton::clicked, this, [this] {
            about_->close(shell::CloseRequest::OkButton);
            accept();
        });
    if (QWidget* first = control(about_->initDialog()))
        first->setFocus(Qt::OtherFocusReason);
}

AboutDialog::~AboutDialog() {
    // The label's model goes first; its window no longer reports to it.
    link_->setModel(nullptr);
}

void AboutDialog::reject() {
    about_->close(closing_);
    closing_ = shell::CloseRequest::EscapeKey;
    QDialog::reject();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    closing_ = shell::CloseRequest::CloseBox;
    QDialog::closeEvent(event);
}

} // namespace varnholt::qt
