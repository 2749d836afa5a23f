#include "qt/SpinArrows.h"

#include "window/DialogState.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace varnholt::qt {

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    repeatTimer_.setSingleShot(false);
    connect(&repeatTimer_, &QTimer::timeout, this, &SpinArrows::repeat);
}

void SpinArrows::setBuddy(QWidget* buddy) {
    buddy->installEventFilter(this);
}

QRect SpinArrows::upRect() const {
    return QRect(0, 0, width(), height() / 2);
}

QRect SpinArrows::downRect() const {
    return QRect(0, height() / 2, width(), height() - height() / 2);
}

void SpinArrows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const auto drawArrow = [&](const QRect& area, int step, QStyle::PrimitiveElement arrow) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = area;
        option.state |= pressedStep_ == step ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = area.adjusted(2, 1, -2, -1);
        style()->drawPrimitive(arrow, &option, &painter, this);
    };
    drawArrow(upRect(), +1, QStyle::PE_IndicatorArrowUp);
    drawArrow(downRect(), -1, QStyle::PE_IndicatorArrowDown);
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    pressedStep_ = upRect().contains(event->position().toPoint()) ? +1 : -1;
    update();
    arrowHeld_.start();
    Q_EMIT stepRequested(pressedStep_);
    repeatTimer_.start(spinFirstRepeatDelayMs);
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        release();
    QWidget::mouseReleaseEvent(event);
}

void SpinArrows::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        release();
    QWidget::changeEvent(event);
}

int SpinArrows::heldStep(int direction, const QElapsedTimer& held) {
    return direction * spinStepAfterHolding(held.isValid() ? held.elapsed() : 0);
}

void SpinArrows::repeat() {
    repeatTimer_.setInterval(spinRepeatIntervalMs);
    const QRect held = pressedStep_ > 0 ? upRect() : downRect();
    if (held.contains(mapFromGlobal(QCursor::pos())))
        Q_EMIT stepRequested(heldStep(pressedStep_, arrowHeld_));
}

void SpinArrows::release() {
    repeatTimer_.stop();
    pressedStep_ = 0;
    update();
}

bool SpinArrows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            // A key held down repeats by itself; the first press starts the clock.
            if (!key->isAutoRepeat())
                keyHeld_.start();
            Q_EMIT stepRequested(heldStep(key->key() == Qt::Key_Up ? +1 : -1, keyHeld_));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace varnholt::qt
