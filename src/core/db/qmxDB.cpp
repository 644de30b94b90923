#include "qmxDB.h"

#include "CheckedStatement.h"
#include "DiagnosticRules.h"
#include "DiagnosticsWindow.h"
#include "ListControl.h"
#include "LockWait.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cctype>
#include <vector>

namespace {
std::string upperCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void logDriverNotes(SQLSMALLINT handleType, SQLHANDLE handle)
{
    // A driver that answers success-with-info for ordinary work has its notes logged.
    int count = 0;
    for (const DiagnosticRecord& record : readDiagnosticRecords(handleType, handle, count))
        WriteTraceLine("Driver note " + record.state + ": " + record.message);
}
} // namespace

bool qmxDB::connectDB(const std::string& dataSourceName, const std::string& userName, const std::string& password,
                      OdbcHandles& handles, Diagnostics diagnostics, DiagnosticsWindow* window) const
{
    WaitCursor wait(theApp().prompts());
    handles.release();
    handles.failureReason.clear();
    SQLRETURN result = SQL_ERROR;
    if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handles.environment) == SQL_SUCCESS
        && SQLSetEnvAttr(handles.environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)
               == SQL_SUCCESS
        && SQLAllocHandle(SQL_HANDLE_DBC, handles.environment, &handles.connection) == SQL_SUCCESS) {
        result = SQLConnect(handles.connection, sqlText(dataSourceName), SQL_NTS, sqlText(userName), SQL_NTS,
                            sqlText(password), SQL_NTS);
    }
    if (result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO)
        handles.connected = true;
    if (handles.connection == SQL_NULL_HDBC || result != SQL_SUCCESS) {
        WriteDebugLine("Error connecting to Data Source Name " + dataSourceName + "\n");
        if (handles.connection != SQL_NULL_HDBC)
            handles.failureReason = reportDiagnostics(SQL_HANDLE_DBC, handles.connection, diagnostics, window);
        handles.release();
        return false;
    }
    if (SQLAllocHandle(SQL_HANDLE_STMT, handles.connection, &handles.statement) != SQL_SUCCESS) {
        WriteDebugLine("Error allocating a statement on Data Source Name " + dataSourceName + "\n");
        reportDiagnostics(SQL_HANDLE_DBC, handles.connection,
                          shownWhen(diagnostics != Diagnostics::LogOnly && window == nullptr));
        handles.release();
        return false;
    }
    return true;
}

bool dataSourceAnswers(const std::string& dataSourceName, const std::string& userName, const std::string& password)
{
    OdbcHandles handles;
    if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handles.environment) != SQL_SUCCESS
        || SQLSetEnvAttr(handles.environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)
               != SQL_SUCCESS
        || SQLAllocHandle(SQL_HANDLE_DBC, handles.environment, &handles.connection) != SQL_SUCCESS)
        return false;
    const SQLRETURN result = SQLConnect(handles.connection, sqlText(dataSourceName), SQL_NTS, sqlText(userName),
                                        SQL_NTS, sqlText(password), SQL_NTS);
    handles.connected = result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
    const bool answers = handles.connected;
    handles.release();
    return answers;
}

bool qmxDB::disconnectDB(OdbcHandles& handles) const
{
    if (handles.connection != SQL_NULL_HDBC && handles.connected) {
        // A failed commit posts its diagnostics on the connection, not on the statement.
        SQLRETURN result = SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT);
        if (result != SQL_SUCCESS) {
            WriteDebugLine("Error SQL End Transaction statement ");
            reportDiagnostics(SQL_HANDLE_DBC, handles.connection, Diagnostics::ShowUser);
            // A transaction that could not commit is still open: some drivers will not
            // disconnect from it and keep the database locked. It ends here.
            if (result != SQL_SUCCESS_WITH_INFO)
                SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_ROLLBACK);
        }
    }
    handles.release();
    return true;
}

bool qmxDB::checkSQLResult(SQLRETURN result, const std::string& verb, SQLHSTMT statement, Diagnostics diagnostics,
                           DiagnosticsWindow* window) const
{
    if (result == SQL_SUCCESS)
        return true;
    WriteDebugLine("Error " + verb + " statement ");
    reportDiagnostics(SQL_HANDLE_STMT, statement, diagnostics, window);
    return false;
}

std::string qmxDB::reportDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, Diagnostics diagnostics,
                                     DiagnosticsWindow* window) const
{
    int count = 0;
    const std::vector<DiagnosticRecord> records = readDiagnosticRecords(handleType, handle, count);
    return reportDiagnosticRecords(count, records, diagnostics, window);
}

