#include "LiveClock.h"

namespace libsim {

LiveClock::LiveClock(LibraryMinute start, double speed)
    : m_start(start), m_speed(speed < 0 ? 0 : speed), m_started(std::chrono::steady_clock::now())
{
}

LibraryMinute LiveClock::now() const
{
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_started;
    const auto runMinutes = static_cast<LibraryMinute>(elapsed.count() * m_speed / 60.0);
    return m_start + runMinutes + m_advanced.load();
}

void LiveClock::advance(LibraryMinute minutes)
{
    if (minutes > 0) {
        m_advanced += minutes;
    }
}

} // namespace libsim
