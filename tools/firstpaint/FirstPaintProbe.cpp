// For the start-up benchmark (bench/qt_startup.py) only, never in the product.
// Linked into a Qt program, it makes the program print "first-paint-ns N" (N:
// the monotonic clock, in nanoseconds) once its first window has been painted,
// and end right there. It installs itself while the application object is
// made, so the program's main() stays as it ships.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintProbe : public QObject {
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

void installFirstPaintProbe() {
    QCoreApplication::instance()->installEventFilter(new FirstPaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)
