// The clocks the Menu tab's simulator runs on: the window's own (a monotonic
// clock whose waits keep the window's events running) and a switch that
// lets the tests put a manual clock in its place.
#pragma once

#include <QElapsedTimer>

#include "menu/menu_clock.h"

namespace lumora::app {

// Real time for the window: a wait processes pending events in 1-millisecond
// steps (as the interpreter's show delay does), so Cancel, repainting and
// the timers stay live during an effect or an activated animation.
class WindowMenuClock final : public MenuClock {
public:
    WindowMenuClock();
    std::int64_t nowMs() const override;
    void waitMs(std::int64_t milliseconds) override;

private:
    QElapsedTimer elapsed_;
};

// Passes every call on to the clock it is set to.
class SwitchedMenuClock final : public MenuClock {
public:
    explicit SwitchedMenuClock(MenuClock& clock) : clock_(&clock) {}
    void setClock(MenuClock& clock) { clock_ = &clock; }
    MenuClock& clock() const { return *clock_; }
    std::int64_t nowMs() const override { return clock_->nowMs(); }
    void waitMs(std::int64_t milliseconds) override { clock_->waitMs(milliseconds); }

private:
    MenuClock* clock_;
};

}  // namespace lumora::app
