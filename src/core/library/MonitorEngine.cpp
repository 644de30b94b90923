#include "MonitorEngine.h"

#include "LibraryConfiguration.h"
#include "LibraryFileText.h"
#include "LibraryTexts.h"
#include "MonitorFormat.h"
#include "MonitorObserver.h"
#include "MonitorSink.h"
#include "MonitorTexts.h"
#include "MonitorTimerThread.h"
#include "app/CQmxApp.h"
#include "app/TimeFormat.h"
#include "app/UserPrompts.h"
#include "db/ChunkedLineStore.h"
#include "db/LockWait.h"
#include "db/qmxDB.h"

namespace {
// The cycles store their lines in chunks and look at the stop flag between them; a stop
// cancels the statement that runs.
ChunkedLineStoreOptions monitorStoreOptions(const std::atomic<bool>& stop, RunningStatement& running)
{
    ChunkedLineStoreOptions options;
    options.logRetries = false;
    options.stop = &stop;
    options.running = &running;
    return options;
}

// A database message as monitor window lines: "\r\n" line ends, no blank line inside.
std::string monitorWindowLines(const std::string& message)
{
    std::string lines;
    for (char c : message) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (!lines.empty() && !lines.ends_with("\r\n"))
                lines += "\r\n";
            continue;
        }
        lines += c;
    }
    return lines;
}
} // namespace

MonitorDatabase MonitorDatabase::fromSettings()
{
    const CQmxApp& app = theApp();
    return MonitorDatabase{app.settings.databaseName, app.settings.userName, app.password,
                           app.settings.mountHistoryTableName, app.settings.libraryPerformanceTableName};
}

MonitorEngine::MonitorEngine(std::string address, MonitorSink& sink, MonitorOptions options,
                             std::unique_ptr<MonitorScheduler> scheduler)
    : m_address(std::move(address)), m_mountHistoryFileName(library_texts::MountHistoryFileName), m_sink(sink),
      m_options(std::move(options)),
      m_scheduler(scheduler ? std::move(scheduler) : std::make_unique<MonitorTimerThread>())
{
    m_scheduler->setHandler([this](int timerId) { onTimer(timerId); });
}

MonitorEngine::~MonitorEngine()
{
    stop();
    if (m_counted)
        --theApp().activeMonitors;
}

void MonitorEngine::start()
{
    if (!m_counted) {
        m_counted = true;
        ++theApp().activeMonitors;
    }
    write(formatMonitorText(monitor_texts::StartingMonitor, m_address.c_str()));
    m_checkInProgress = true;
    startWorker(m_checkThread, &MonitorEngine::checkWorker);
}

void MonitorEngine::requestStop()
{
    m_stopRequested = true;
    m_scheduler->stop();
    cancelRunningStatements();
}

void MonitorEngine::cancelRunningStatements()
{
    m_mountHistoryStatement.cancel();
    m_libraryPerformanceStatement.cancel();
}

