#include "OdbcHandles.h"

void OdbcHandles::release() noexcept
{
    if (statement != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        statement = SQL_NULL_HSTMT;
    }
    if (connection != SQL_NULL_HDBC) {
        if (connected)
            SQLDisconnect(connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        connection = SQL_NULL_HDBC;
    }
    connected = false;
    if (environment != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, environment);
        environment = SQL_NULL_HENV;
    }
}
