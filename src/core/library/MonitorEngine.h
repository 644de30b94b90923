#pragma once

#include "Download.h"
#include "MonitorObserver.h"
#include "MonitorScheduler.h"
#include "db/LockWait.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class MonitorSink;

// The timer periods of a monitor. The defaults are the monitor's real ones; tests shorten them.
struct MonitorPeriods {
    std::chrono::milliseconds mountHistory{600000};
    std::chrono::milliseconds libraryPerformance{3600000};
    std::chrono::milliseconds retry{60000};
    std::chrono::milliseconds firstMountHistory{5000};
    std::chrono::milliseconds firstLibraryPerformance{45000};
    // Armed when a mount history cycle begins, before its regular period replaces it.
    std::chrono::milliseconds mountHistoryGuard{480000};
};

// Where the cycles store their lines: the connection settings and table names in force when
// the monitor started.
struct MonitorDatabase {
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string mountHistoryTable;
    std::string libraryPerformanceTable;

    static MonitorDatabase fromSettings();
};

struct MonitorOptions {
    MonitorPeriods periods;
    DownloadLimits limits;
    std::chrono::milliseconds startOffset{0};
    MonitorDatabase database = MonitorDatabase::fromSettings();
    std::function<std::time_t()> clock;  // the time in window lines; the system's when empty
    MonitorObserver* observer = nullptr; // told of downloads, stored lines and cycles; outlives the engine
};

// One monitored library: the check of its configuration, the mount history and library
// performance cycles on their timers, and the lines they write. Every worker tests the stop
// flag between steps and as bytes arrive, and is joined; nothing is ended by force.
class MonitorEngine {
public:
    enum TimerId { TIMER_MOUNT_HISTORY = 0, TIMER_LIBRARY_PERFORMANCE = 1, TIMER_RETRY_CHECK = 2 };

    // Without a scheduler the monitor runs its timers on a thread of its own.
    MonitorEngine(std::string address, MonitorSink& sink, MonitorOptions options = {},
                  std::unique_ptr<MonitorScheduler> scheduler = nullptr);
    ~MonitorEngine();
    MonitorEngine(const MonitorEngine&) = delete;
    MonitorEngine& operator=(const MonitorEngine&) = delete;

    // Writes the starting line and starts the check; counts one more active monitor.
    void start();
    // Sets the stop flag and stops the timers; workers notice within a second.
    void requestStop();
    // Cancels the statements the cycles are running on a server database, so that a stop is
    // not kept waiting by a lock another session holds. Repeated while waiting for the workers:
    // a statement may start just after a cancel.
    void cancelRunningStatements();
    // Waits for every worker to end (after requestStop).
    void join();
    void stop()
    {
        requestStop();
        join();
    }

    // The timer handler: starts a cycle, or skips one whose previous run is still going.
    void onTimer(int timerId);

    const std::string& address() const { return m_address; }
    bool stopRequested() const { return m_stopRequested.load(); }
    int busy() const { return m_busy.load(); }
    bool performanceAvailable() const { return m_performanceAvailable.load(); }
    bool ovisEnabled() const { return m_ovisEnabled.load(); }
    bool mountHistoryInProgress() const { return m_mountHistoryInProgress.load(); }
    bool libraryPerformanceInProgress() const { return m_libraryPerformanceInProgress.load(); }

private:
    void startWorker(std::thread& slot, void (MonitorEngine::*work)());
    void checkWorker();
    void mountHistoryWorker();
    void libraryPerformanceWorker();
    // reason: why the database failed the cycle, written after the retry line; emptied here.
    void endCycle(bool stored, int timer, const char* retryLine, std::string& reason);
    bool mountHistoryDownload();
    bool libraryPerformanceDownload();
    void observeCycle(MonitorTable table, std::chrono::steady_clock::time_point began, bool stored);
    void observeDatabaseFailure(MonitorTable table);
    void write(const std::string& text);
    std::string timeText() const;

    std::string m_address;
    std::string m_mountHistoryFileName;
    MonitorSink& m_sink;
    MonitorOptions m_options;
    std::unique_ptr<MonitorScheduler> m_scheduler;

    std::atomic<bool> m_stopRequested{false};
    std::atomic<int> m_busy{0};
    std::atomic<bool> m_performanceAvailable{false};
    std::atomic<bool> m_ovisEnabled{false};
    std::atomic<bool> m_checkInProgress{false};
    std::atomic<bool> m_mountHistoryInProgress{false};
    std::atomic<bool> m_libraryPerformanceInProgress{false};
    bool m_counted = false;
    // Each written only by the one worker of its kind that runs at a time.
    std::string m_mountHistoryReason;
    std::string m_libraryPerformanceReason;

    // The statements the cycles are running, cancelled by a stop.
    RunningStatement m_mountHistoryStatement;
    RunningStatement m_libraryPerformanceStatement;

    std::mutex m_workersMutex;
    std::thread m_checkThread;
    std::thread m_mountHistoryThread;
    std::thread m_libraryPerformanceThread;
};
