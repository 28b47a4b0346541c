// The time the menu views run on: animation steps, effect durations, the
// activated animation's steps and the user time-out.  It is injected, so the
// tests and the command line run a menu's timing without waiting.
#pragma once

#include <cstdint>

namespace lumora {

class MenuClock {
public:
    virtual ~MenuClock() = default;
    // Milliseconds since some fixed moment; never goes back.
    virtual std::int64_t nowMs() const = 0;
    // Blocks for `milliseconds` (effects, the activated animation without
    // the animation timer).  A window's clock keeps its events running
    // meanwhile; afterwards nowMs() has moved on by at least that much.
    virtual void waitMs(std::int64_t milliseconds) = 0;
};

// Real time: a monotonic clock, and waits that sleep.
class SteadyMenuClock final : public MenuClock {
public:
    std::int64_t nowMs() const override;
    void waitMs(std::int64_t milliseconds) override;
};

// Time that moves only when told: waits return at once and move the clock
// on, advance() moves it for the time spent elsewhere (drawing, a user).
class ManualMenuClock final : public MenuClock {
public:
    explicit ManualMenuClock(std::int64_t startMs = 0) : now_(startMs) {}
    std::int64_t nowMs() const override { return now_; }
    void waitMs(std::int64_t milliseconds) override {
        if (milliseconds > 0) now_ += milliseconds;
        waited_ += milliseconds > 0 ? milliseconds : 0;
    }
    void advance(std::int64_t milliseconds) {
        if (milliseconds > 0) now_ += milliseconds;
    }
    // All milliseconds spent in waitMs.
    std::int64_t waited() const { return waited_; }

private:
    std::int64_t now_ = 0;
    std::int64_t waited_ = 0;
};

}  // namespace lumora