std::vector<DiagnosticRecord> readDiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle, int& count)
{
    SQLLEN reported = 0;
    SQLGetDiagField(handleType, handle, 0, SQL_DIAG_NUMBER, &reported, 0, nullptr);
    count = static_cast<int>(reported);
    std::vector<DiagnosticRecord> records;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLCHAR message[513] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN got = SQLGetDiagRec(handleType, handle, record, state, &native, message, sizeof message, &length);
        if (got != SQL_SUCCESS && got != SQL_SUCCESS_WITH_INFO)
            break;
        records.push_back(
            {reinterpret_cast<char*>(state), static_cast<long>(native), reinterpret_cast<char*>(message)});
    }
    return records;
}

std::string DiagnosticRecord::text(int number, int count) const
{
    return std::to_string(number) + " of " + std::to_string(count) + " diagnostic records\n" + "SQLSTATE: " + state
           + "\n" + "Native Error Code: " + std::to_string(nativeError) + "\n" + "Message Text:" + message + "\n";
}

std::string qmxDB::reportDiagnosticRecords(int count, const std::vector<DiagnosticRecord>& records,
                                           Diagnostics diagnostics, DiagnosticsWindow* window) const
{
    const bool connectionRules = diagnostics == Diagnostics::ConnectionRules;
    std::string reason;
    WriteDebugLine("Number of Diagnostic Records: " + std::to_string(count));
    UserPrompts& prompts = theApp().prompts();
    bool boxesAllowed = diagnostics != Diagnostics::LogOnly;
    int number = 0;
    for (const DiagnosticRecord& record : records) {
        const std::string text = record.text(++number, count);
        WriteDebugLine(text);

        const DiagnosticRule* rule = findDiagnosticRule(text, connectionRules);
        const std::string message = rule != nullptr ? diagnosticRuleMessage(*rule, record.message) : "";
        if (reason.empty())
            reason = !message.empty() ? message : record.message;
        if (rule == nullptr) {
            if (connectionRules && boxesAllowed)
                prompts.showMessage(text, MessageIcon::Stop);
            continue;
        }
        if (rule->logRecordTwice)
            WriteDebugLine(text);

        const auto kind = window != nullptr ? window->windowKind() : DiagnosticsWindow::Kind::Other;
        const bool tableRule = rule->focus == DiagnosticRule::Focus::TableName;
        const bool databaseRule =
            rule->focus == DiagnosticRule::Focus::DatabaseName || rule->focus == DiagnosticRule::Focus::IpAddress;
        const bool focusHere = window != nullptr
                               && ((tableRule && kind == DiagnosticsWindow::Kind::TableSetupPage)
                                   || (databaseRule && kind == DiagnosticsWindow::Kind::DatabaseSetupPage));
        auto focus = [&] {
            if (!focusHere)
                return;
            if (rule->focus == DiagnosticRule::Focus::DatabaseName)
                window->focusDatabaseName();
            else if (rule->focus == DiagnosticRule::Focus::IpAddress)
                window->focusIpAddress();
            else
                window->focusTableName();
        };
        const bool silenced =
            rule->silentOnOtherWindows && window != nullptr && kind != DiagnosticsWindow::Kind::TableSetupPage;
        if (rule->focusBeforeMessage)
            focus();
        if (!message.empty() && boxesAllowed && !silenced)
            prompts.showMessage(message, MessageIcon::Stop);
        if (!rule->focusBeforeMessage)
            focus();
        if (rule->stopFurtherBoxes)
            boxesAllowed = false;
    }
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

int qmxDB::selectIntoList(const std::string& columns, const std::string& table, const std::string& whereClause,
                          SQLHSTMT handle, ListControl* list, Diagnostics diagnostics, DiagnosticsWindow* window) const
{
    const std::string sql = "SELECT " + columns + " FROM " + table + " " + whereClause;
    CheckedStatement statement(handle);
    if (!statement.prepare(sql)) {
        WriteDebugLine("Error preparing: " + sql);
        reportDiagnostics(SQL_HANDLE_STMT, handle, diagnostics);
        return -1;
    }
    if (!statement.execute()) {
        WriteDebugLine("Error executing select statement:\n" + sql);
        reportDiagnostics(SQL_HANDLE_STMT, handle, diagnostics, window);
        return -1;
    }

    const std::vector<ResultColumn> described = statement.columns();
    int dateColumn = -1;
    if (list != nullptr) {
        std::vector<std::string> titles{"ROW"};
        std::vector<bool> numeric{true};
        for (std::size_t index = 0; index < described.size(); ++index) {
            const ResultColumn& column = described[index];
            // Servers fold unquoted names differently: compare upper-cased.
            if (upperCased(column.name) == "DATE")
                dateColumn = static_cast<int>(index) + 1;
            titles.push_back(column.name);
            numeric.push_back(column.type == SQL_INTEGER || column.type == SQL_SMALLINT);
        }
        list->setColumns(titles, numeric);
    }

    int rows = 0;
    while (statement.fetch() == Fetched::Row) {
        ++rows;
        if (list == nullptr)
            continue;
        std::vector<std::string> cells{std::to_string(rows)};
        for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(described.size()); ++column) {
            std::string value = statement.text(column, 511).value_or("");
            if (column == dateColumn && value.size() >= 10)
                value = value.substr(5, 2) + "-" + value.substr(value.size() - 2) + "-" + value.substr(0, 4);
            cells.push_back(std::move(value));
        }
        list->addRow(cells);
    }
    return rows;
}

