#include "qt/LinkLabel.h"

#include "qt/HostSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace varnholt::qt {

namespace {

QFont withUnderline(QFont font, bool underline) {
    font.setUnderline(underline);
    return font;
}

} // namespace

class LinkLabel::Host : public shell::HyperLinkHost {
  public:
    explicit Host(LinkLabel& label) : l_(label) {}

    // The desktop says only whether a program took the URL; the model explains a failure.
    shell::OpenUrlOutcome openUrl(std::string_view url) override {
        return {QDesktopServices::openUrl(QUrl(toQt(url))), {}};
    }
    shell::Size measureText(std::string_view text) override {
        const QFontMetrics metrics(withUnderline(l_.font(), true));
        return {metrics.horizontalAdvance(toQt(text)), metrics.height()};
    }
    void repaint() override { l_.showModel(); }
    void startLeaveCheck(unsigned periodMs) override { l_.leaveCheck_.start(int(periodMs)); }
    void stopLeaveCheck() override { l_.leaveCheck_.stop(); }
    bool pointerInside() override { return l_.rect().contains(l_.pointer_); }
    void beep(MessageIcon) override { QApplication::beep(); }
    void showMessage(const MessageBoxRequest& request) override {
        showMessageBox(l_.window(), request);
    }

  private:
    LinkLabel& l_;
};

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    host_ = std::make_unique<Host>(*this);
    connect(&leaveCheck_, &QTimer::timeout, this, [this] {
        if (model_)
            model_->onLeaveCheck();
    });
}

LinkLabel::~LinkLabel() = default;

shell::HyperLinkHost& LinkLabel::host() {
    return *host_;
}

shell::LabelControl LinkLabel::control() const {
    const Qt::Alignment a = alignment();
    shell::TextAlignment placed;
    if (a & Qt::AlignHCenter)
        placed.horizontal = shell::HorizontalAlignment::Centre;
    else if (a & Qt::AlignRight)
        placed.horizontal = shell::HorizontalAlignment::Right;
    placed.centredVertically = (a & Qt::AlignVCenter) != 0;
    const QRect g = geometry();
    return {fromQt(text()),
            placed,
            {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()},
            {0, 0, width(), height()}};
}

void LinkLabel::showModel() {
    if (!model_)
        return;
    if (const QString shown = toQt(model_->text()); shown != text())
        setText(shown);
    const shell::Rect& r = model_->rect();
    if (const QRect place(r.left, r.top, r.width(), r.height()); place != geometry())
        setGeometry(place);
    if (font().underline() != model_->isUnderlined())
        setFont(withUnderline(font(), model_->isUnderlined()));
    if (const QString tip = toQt(model_->toolTipText()); tip != toolTip())
        setToolTip(tip);
    if (model_->wantsHandPointer())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    update();
}

void LinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const shell::Colour colour = model_ ? model_->textColour() : shell::HyperLinkLabel::linkColour;
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    painter.setFont(font());
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    pointer_ = event->position().toPoint();
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    pointer_ = QPoint(-1, -1);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    if (model_)
        model_->onMouseMove();
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (model_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        model_->onClicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace varnholt::qt
