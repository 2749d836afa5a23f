#include "qt/AboutDialog.h"

#include "qt/HostSupport.h"
#include "qt/LinkLabel.h"

#include <QAbstractButton>

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
    about_ = std::make_unique<shell::AboutBox>(link_->host(), messageCaption,
                                               [this](int result) { done(result); });
    link_->setModel(&about_->label());
    if (auto* ok = qobject_cast<QAbstractButton*>(control(idOk)))
        connect(ok, &QAbstractButton::clicked, this, [this] { about_->userClick(idOk); });
    if (QWidget* first = control(about_->initDialog(link_->control())))
        first->setFocus(Qt::OtherFocusReason);
}

void AboutDialog::reject() {
    // Escape and the close box; the model ends the box.
    about_->userPressEscape();
}

AboutDialog::~AboutDialog() {
    // The label's model goes first; its window no longer reports to it.
    about_->label().detach();
    link_->setModel(nullptr);
}

} // namespace varnholt::qt
