#include "qt/LinkLabel.h"

#include "qt/HostSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>

#include <map>

namespace varnholt::qt {

// The label's model names fonts, pointers and timers by handle; they live here.
class LinkLabel::Host : public shell::HyperLinkHost {
  public:
    explicit Host(LinkLabel& label) : l_(label) {
        const auto own = shell::FontHandle{nextFont_++};
        fonts_[own] = label.font();
        currentFont_ = own;
    }

    shell::OpenUrlOutcome openUrl(std::string_view url) override {
        if (QDesktopServices::openUrl(QUrl(toQt(url))))
            return {true, {}};
        return {false, "No program could be started to open it."};
    }
    void reportClicks() override {}
    shell::TextAlignment alignment() override {
        const Qt::Alignment a = l_.alignment();
        shell::TextAlignment result;
        if (a & Qt::AlignHCenter)
            result.horizontal = shell::HorizontalAlignment::Centre;
        else if (a & Qt::AlignRight)
            result.horizontal = shell::HorizontalAlignment::Right;
        result.centredVertically = (a & Qt::AlignVCenter) != 0;
        return result;
    }
    std::string windowText() override { return fromQt(l_.text()); }
    void setWindowText(std::string_view text) override { l_.setText(toQt(text)); }
    shell::Rect windowRect() override {
        const QRect g = l_.geometry();
        return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }
    shell::Rect clientRect() override { return {0, 0, l_.width(), l_.height()}; }
    void moveWindow(const shell::Rect& r) override {
        l_.setGeometry(r.left, r.top, r.width(), r.height());
    }
    void invalidate() override { l_.update(); }
    void destroyWindow() override { l_.hide(); }

    shell::FontHandle font() override { return currentFont_; }
    void setFont(shell::FontHandle font) override {
        if (const auto it = fonts_.find(font); it != fonts_.end()) {
            currentFont_ = font;
            l_.setFont(it->second);
        }
    }
    shell::FontHandle createUnderlinedFont(shell::FontHandle base) override {
        const auto it = fonts_.find(base);
        if (it == fonts_.end())
            return shell::FontHandle::None;
        QFont underlined = it->second;
        underlined.setUnderline(true);
        const auto handle = shell::FontHandle{nextFont_++};
        fonts_[handle] = underlined;
        return handle;
    }
    void deleteFont(shell::FontHandle font) override { fonts_.erase(font); }
    shell::Size measureText(std::string_view text, shell::FontHandle font) override {
        const auto it = fonts_.find(font);
        const QFontMetrics metrics(it == fonts_.end() ? l_.font() : it->second);
        return {metrics.horizontalAdvance(toQt(text)), metrics.height()};
    }

    shell::CursorHandle loadHandCursor() override { return handCursor; }
    void destroyCursor(shell::CursorHandle) override {}
    void setCursor(shell::CursorHandle cursor) override {
        if (cursor == handCursor)
            l_.setCursor(Qt::PointingHandCursor);
    }
    shell::Point pointerPosition() override { return {l_.pointer_.x(), l_.pointer_.y()}; }

    void startTimer(unsigned timerId, unsigned periodMs) override {
        auto& timer = timers_[timerId];
        if (!timer) {
            timer = std::make_unique<QTimer>();
            QObject::connect(timer.get(), &QTimer::timeout, &l_, [this] {
                if (l_.model_)
                    l_.model_->onTimer();
            });
        }
        timer->start(int(periodMs));
    }
    void stopTimer(unsigned timerId) override {
        if (const auto it = timers_.find(timerId); it != timers_.end())
            it->second->stop();
    }

    void createToolTip() override {}
    void addTool(int, const shell::Rect&, std::string_view text) override {
        l_.setToolTip(toQt(text));
    }
    void setToolText(int, std::string_view text) override { l_.setToolTip(toQt(text)); }
    void destroyToolTip() override { l_.setToolTip({}); }

    void beep(MessageIcon) override { QApplication::beep(); }
    void showMessage(const MessageBoxRequest& request) override {
        showMessageBox(l_.window(), request);
    }

  private:
    static constexpr shell::CursorHandle handCursor = shell::CursorHandle{1};

    LinkLabel& l_;
    std::map<shell::FontHandle, QFont> fonts_;
    shell::FontHandle currentFont_ = shell::FontHandle::None;
    std::uintptr_t nextFont_ = 1;
    std::map<unsigned, std::unique_ptr<QTimer>> timers_;
};

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    host_ = std::make_unique<Host>(*this);
}

LinkLabel::~LinkLabel() = default;

shell::HyperLinkHost& LinkLabel::host() {
    return *host_;
}

void LinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const shell::Colour colour =
        model_ ? model_->textColour() : shell::HyperLinkLabel::initialLinkColour;
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    painter.setFont(font());
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    pointer_ = event->position().toPoint();
    if (model_ && !model_->onSetCursor())
        unsetCursor();
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
