#include "QueryConnection.h"

#include "GeneralQueryThread.h"
#include "QueryTexts.h"
#include "app/DebugLog.h"

#include <strings.h>

QueryConnectionSetUp queryConnectionSetUpFor(const std::string& databaseProductName)
{
    const auto named = [&](const char* name) { return strcasecmp(databaseProductName.c_str(), name) == 0; };
    // SQLite: no transaction needed, the connection itself refuses every write.
    if (named("SQLite"))
        return {false, {"PRAGMA query_only = 1"}, false};
    // A read-only transaction cannot be made read-write again from inside, not even by a
    // function called in a where clause; later transactions could, so there is only one.
    if (named("PostgreSQL") || named("Oracle"))
        return {true, {"SET TRANSACTION READ ONLY"}, true};
    return {true, {}, false};
}

QueryConnection::QueryConnection(const GeneralQueryRequest& request, GeneralQueryFlags& flags) : m_flags(flags)
{
    if (!m_db.connectDB(request.dataSourceName, request.userName, request.password, m_handles, Diagnostics::ShowUser))
        return;
    m_open = makeReadOnly();
}

QueryConnection::~QueryConnection()
{
    m_flags.detachStatement();
    if (!m_handles.connected)
        return;
    // Nothing of a query is ever kept; the commit of disconnectDB then finds nothing to do.
    SQLEndTran(SQL_HANDLE_DBC, m_handles.connection, SQL_ROLLBACK);
    m_db.disconnectDB(m_handles);
}

bool QueryConnection::makeReadOnly()
{
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(m_handles.connection, SQL_DBMS_NAME, name, sizeof name, &length);
    const QueryConnectionSetUp setUp = queryConnectionSetUpFor(reinterpret_cast<const char*>(name));
    if (setUp.cancelsFromAnotherThread)
        m_flags.attachStatement(m_handles.statement);
    // The driver's own read-only switch: most drivers take it only as a hint, so where the
    // server has a statement of its own, that statement is what counts.
    SQLSetConnectAttr(m_handles.connection, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    bool done = !setUp.manualCommit
                || SQLSetConnectAttr(m_handles.connection, SQL_ATTR_AUTOCOMMIT,
                                     reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)
                       == SQL_SUCCESS;
    for (const std::string& statement : setUp.statements) {
        if (!done)
            break;
        done = SQLExecDirect(m_handles.statement, sqlText(statement), SQL_NTS) == SQL_SUCCESS;
        closeCursor(m_handles.statement);
    }
    if (!done) {
        WriteDebugLine(query_texts::ReadOnlyFailed);
        m_db.reportDiagnostics(SQL_HANDLE_STMT, m_handles.statement, Diagnostics::ShowUser);
    }
    return done;
}
