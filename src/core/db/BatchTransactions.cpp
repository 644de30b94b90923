#include "BatchTransactions.h"

#include "LockWait.h"

#include <sqlext.h>

namespace {
bool succeeded(SQLRETURN result)
{
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

bool setAutoCommit(SQLHDBC connection, bool on)
{
    return succeeded(SQLSetConnectAttr(
        connection, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
        SQL_IS_UINTEGER));
}

bool endTransaction(SQLHDBC connection, SQLSMALLINT completion)
{
    return succeeded(SQLEndTran(SQL_HANDLE_DBC, connection, completion));
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
