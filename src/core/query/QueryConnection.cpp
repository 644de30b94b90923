#include "QueryConnection.h"

#include "GeneralQueryThread.h"
#include "QueryTexts.h"
#include "app/DebugLog.h"
#include "db/CheckedStatement.h"

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
    ConnectionControl(m_handles.connection).endTransaction(false);
    m_db.disconnectDB(m_handles);
}

bool QueryConnection::makeReadOnly()
{
    const ConnectionControl connection(m_handles.connection);
    const QueryConnectionSetUp setUp = queryConnectionSetUpFor(connection.productName());
    if (setUp.cancelsFromAnotherThread)
        m_flags.attachStatement(m_handles.statement);
    // The driver's own read-only switch: most drivers take it only as a hint, so where the
    // server has a statement of its own, that statement is what counts.
    connection.setReadOnlyHint();
    bool done = !setUp.manualCommit || connection.setAutocommit(false, Success::Exact);
    for (const std::string& sql : setUp.statements) {
        if (!done)
            break;
        CheckedStatement statement(m_handles.statement);
        done = statement.executeDirect(sql);
    }
    if (!done) {
        WriteDebugLine(query_texts::ReadOnlyFailed);
        m_db.reportDiagnostics(SQL_HANDLE_STMT, m_handles.statement, Diagnostics::ShowUser);
    }
    return done;
}
