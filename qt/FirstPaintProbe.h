#pragma once
// For the start-up benchmark only: when VARNHOLT_EXIT_AFTER_FIRST_PAINT is set,
// the program prints "first-paint-ns N" (N: the monotonic clock, in
// nanoseconds) once its first window has been painted, and ends right there.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace varnholt::qt {

class FirstPaintProbe : public QObject {
  public:
    static void installIfAsked() {
        if (qEnvironmentVariableIsSet("VARNHOLT_EXIT_AFTER_FIRST_PAINT"))
            QCoreApplication::instance()->installEventFilter(new FirstPaintProbe);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            painted_ = true;
            // The window's children are painted in the same pass; report after it.
            QMetaObject::invokeMethod(this, &FirstPaintProbe::report, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    void report() {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("first-paint-ns %lld\n",
                    static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool painted_ = false;
};

} // namespace varnholt::qt
