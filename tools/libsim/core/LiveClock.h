#pragma once

#include "LibraryTime.h"

#include <atomic>
#include <chrono>

namespace libsim {

// The library's clock in live mode: it starts at a given minute and runs `speed` library
// seconds per real second (0 keeps it standing); advance() jumps it forward on request.
class LiveClock {
public:
    LiveClock(LibraryMinute start, double speed);

    LibraryMinute now() const;
    void advance(LibraryMinute minutes);
    double speed() const { return m_speed; }

private:
    LibraryMinute m_start;
    double m_speed;
    std::chrono::steady_clock::time_point m_started;
    std::atomic<LibraryMinute> m_advanced{0};
};

} // namespace libsim
