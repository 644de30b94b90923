#pragma once

#include "StoredInteger.h"
#include "qmxDB.h"

#include <sql.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a driver call's result counts as. Prepare, execute, connect and commit succeed only on
// SQL_SUCCESS; the other rules are for the callers that have always taken more.
enum class Success {
    Exact,            // SQL_SUCCESS only
    WithInfo,         // success, or success with information (the rule of fetch and get-data)
    WithInfoOrNoData, // the same, or an execute that found no row (a delete or select of nothing)
};

bool succeeded(SQLRETURN result, Success rule);

// What one fetch gave: a row, the end of the rows, or a failure (its diagnostics are on the
// statement). A loop that stops at anything but a row tells the end from a failure.
enum class Fetched { Row, End, Failed };

// The work done on one statement handle, every result judged in one place: prepare, execute,
// fetch each row, read its columns as texts or 64-bit integers. The handle is the connection's
// (OdbcHandles owns it); the cursor is closed when this object goes, on every path, and a
// statement failure's diagnostics stay on the handle for qmxDB::reportDiagnostics.
class CheckedStatement {
public:
    explicit CheckedStatement(SQLHSTMT handle) : m_handle(handle) {}
    ~CheckedStatement() { close(); }
    CheckedStatement(const CheckedStatement&) = delete;
    CheckedStatement& operator=(const CheckedStatement&) = delete;

    bool valid() const { return m_handle != SQL_NULL_HSTMT; }
    SQLHSTMT handle() const { return m_handle; }

    // False for a statement without a handle, or when the driver's result breaks the rule.
    bool prepare(const std::string& sql, Success rule = Success::Exact);
    bool execute(Success rule = Success::Exact);
    // Prepare and execute in one call to the driver.
    bool executeDirect(const std::string& sql, Success rule = Success::Exact);

    // The next row; a result the rule does not take is a failure, no data is the end.
    Fetched fetch(Success rule = Success::WithInfo);

    // A column of the current row as text of at most maxBytes; nothing for NULL or a failed read.
    std::optional<std::string> text(SQLUSMALLINT column, std::size_t maxBytes = 32) const;
    // A column read to its full length, in pieces, up to limit bytes (getWholeColumnText).
    ColumnText wholeText(SQLUSMALLINT column, std::size_t limit) const;
    // A column in 64 bits with its kind told apart (getColumnInteger).
    StoredInteger integer(SQLUSMALLINT column) const;
    // A column as the driver converts it to a signed 32-bit integer: nothing on a failed read,
    // 0 for NULL.
    std::optional<std::int32_t> driverInteger(SQLUSMALLINT column) const;
    // The result's columns as the driver describes them.
    std::vector<ResultColumn> columns() const;

    void close();

private:
    SQLHSTMT m_handle;
    mutable std::vector<char> m_buffer;
};

// The calls that act on a whole connection: what the driver says it is, the commit mode,
// transactions, and the cancel of a statement another thread is running.
class ConnectionControl {
public:
    explicit ConnectionControl(SQLHDBC connection) : m_connection(connection) {}

    // The database product the driver names (SQL_DBMS_NAME, at most 127 bytes); empty when it
    // names none.
    std::string productName() const;
    bool setAutocommit(bool on, Success rule = Success::WithInfo) const;
    // The driver's read-only access mode: most drivers take it only as a hint.
    bool setReadOnlyHint() const;
    // Commits or rolls back the connection's transaction.
    bool endTransaction(bool commit, Success rule = Success::Exact) const;

private:
    SQLHDBC m_connection;
};

// Asks the driver to stop the statement the handle is running; safe from another thread while
// the handle lives.
void cancelStatement(SQLHSTMT statement);
