#include "MonitorTimerThread.h"

MonitorTimerThread::MonitorTimerThread() : m_thread([this] { run(); })
{
}

MonitorTimerThread::~MonitorTimerThread()
{
    stop();
}

void MonitorTimerThread::setHandler(Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void MonitorTimerThread::arm(int timerId, std::chrono::milliseconds period)
{
    std::lock_guard lock(m_mutex);
    if (m_stopping)
        return;
    m_timers[timerId] = Timer{period, Clock::now() + period};
    m_changed.notify_all();
}

void MonitorTimerThread::kill(int timerId)
{
    std::lock_guard lock(m_mutex);
    m_timers.erase(timerId);
    m_changed.notify_all();
}

void MonitorTimerThread::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_timers.clear();
        m_changed.notify_all();
    }
    // A handler that calls stop() itself must not wait for its own thread.
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void MonitorTimerThread::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_timers.empty()) {
            m_changed.wait(lock);
            continue;
        }
        auto next = m_timers.begin();
        for (auto timer = m_timers.begin(); timer != m_timers.end(); ++timer)
            if (timer->second.due < next->second.due)
                next = timer;
        if (Clock::now() < next->second.due) {
            m_changed.wait_until(lock, next->second.due);
            continue;
        }
        // Due again one period later unless the handler arms it anew or kills it.
        const int timerId = next->first;
        next->second.due = Clock::now() + next->second.period;
        Handler handler = m_handler;
        lock.unlock();
        if (handler)
            handler(timerId);
        lock.lock();
    }
}
