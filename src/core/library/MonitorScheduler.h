#pragma once

#include <chrono>
#include <functional>

// The monitor's three window timers. A timer fires again and again with the period it was
// last armed with until it is killed; arming a timer that is set replaces its period and
// starts it afresh. The handler runs on the scheduler's own thread, one timer at a time.
class MonitorScheduler {
public:
    using Handler = std::function<void(int timerId)>;

    virtual ~MonitorScheduler() = default;
    virtual void setHandler(Handler handler) = 0;
    virtual void arm(int timerId, std::chrono::milliseconds period) = 0;
    virtual void kill(int timerId) = 0;
    // Kills every timer and waits for a handler that is running; arming afterwards does nothing.
    virtual void stop() = 0;
};
