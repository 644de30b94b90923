#pragma once

#include "MonitorScheduler.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// The monitor's timers on a thread of their own, on the steady clock.
class MonitorTimerThread final : public MonitorScheduler {
public:
    MonitorTimerThread();
    ~MonitorTimerThread() override;
    MonitorTimerThread(const MonitorTimerThread&) = delete;
    MonitorTimerThread& operator=(const MonitorTimerThread&) = delete;

    void setHandler(Handler handler) override;
    void arm(int timerId, std::chrono::milliseconds period) override;
    void kill(int timerId) override;
    void stop() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };

    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, Timer> m_timers;
    Handler m_handler;
    bool m_stopping = false;
    std::thread m_thread;
};
