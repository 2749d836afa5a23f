#pragma once
// The hyperlink label's window on Qt: a label that shows what the model says
// (text, place, colour, underline, tooltip, hand pointer), routes pointer
// moves, its leave check and clicks to the model, and offers the platform's
// "open this URL" (QDesktopServices, which also reaches handlers set with
// QDesktopServices::setUrlHandler).

#include "shell/HyperLinkLabel.h"

#include <QLabel>
#include <QPoint>
#include <QTimer>

#include <memory>

namespace varnholt::qt {

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent = nullptr);
    ~LinkLabel() override;

    // The window as the label's model sees it.
    shell::HyperLinkHost& host();
    // The control as the dialog made it, for the model to take over.
    shell::LabelControl control() const;
    // The model of this label, once the About box has made it; nullptr to let go.
    void setModel(shell::HyperLinkLabel* model) { model_ = model; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    class Host;

    // Shows what the model says, changing only what differs.
    void showModel();

    std::unique_ptr<Host> host_;
    shell::HyperLinkLabel* model_ = nullptr;
    QTimer leaveCheck_;
    QPoint pointer_{-1, -1}; // where the pointer was last seen; outside once it left
};

} // namespace varnholt::qt
