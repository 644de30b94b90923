#include "LockWait.h"

#include "CheckedStatement.h"
#include "OdbcHandles.h"
#include "app/DebugLog.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {
thread_local const std::atomic<bool>* t_stop = nullptr;

bool succeeded(SQLRETURN result)
{
    return succeeded(result, Success::WithInfo);
}
} // namespace

StopWhileLocked::StopWhileLocked(const std::atomic<bool>& stop) : m_previous(t_stop)
{
    t_stop = &stop;
}

StopWhileLocked::~StopWhileLocked()
{
    t_stop = m_previous;
}

SQLHSTMT RunningStatement::attach(SQLHSTMT statement)
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_statement, statement);
}

void RunningStatement::detach()
{
    std::lock_guard lock(m_mutex);
    m_statement = SQL_NULL_HSTMT;
}

void RunningStatement::cancel()
{
    std::lock_guard lock(m_mutex);
    if (m_statement != SQL_NULL_HSTMT)
        SQLCancel(m_statement);
}

AttachedStatement::AttachedStatement(RunningStatement& running, SQLHDBC connection, SQLHSTMT statement)
    : m_running(running)
{
    if (!isEmbeddedStore(connection))
        m_previous = m_running.attach(statement);
    else
        m_previous = m_running.attach(SQL_NULL_HSTMT);
}

const std::atomic<bool>* lockWaitStopFlag()
{
    return t_stop;
}

bool isDatabaseLocked(SQLHSTMT statement)
{
    int count = 0;
    for (const DiagnosticRecord& record : readDiagnosticRecords(SQL_HANDLE_STMT, statement, count)) {
        std::string text = record.message;
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        // The embedded store's words for SQLITE_BUSY and SQLITE_LOCKED.
        if (text.find("database is locked") != std::string::npos || text.find("database is busy") != std::string::npos
            || text.find("database table is locked") != std::string::npos)
            return true;
    }
    return false;
}

namespace {
// The name the driver gives its database, in lower case; empty when it gives none.
std::string databaseProductName(SQLHDBC connection)
{
    std::string text = ConnectionControl(connection).productName();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

bool isEmbeddedStore(SQLHDBC connection)
{
    return databaseProductName(connection).find("sqlite") != std::string::npos;
}

bool isPostgreSQLServer(SQLHDBC connection)
{
    return databaseProductName(connection).find("postgres") != std::string::npos;
}

bool shortenLockWaits(OdbcHandles& handles, const std::string& dataSourceName)
{
    if (!handles.connected || !isEmbeddedStore(handles.connection))
        return true;
    if (handles.statement != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, handles.statement);
        handles.statement = SQL_NULL_HSTMT;
    }
    SQLDisconnect(handles.connection);
    handles.connected = false;
    // The embedded store takes no user name or password.
    const std::string connection =
        "DSN=" + dataSourceName + ";Timeout=" + std::to_string(StopWhileLocked::Wait.count());
    SQLSMALLINT length = 0;
    const SQLRETURN connected = SQLDriverConnect(handles.connection, nullptr, sqlText(connection), SQL_NTS, nullptr, 0,
                                                 &length, SQL_DRIVER_NOPROMPT);
    if (!succeeded(connected)) {
        WriteDebugLine("Error connecting to Data Source Name " + dataSourceName + " again with a short busy timeout");
        handles.release();
        return false;
    }
    handles.connected = true;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, handles.connection, &handles.statement))) {
        handles.release();
        return false;
    }
    return true;
}

bool runOnConnection(SQLHDBC connection, const std::string& sql)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
        return false;
    const bool ran = succeeded(SQLExecDirect(statement, sqlText(sql), SQL_NTS));
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return ran;
}
