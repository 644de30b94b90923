#pragma once

#include "db/qmxDB.h"

#include <string>
#include <vector>

class GeneralQueryFlags;
struct GeneralQueryRequest;

// The general query's connection: connected at its start, read-only for everything the query
// runs (a read-only transaction on PostgreSQL and Oracle, query_only on SQLite, the ODBC
// access mode elsewhere), its statement open to the window's Cancel while it lives, rolled
// back and disconnected on every way out.
class QueryConnection {
public:
    QueryConnection(const GeneralQueryRequest& request, GeneralQueryFlags& flags);
    ~QueryConnection();
    QueryConnection(const QueryConnection&) = delete;
    QueryConnection& operator=(const QueryConnection&) = delete;

    // Connected and read-only.
    bool isOpen() const { return m_open; }
    SQLHSTMT statement() const { return m_handles.statement; }
    const qmxDB& db() const { return m_db; }

private:
    bool makeReadOnly();

    qmxDB m_db;
    OdbcHandles m_handles;
    GeneralQueryFlags& m_flags;
    bool m_open = false;
};

// How a query connection is set up on the server the driver names (its SQL_DBMS_NAME): the
// statements that make it read-only, run in this order, with autocommit off where the count
// and the rows must be read in one read-only transaction; and whether the driver's cancel may
// be called from another thread while a statement runs. The SQLite driver's may not: it also
// closes the statement's cursor on the calling thread, under the worker's feet, so there a run
// stops at its next row instead.
struct QueryConnectionSetUp {
    bool manualCommit = false;
    std::vector<std::string> statements;
    bool cancelsFromAnotherThread = false;
};
QueryConnectionSetUp queryConnectionSetUpFor(const std::string& databaseProductName);
