#include "CheckedStatement.h"

#include <sqlext.h>

bool succeeded(SQLRETURN result, Success rule)
{
    switch (rule) {
    case Success::Exact:
        return result == SQL_SUCCESS;
    case Success::WithInfo:
        return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
    case Success::WithInfoOrNoData:
        return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO || result == SQL_NO_DATA;
    }
    return false;
}

bool CheckedStatement::prepare(const std::string& sql, Success rule)
{
    return valid() && succeeded(prepareStatement(m_handle, sql), rule);
}

bool CheckedStatement::execute(Success rule)
{
    return valid() && succeeded(executeStatement(m_handle), rule);
}

bool CheckedStatement::executeDirect(const std::string& sql, Success rule)
{
    return valid() && succeeded(SQLExecDirect(m_handle, sqlText(sql), SQL_NTS), rule);
}

Fetched CheckedStatement::fetch(Success rule)
{
    if (!valid())
        return Fetched::Failed;
    const SQLRETURN result = SQLFetch(m_handle);
    if (result == SQL_NO_DATA)
        return Fetched::End;
    return succeeded(result, rule) ? Fetched::Row : Fetched::Failed;
}

std::optional<std::string> CheckedStatement::text(SQLUSMALLINT column, std::size_t maxBytes) const
{
    // One buffer for every read: a query's result can be tens of millions of cells.
    if (m_buffer.size() < maxBytes + 1)
        m_buffer.resize(maxBytes + 1);
    m_buffer[0] = '\0';
    SQLLEN indicator = 0;
    const SQLRETURN result =
        SQLGetData(m_handle, column, SQL_C_CHAR, m_buffer.data(), static_cast<SQLLEN>(maxBytes + 1), &indicator);
    if (!fetchSucceeded(result) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return std::string(m_buffer.data(), std::char_traits<char>::length(m_buffer.data()));
}

ColumnText CheckedStatement::wholeText(SQLUSMALLINT column, std::size_t limit) const
{
    return getWholeColumnText(m_handle, column, limit);
}

StoredInteger CheckedStatement::integer(SQLUSMALLINT column) const
{
    return getColumnInteger(m_handle, column);
}

std::optional<std::int32_t> CheckedStatement::driverInteger(SQLUSMALLINT column) const
{
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    if (!fetchSucceeded(SQLGetData(m_handle, column, SQL_C_SLONG, &value, sizeof value, &indicator)))
        return std::nullopt;
    return indicator == SQL_NULL_DATA ? 0 : value;
}

std::vector<ResultColumn> CheckedStatement::columns() const
{
    return describeResultColumns(m_handle);
}

void CheckedStatement::close()
{
    if (valid())
        closeCursor(m_handle);
}

std::string ConnectionControl::productName() const
{
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    if (m_connection == SQL_NULL_HDBC
        || !fetchSucceeded(SQLGetInfo(m_connection, SQL_DBMS_NAME, name, sizeof name, &length)))
        return {};
    return reinterpret_cast<const char*>(name);
}

bool ConnectionControl::setAutocommit(bool on, Success rule) const
{
    return m_connection != SQL_NULL_HDBC
           && succeeded(
               SQLSetConnectAttr(
                   m_connection, SQL_ATTR_AUTOCOMMIT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)), 0),
               rule);
}

bool ConnectionControl::setReadOnlyHint() const
{
    return m_connection != SQL_NULL_HDBC
           && fetchSucceeded(SQLSetConnectAttr(m_connection, SQL_ATTR_ACCESS_MODE,
                                               reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)),
                                               0));
}

bool ConnectionControl::endTransaction(bool commit, Success rule) const
{
    return m_connection != SQL_NULL_HDBC
           && succeeded(SQLEndTran(SQL_HANDLE_DBC, m_connection, commit ? SQL_COMMIT : SQL_ROLLBACK), rule);
}

void cancelStatement(SQLHSTMT statement)
{
    if (statement != SQL_NULL_HSTMT)
        SQLCancel(statement);
}