void MonitorEngine::join()
{
    while (m_stopRequested && m_busy > 0) {
        cancelRunningStatements();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::lock_guard lock(m_workersMutex);
    for (std::thread* worker : {&m_checkThread, &m_mountHistoryThread, &m_libraryPerformanceThread})
        if (worker->joinable())
            worker->join();
}

void MonitorEngine::startWorker(std::thread& slot, void (MonitorEngine::*work)())
{
    std::lock_guard lock(m_workersMutex);
    if (m_stopRequested)
        return;
    // The previous worker of this kind has cleared its in-progress flag and is returning.
    if (slot.joinable())
        slot.join();
    // Counted before the thread exists, so that a Close that waits for busy to reach 0
    // cannot miss a worker that is only starting.
    ++m_busy;
    slot = std::thread([this, work] {
        (this->*work)();
        --m_busy;
    });
}

void MonitorEngine::onTimer(int timerId)
{
    const MonitorPeriods& periods = m_options.periods;
    switch (timerId) {
    case TIMER_MOUNT_HISTORY:
        if (m_mountHistoryInProgress.exchange(true)) {
            m_scheduler->arm(TIMER_MOUNT_HISTORY, periods.mountHistory);
            write(monitor_texts::SkippingMountHistory);
            return;
        }
        startWorker(m_mountHistoryThread, &MonitorEngine::mountHistoryWorker);
        break;
    case TIMER_LIBRARY_PERFORMANCE:
        if (m_libraryPerformanceInProgress.exchange(true)) {
            m_scheduler->arm(TIMER_LIBRARY_PERFORMANCE, periods.libraryPerformance);
            write(monitor_texts::SkippingLibraryPerformance);
            return;
        }
        startWorker(m_libraryPerformanceThread, &MonitorEngine::libraryPerformanceWorker);
        break;
    case TIMER_RETRY_CHECK:
        // A check that is still waiting for the library is not joined by a second one.
        if (m_checkInProgress.exchange(true))
            return;
        startWorker(m_checkThread, &MonitorEngine::checkWorker);
        break;
    default:
        break;
    }
}

void MonitorEngine::checkWorker()
{
    const MonitorPeriods& periods = m_options.periods;
    if (!m_stopRequested) {
        DownloadResult configuration =
            downloadLibraryFile(m_address, library_texts::ConfigurationFileName, &m_stopRequested, m_options.limits);
        if (m_options.observer && configuration.status != DownloadResult::Status::Stopped)
            m_options.observer->downloadEnded(m_address, MonitorFile::Configuration, configuration);
        if (!configuration.complete() && configuration.status != DownloadResult::Status::Stopped) {
            // An error status, a web page, a file without end: the library cannot be checked
            // now, and is checked again every retry period like one that does not answer.
            if (!m_stopRequested) {
                if (configuration.status != DownloadResult::Status::InternetError)
                    write(monitor_texts::ErrorPrefix
                          + downloadProblemText(configuration, library_texts::ConfigurationFileName, m_options.limits));
                write(formatMonitorText(monitor_texts::NotResponding, m_address.c_str(), timeText().c_str()));
                m_scheduler->arm(TIMER_RETRY_CHECK, periods.retry);
            }
        } else if (configuration.complete()) {
            const LibraryConfiguration read = LibraryConfiguration::read(configuration.text);
            m_performanceAvailable = read.performanceAvailable;
            m_ovisEnabled = read.ovisEnabled;
            m_scheduler->kill(TIMER_RETRY_CHECK);
            if (read.ovisEnabled) {
                m_scheduler->arm(TIMER_MOUNT_HISTORY, m_options.startOffset + periods.firstMountHistory);
                if (read.performanceAvailable)
                    m_scheduler->arm(TIMER_LIBRARY_PERFORMANCE,
                                     m_options.startOffset + periods.firstLibraryPerformance);
                else
                    write(formatMonitorText(monitor_texts::PerformanceNotAvailable, m_address.c_str()));
            } else {
                write(formatMonitorText(monitor_texts::OvisNotEnabled, m_address.c_str()));
            }
        }
        // A stop: nothing changes.
    }
    m_checkInProgress = false;
}

void MonitorEngine::mountHistoryWorker()
{
    const MonitorPeriods& periods = m_options.periods;
    m_scheduler->arm(TIMER_MOUNT_HISTORY, periods.mountHistoryGuard);
    if (!m_stopRequested) {
        m_scheduler->arm(TIMER_MOUNT_HISTORY, periods.mountHistory);
        const auto began = std::chrono::steady_clock::now();
        const bool stored = mountHistoryDownload();
        observeCycle(MonitorTable::MountHistory, began, stored);
        endCycle(stored, TIMER_MOUNT_HISTORY, monitor_texts::MountHistoryRetry, m_mountHistoryReason);
    }
    m_mountHistoryInProgress = false;
}

void MonitorEngine::libraryPerformanceWorker()
{
    m_scheduler->arm(TIMER_LIBRARY_PERFORMANCE, m_options.periods.libraryPerformance);
    if (!m_stopRequested) {
        const auto began = std::chrono::steady_clock::now();
        const bool stored = libraryPerformanceDownload();
        observeCycle(MonitorTable::LibraryPerformance, began, stored);
        endCycle(stored, TIMER_LIBRARY_PERFORMANCE, monitor_texts::LibraryPerformanceRetry, m_libraryPerformanceReason);
    }
    m_libraryPerformanceInProgress = false;
}

void MonitorEngine::endCycle(bool stored, int timer, const char* retryLine, std::string& reason)
{
    // A cycle ends with an empty line, or with the retry line (and the database's reason, when
    // the database failed it) and the timer set to a minute.
    std::string because;
    because.swap(reason);
    if (stored) {
        write("");
        return;
    }
    write(retryLine);
    if (!because.empty())
        write(monitorWindowLines(because));
    if (!m_stopRequested)
        m_scheduler->arm(timer, m_options.periods.retry);
}

bool MonitorEngine::mountHistoryDownload()
{
    write(formatMonitorText(monitor_texts::GettingMountHistory, m_address.c_str(), timeText().c_str()));
    DownloadResult file = downloadLibraryFile(m_address, m_mountHistoryFileName, &m_stopRequested, m_options.limits,
                                              MountHistoryFileLimit);
    if (m_options.observer && file.status != DownloadResult::Status::Stopped)
        m_options.observer->downloadEnded(m_address, MonitorFile::MountHistory, file);
    if (!file.complete()) {
        if (file.status != DownloadResult::Status::Stopped)
            write(monitor_texts::ErrorPrefix + downloadProblemText(file, m_mountHistoryFileName, m_options.limits));
        return false;
    }
    dropUnfinishedLine(file.text);
    const std::vector<std::string> lines = mountHistoryDataLines(file.text);
    if (m_options.observer)
        m_options.observer->mountHistoryRead(m_address, lines);

    const MonitorDatabase& database = m_options.database;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(database.dataSourceName, database.userName, database.password, handles, Diagnostics::LogOnly)) {
        m_mountHistoryReason = handles.failureReason;
        observeDatabaseFailure(MonitorTable::MountHistory);
        return false;
    }
    // Another writer holding the database must not keep a stop waiting.
    if (!shortenLockWaits(handles, database.dataSourceName)) {
        observeDatabaseFailure(MonitorTable::MountHistory);
        return false;
    }
    int inserted = 0;
    {
        const StopWhileLocked lockWait(m_stopRequested);
        const AttachedStatement running(m_mountHistoryStatement, handles.connection, handles.statement);
        ChunkedLineStore store(TableKind::MountHistory, database.mountHistoryTable, m_address, handles,
                               monitorStoreOptions(m_stopRequested, m_mountHistoryStatement));
        std::size_t next = 0; // the results come in the file's order, one a line
        store.store(lines, [&](int stored) {
            if (m_options.observer && next < lines.size())
                m_options.observer->lineStored(m_address, MonitorTable::MountHistory, lines[next], stored);
            ++next;
            switch (stored) {
            case 1:
                ++inserted;
                break;
            case 2:
                WriteDebugLine(monitor_texts::Repeat);
                break;
            default:
                write(monitor_texts::InsertProblem);
                break;
            }
        });
    }
    db.disconnectDB(handles);
    if (m_stopRequested)
        return false;
    write(formatMonitorText(monitor_texts::InsertedMountHistory, inserted));
    return true;
}

