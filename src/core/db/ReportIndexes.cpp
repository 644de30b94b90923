#include "ReportIndexes.h"

#include "CheckedStatement.h"
#include "app/DebugLog.h"
#include "qmxDB.h"

#include <cstring>
#include <strings.h>

namespace {
bool serverNamed(SQLHDBC connection, const char* product)
{
    const std::string name = ConnectionControl(connection).productName();
    return strncasecmp(name.c_str(), product, std::strlen(product)) == 0;
}

bool embeddedStore(SQLHDBC connection)
{
    return serverNamed(connection, "SQLite");
}

// Column 1 of the first row is "1" (or "t", a true boolean).
bool answersYes(SQLHSTMT handle, const std::string& sql)
{
    CheckedStatement statement(handle);
    if (!statement.executeDirect(sql, Success::WithInfo) || statement.fetch() != Fetched::Row)
        return false;
    const std::string value = statement.text(1).value_or("0");
    return value == "1" || value == "t";
}

bool runDirectly(SQLHSTMT handle, const std::string& sql)
{
    CheckedStatement statement(handle);
    const bool ran = statement.executeDirect(sql, Success::WithInfoOrNoData);
    if (!ran) {
        WriteDebugLine("Error executing statement for the reports' statistics:");
        WriteDebugLine(sql);
        qmxDB().reportDiagnostics(SQL_HANDLE_STMT, handle, Diagnostics::LogOnly);
    }
    return ran;
}
} // namespace

std::vector<std::string> reportIndexStatements(const std::string& table, const Dialect& dialect)
{
    const std::string create = dialect.isOracle() ? "CREATE INDEX " : "CREATE INDEX IF NOT EXISTS ";
    const std::string date = dialect.dateColumn();
    return {create + table + "_rpt_date ON " + table + " (ipAddress, " + date + ")",
            create + table + "_rpt_drive ON " + table + " (ipAddress, Frame, Drive, " + date + ", Time)"};
}

bool addReportIndexes(SQLHSTMT statement, const std::string& table, const Dialect& dialect)
{
    if (statement == SQL_NULL_HSTMT)
        return false;
    bool all = true;
    for (const std::string& sql : reportIndexStatements(table, dialect))
        all = runDirectly(statement, sql) && all;
    return all;
}

void keepStatisticsCurrent(SQLHDBC connection, SQLHSTMT statement, const std::string& table)
{
    if (serverNamed(connection, "PostgreSQL")) {
        // The server's own vacuum keeps them current once it has run; a table loaded moments
        // ago may not have had that yet.
        if (answersYes(statement, "select count(*) from pg_stat_user_tables where relname = lower("
                                      + quoteLiteral(table)
                                      + ") and last_analyze is null and last_autoanalyze is null"))
            runDirectly(statement, "ANALYZE " + table);
        return;
    }
    if (!embeddedStore(connection))
        return;
    // Statistics are kept in sqlite_stat1 (there once anything was analysed), one row per
    // index: an index without its row (a new one) means the table is analysed again.
    const std::string name = quoteLiteral(table);
    const bool current = answersYes(statement, "select (select count(*) from sqlite_stat1 where tbl = " + name
                                                   + ") > 0 and not exists (select 1 from sqlite_master where type = "
                                                     "'index' and tbl_name = "
                                                   + name
                                                   + " and name not in (select idx from sqlite_stat1 where "
                                                     "tbl = "
                                                   + name + " and idx is not null))");
    if (!current)
        runDirectly(statement, "ANALYZE " + table);
}

void refreshStatistics(SQLHDBC connection, SQLHSTMT statement)
{
    if (embeddedStore(connection))
        runDirectly(statement, "PRAGMA optimize");
}
