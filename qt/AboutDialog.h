#pragma once
// The About box on Qt: built from the shell's description like the editor,
// with the contact address as the hyperlink label; the shell's AboutBox
// decides the rest.

#include "qt/DialogBuilder.h"
#include "shell/AboutBox.h"

#include <QDialog>

#include <memory>

namespace varnholt::qt {

class LinkLabel;

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    // `messageCaption`: the caption of the link's error box.
    AboutDialog(const std::string& messageCaption, QWidget* parent);
    ~AboutDialog() override;

    QWidget* control(int id) const { return built_.control(id); }
    LinkLabel* link() const { return link_; }

  protected:
    void reject() override;

  private:
    BuiltDialog built_;
    LinkLabel* link_ = nullptr;
    std::unique_ptr<shell::AboutBox> about_;
};

} // namespace varnholt::qt