bool MonitorEngine::libraryPerformanceDownload()
{
    if (m_stopRequested)
        return true;
    write(formatMonitorText(monitor_texts::GettingLibraryPerformance, m_address.c_str(), timeText().c_str()));
    DownloadResult file =
        downloadLibraryFile(m_address, library_texts::LibraryPerformanceFileName, &m_stopRequested, m_options.limits);
    if (m_options.observer && file.status != DownloadResult::Status::Stopped)
        m_options.observer->downloadEnded(m_address, MonitorFile::LibraryPerformance, file);
    if (file.status == DownloadResult::Status::NoFile) {
        theApp().prompts().showMessage(monitor_texts::NoLibraryPerformanceFile, MessageIcon::Exclamation);
        return false;
    }
    if (!file.complete()) {
        if (file.status != DownloadResult::Status::Stopped)
            write(formatMonitorText(monitor_texts::LibraryPerformanceErrorPrefix, m_address.c_str())
                  + downloadProblemText(file, library_texts::LibraryPerformanceFileName, m_options.limits));
        return false;
    }
    dropUnfinishedLine(file.text);
    const std::vector<std::string> lines = libraryPerformanceDataLines(file.text);
    if (lines.empty()) {
        write(formatMonitorText(monitor_texts::InsertedLibraryPerformance, 0));
        return true;
    }

    const MonitorDatabase& database = m_options.database;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(database.dataSourceName, database.userName, database.password, handles, Diagnostics::LogOnly)) {
        m_libraryPerformanceReason = handles.failureReason;
        observeDatabaseFailure(MonitorTable::LibraryPerformance);
        return false;
    }
    // Another writer holding the database must not keep a stop waiting.
    if (!shortenLockWaits(handles, database.dataSourceName)) {
        observeDatabaseFailure(MonitorTable::LibraryPerformance);
        return false;
    }
    int inserted = 0;
    {
        const StopWhileLocked lockWait(m_stopRequested);
        const AttachedStatement running(m_libraryPerformanceStatement, handles.connection, handles.statement);
        ChunkedLineStore store(TableKind::LibraryPerformance, database.libraryPerformanceTable, m_address, handles,
                               monitorStoreOptions(m_stopRequested, m_libraryPerformanceStatement));
        std::size_t next = 0; // the results come in the file's order, one a line
        store.store(lines, [&](int stored) {
            if (m_options.observer && next < lines.size())
                m_options.observer->lineStored(m_address, MonitorTable::LibraryPerformance, lines[next], stored);
            ++next;
            switch (stored) {
            case 1:
                ++inserted;
                break;
            case 2:
                break;
            default:
                write(monitor_texts::InsertProblem);
                break;
            }
        });
    }
    db.disconnectDB(handles);
    if (m_stopRequested)
        return false;
    write(formatMonitorText(monitor_texts::InsertedLibraryPerformance, inserted));
    return true;
}

void MonitorEngine::observeCycle(MonitorTable table, std::chrono::steady_clock::time_point began, bool stored)
{
    // A cycle a stop cut short says nothing about the library.
    if (m_options.observer && !m_stopRequested)
        m_options.observer->cycleEnded(m_address, table, std::chrono::steady_clock::now() - began, stored);
}

void MonitorEngine::observeDatabaseFailure(MonitorTable table)
{
    if (m_options.observer && !m_stopRequested)
        m_options.observer->databaseFailed(m_address, table);
}

void MonitorEngine::write(const std::string& text)
{
    // Once a stop is requested the window may be going: nothing more is written to it.
    if (m_stopRequested)
        return;
    m_sink.writeMonitorLine(text);
}

std::string MonitorEngine::timeText() const
{
    return formatLocalTime(StampFormat, m_options.clock ? m_options.clock() : std::time(nullptr));
}
