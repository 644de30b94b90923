#pragma once

#include <sql.h>
#include <sqlext.h>
#include <string>

// The environment, connection and statement handles of one connection. Filled by
// qmxDB::connectDB, released by disconnectDB (which commits first); the destructor releases
// whatever is still held on any other path.
struct OdbcHandles {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    bool connected = false;
    // Why the last connect failed, in the words the user is shown; empty after a good connect.
    std::string failureReason;

    OdbcHandles() = default;
    ~OdbcHandles() { release(); }
    OdbcHandles(const OdbcHandles&) = delete;
    OdbcHandles& operator=(const OdbcHandles&) = delete;

    void release() noexcept;
};

// Driver calls take non-const character pointers for texts they only read.
inline SQLCHAR* sqlText(const std::string& text)
{
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}