SQLRETURN prepareStatement(SQLHSTMT statement, const std::string& sql)
{
    SQLRETURN result = SQLPrepare(statement, sqlText(sql), SQL_NTS);
    if (result == SQL_SUCCESS_WITH_INFO) {
        logDriverNotes(SQL_HANDLE_STMT, statement);
    }
    return result;
}

SQLRETURN executeStatement(SQLHSTMT statement)
{
    // Under a StopWhileLocked a locked database is waited for in short steps, each ending
    // with a look at the stop flag.
    const std::atomic<bool>* stop = lockWaitStopFlag();
    const auto first = std::chrono::steady_clock::now();
    for (;;) {
        const auto began = std::chrono::steady_clock::now();
        const SQLRETURN result = SQLExecute(statement);
        if (result != SQL_ERROR || stop == nullptr || stop->load() || !isDatabaseLocked(statement)
            || began - first > StopWhileLocked::Patience)
            return result;
        SQLFreeStmt(statement, SQL_CLOSE);
        // A lock reported at once, without the driver's own wait, is not tried again at once.
        if (std::chrono::steady_clock::now() - began < StopWhileLocked::Wait / 5)
            std::this_thread::sleep_for(StopWhileLocked::Wait / 5);
    }
}

bool fetchSucceeded(SQLRETURN result)
{
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

std::optional<std::string> getColumnText(SQLHSTMT statement, SQLUSMALLINT column, std::size_t maxBytes)
{
    std::string buffer(maxBytes + 1, '\0');
    SQLLEN indicator = 0;
    SQLRETURN result =
        SQLGetData(statement, column, SQL_C_CHAR, buffer.data(), static_cast<SQLLEN>(buffer.size()), &indicator);
    if (!fetchSucceeded(result) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

ColumnText getWholeColumnText(SQLHSTMT statement, SQLUSMALLINT column, std::size_t limit)
{
    ColumnText value;
    char piece[4096];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(statement, column, SQL_C_CHAR, piece, sizeof piece, &indicator);
        if (result == SQL_NO_DATA)
            break; // every piece has been read
        if (!fetchSucceeded(result) || indicator == SQL_NULL_DATA)
            return {};
        value.null = false;
        // A piece that filled the buffer holds its size less the terminator; a last piece its length.
        const std::size_t available = sizeof piece - 1;
        const bool more =
            result == SQL_SUCCESS_WITH_INFO
            && (indicator == SQL_NO_TOTAL || indicator < 0 || static_cast<std::size_t>(indicator) > available);
        const std::size_t length = more || indicator < 0 ? available : static_cast<std::size_t>(indicator);
        const std::size_t room = limit - value.text.size();
        value.text.append(piece, std::min(length, room));
        if (length > room) {
            value.cut = true;
            break;
        }
        if (!more)
            break;
    }
    return value;
}

void closeCursor(SQLHSTMT statement)
{
    SQLFreeStmt(statement, SQL_CLOSE);
}

std::vector<ResultColumn> describeResultColumns(SQLHSTMT statement)
{
    SQLSMALLINT count = 0;
    SQLNumResultCols(statement, &count);
    std::vector<ResultColumn> columns;
    for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(std::max<SQLSMALLINT>(count, 0)); ++column) {
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        ResultColumn described;
        if (SQL_SUCCEEDED(
                SQLDescribeCol(statement, column, name, sizeof name, &nameLength, &type, &size, &digits, &nullable))) {
            described.name = reinterpret_cast<const char*>(name);
            described.type = type;
        }
        columns.push_back(std::move(described));
    }
    return columns;
}

std::optional<std::vector<std::string>> selectFirstColumn(const qmxDB& db, SQLHSTMT handle, const std::string& sql,
                                                          const char* prepareFailed, const char* executeFailed,
                                                          std::size_t maxBytes)
{
    CheckedStatement statement(handle);
    const auto failed = [&](const char* step) -> std::optional<std::vector<std::string>> {
        WriteDebugLine(step);
        WriteDebugLine(sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, handle, Diagnostics::ShowUser);
        return std::nullopt;
    };
    if (!statement.prepare(sql))
        return failed(prepareFailed);
    if (!statement.execute(Success::WithInfo))
        return failed(executeFailed);
    std::vector<std::string> values;
    while (statement.fetch() == Fetched::Row)
        if (auto value = statement.text(1, maxBytes))
            values.push_back(std::move(*value));
    return values;
}
