#pragma once

#include <sql.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

struct OdbcHandles;

// While one of these lives on a thread, a statement of that thread that finds the database
// locked by another writer is tried again until it runs or the stop flag is set. With the
// connection's busy timeout shortened (shortenLockWaits) a stop is then seen within a second
// even while another connection holds the write lock, where the data source's own timeout
// would keep a statement waiting for minutes.
class StopWhileLocked {
public:
    static constexpr std::chrono::milliseconds Wait{200};
    // A lock held longer than this fails the statement, as the data source's own timeout did.
    static constexpr std::chrono::seconds Patience{120};

    explicit StopWhileLocked(const std::atomic<bool>& stop);
    ~StopWhileLocked();
    StopWhileLocked(const StopWhileLocked&) = delete;
    StopWhileLocked& operator=(const StopWhileLocked&) = delete;

private:
    const std::atomic<bool>* m_previous;
};

// The statement a worker is running, for a stop on another thread to cancel: a server
// database whose table another session has locked makes a statement wait without a time
// limit, and only the driver's cancel ends that wait. Attach and detach happen on the worker,
// cancel on the stopping thread; the statement is never cancelled once detached.
class RunningStatement {
public:
    // Gives the statement attached before.
    SQLHSTMT attach(SQLHSTMT statement);
    void detach();
    void cancel();

private:
    std::mutex m_mutex;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
};

// Keeps a statement attached for the length of a scope, then the one attached before it. Not on
// the embedded store: it waits for a lock in short steps instead, and its driver's cancel is
// not made for a statement that another thread is running.
class AttachedStatement {
public:
    AttachedStatement(RunningStatement& running, SQLHDBC connection, SQLHSTMT statement);
    ~AttachedStatement() { m_running.attach(m_previous); }
    AttachedStatement(const AttachedStatement&) = delete;
    AttachedStatement& operator=(const AttachedStatement&) = delete;

private:
    RunningStatement& m_running;
    SQLHSTMT m_previous = SQL_NULL_HSTMT;
};

// The stop flag of the innermost StopWhileLocked of this thread, or nullptr.
const std::atomic<bool>* lockWaitStopFlag();

// The statement's last error says the database is locked or busy.
bool isDatabaseLocked(SQLHSTMT statement);

// The connection's database is the embedded store (SQLite), whose writers lock the whole file.
bool isEmbeddedStore(SQLHDBC connection);
// The driver names PostgreSQL as its database: the server takes arrays and unnest.
bool isPostgreSQLServer(SQLHDBC connection);

// On the embedded store, connects the handles again with a busy timeout of one Wait instead
// of the data source's (its driver takes the timeout only when connecting). Other databases
// are left as they are. False when the new connection failed: the handles are then released.
bool shortenLockWaits(OdbcHandles& handles, const std::string& dataSourceName);

// Runs one statement text directly on a statement handle of its own; true when it ran.
bool runOnConnection(SQLHDBC connection, const std::string& sql);
