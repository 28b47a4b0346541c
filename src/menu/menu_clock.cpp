#include "menu/menu_clock.h"

#include <chrono>
#include <thread>

namespace lumora {

std::int64_t SteadyMenuClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyMenuClock::waitMs(std::int64_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace lumora
