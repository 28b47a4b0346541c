#include "app/menu/menu_play_clock.h"

#include <QCoreApplication>
#include <QThread>

namespace lumora::app {

WindowMenuClock::WindowMenuClock() {
    elapsed_.start();
}

std::int64_t WindowMenuClock::nowMs() const {
    return elapsed_.elapsed();
}

void WindowMenuClock::waitMs(std::int64_t milliseconds) {
    const std::int64_t end = nowMs() + milliseconds;
    while (nowMs() < end) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}

}  // namespace lumora::app
