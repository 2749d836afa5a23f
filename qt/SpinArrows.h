#pragma once
// The arrows of a spin: two stacked buttons that only ask for a step. The
// position, its range and the number in the box beside them belong to the
// model, so a step is a request (up positive, down negative) and nothing moves
// here. Held down, an arrow (or the Up or Down key in the box beside it, its
// buddy) repeats and speeds up by the model's spin acceleration.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace varnholt::qt {

class SpinArrows : public QWidget {
    Q_OBJECT
  public:
    explicit SpinArrows(QWidget* parent = nullptr);

    // Up and Down pressed in `buddy` request steps too.
    void setBuddy(QWidget* buddy);

    // The arrow areas, in the widget's coordinates.
    QRect upRect() const;
    QRect downRect() const;

  Q_SIGNALS:
    void stepRequested(int step);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void repeat();
    void release();
    // The step of a press held since `held` started, in the direction given.
    static int heldStep(int direction, const QElapsedTimer& held);

    int pressedStep_ = 0; // +1 or -1 while an arrow is held down
    QTimer repeatTimer_;
    QElapsedTimer arrowHeld_;
    QElapsedTimer keyHeld_;
};

} // namespace varnholt::qt
