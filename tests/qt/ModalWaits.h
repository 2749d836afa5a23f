#pragma once
// Waiting for a modal window or a popup menu that a click or a key is about to
// open, for the Qt end-to-end tests.

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <memory>

namespace varnholt::qttest {

// Runs `answer` once on what `find` first returns (polled every 10 ms, for at
// most 5 s). Returns whether it came.
template <class T>
std::shared_ptr<bool> whenFound(std::function<T*()> find, std::function<void(T*)> answer) {
    auto came = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        T* found = find();
        if (found || clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
        }
        if (found) {
            *came = true;
            answer(found);
        }
    });
    timer->start(10);
    return came;
}

// Runs `answer` on the next modal window of type T; `answer` must close it.
template <class T> std::shared_ptr<bool> whenModal(std::function<void(T*)> answer) {
    return whenFound<T>(
        [] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            return modal && modal->isVisible() ? modal : nullptr;
        },
        std::move(answer));
}

// Calls `answer` with the next popup menu.
inline std::shared_ptr<bool> whenMenu(std::function<void(QMenu*)> answer) {
    return whenFound<QMenu>(
        [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu && menu->isVisible() ? menu : nullptr;
        },
        std::move(answer));
}

} // namespace varnholt::qttest
