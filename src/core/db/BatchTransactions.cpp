#include "BatchTransactions.h"

#include "CheckedStatement.h"
#include "LockWait.h"

#include <sqlext.h>

namespace {
bool setAutoCommit(SQLHDBC connection, bool on)
{
    return ConnectionControl(connection).setAutocommit(on);
}

// A commit the driver answers with information is a commit: its rows are stored.
bool endTransaction(SQLHDBC connection, SQLSMALLINT completion)
{
    return ConnectionControl(connection).endTransaction(completion == SQL_COMMIT, Success::WithInfo);
}
} // namespace

BatchTransactions::BatchTransactions(SQLHDBC connection)
    : m_connection(connection), m_writeLockFirst(isEmbeddedStore(connection)),
      m_available(m_writeLockFirst || setAutoCommit(connection, false))
{
}

bool BatchTransactions::begin()
{
    return !m_writeLockFirst || runOnConnection(m_connection, "BEGIN IMMEDIATE");
}

bool BatchTransactions::commit()
{
    return m_writeLockFirst ? runOnConnection(m_connection, "COMMIT") : endTransaction(m_connection, SQL_COMMIT);
}

void BatchTransactions::rollback()
{
    if (m_writeLockFirst)
        runOnConnection(m_connection, "ROLLBACK");
    else
        endTransaction(m_connection, SQL_ROLLBACK);
}

void BatchTransactions::pause()
{
    if (!m_writeLockFirst)
        setAutoCommit(m_connection, true);
}

void BatchTransactions::resume()
{
    if (!m_writeLockFirst)
        setAutoCommit(m_connection, false);
}

void BatchTransactions::finish()
{
    if (!m_writeLockFirst) {
        endTransaction(m_connection, SQL_COMMIT);
        setAutoCommit(m_connection, true);
    }
}
