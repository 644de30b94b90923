#include "ReportConnection.h"

#include "ReportStatements.h"
#include "ReportTexts.h"
#include "app/DebugLog.h"
#include "db/CheckedStatement.h"
#include "db/Dialect.h"
#include "db/LockWait.h"
#include "db/ReportIndexes.h"

#include <charconv>

std::optional<std::vector<std::string>> reportAddressList(const ReportRequest& request)
{
    const ReportConnection connection(request);
    const ReportStatements statements(request.table, Dialect(request.databaseType));
    std::vector<std::string> addresses;
    const ReportErrorTexts texts{report_texts::MountRatesPreparing, report_texts::MountRatesExecuting,
                                 report_texts::MountRatesFetching};
    if (connection.selectColumn(statements.addresses(), addresses, texts) != ReportConnection::Result::Ok)
        return std::nullopt;
    return addresses;
}

std::optional<std::int32_t> batchedInteger(const std::string& text)
{
    if (text.empty())
        return 0;
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

ReportConnection::ReportConnection(const ReportRequest& request)
{
    // A report worker's connection failures go to the debug log only, never into a message box:
    // a box from a worker waits for the UI thread, which may be waiting for the worker.
    m_open =
        m_db.connectDB(request.dataSourceName, request.userName, request.password, m_handles, Diagnostics::LogOnly);
    if (m_open && !request.table.empty())
        keepStatisticsCurrent(m_handles.connection, m_handles.statement, request.table);
    m_embedded = m_open && isEmbeddedStore(m_handles.connection);
}

ReportConnection::~ReportConnection()
{
    if (!m_open)
        return;
    refreshStatistics(m_handles.connection, m_handles.statement);
    m_db.disconnectDB(m_handles);
}

void ReportConnection::logFailure(const char* step, const std::string& sql, bool showMessages) const
{
    WriteDebugLine(step);
    WriteDebugLine(sql);
    if (m_handles.statement != SQL_NULL_HSTMT)
        m_db.reportDiagnostics(SQL_HANDLE_STMT, m_handles.statement, shownWhen(showMessages));
}

ReportConnection::Result ReportConnection::run(CheckedStatement& statement, const std::string& sql,
                                               const ReportErrorTexts& texts, bool showMessages) const
{
    if (!statement.prepare(sql)) {
        logFailure(texts.preparing, sql, showMessages);
        return Result::PrepareFailed;
    }
    if (!statement.execute()) {
        logFailure(texts.executing, sql, showMessages);
        return Result::ExecuteFailed;
    }
    return Result::Ok;
}

ReportConnection::Result ReportConnection::selectTextRows(const std::string& sql, int columns,
                                                          std::vector<std::vector<ColumnText>>& rows,
                                                          const ReportErrorTexts& texts, bool showMessages,
                                                          std::size_t maxRows) const
{
    CheckedStatement statement(m_handles.statement);
    if (const Result ran = run(statement, sql, texts, showMessages); ran != Result::Ok)
        return ran;
    Fetched fetched = Fetched::Row;
    while (rows.size() < maxRows && (fetched = statement.fetch()) == Fetched::Row) {
        std::vector<ColumnText> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int column = 1; column <= columns; ++column)
            row.push_back(statement.wholeText(static_cast<SQLUSMALLINT>(column), ReportTextLimit));
        rows.push_back(std::move(row));
    }
    const bool failed = rows.size() < maxRows && fetched == Fetched::Failed;
    if (failed)
        logFailure(texts.fetching, sql, showMessages);
    return failed ? Result::FetchFailed : Result::Ok;
}

ReportConnection::Result ReportConnection::selectTexts(const std::string& sql, int columns,
                                                       std::vector<std::vector<std::string>>& rows,
                                                       const ReportErrorTexts& texts, bool showMessages,
                                                       std::size_t maxRows) const
{
    std::vector<std::vector<ColumnText>> read;
    const Result result = selectTextRows(sql, columns, read, texts, showMessages, maxRows);
    rows.reserve(rows.size() + read.size());
    for (auto& readRow : read) {
        std::vector<std::string> row;
        row.reserve(readRow.size());
        for (ColumnText& value : readRow)
            row.push_back(std::move(value.text));
        rows.push_back(std::move(row));
    }
    return result;
}

ReportConnection::Result ReportConnection::selectVolsers(const std::string& sql, const std::string& address,
                                                         std::vector<std::string>& volsers,
                                                         const ReportErrorTexts& texts) const
{
    std::vector<std::vector<ColumnText>> rows;
    const Result result = selectTextRows(sql, 1, rows, texts);
    for (auto& row : rows)
        if (reportableVolser(row.front(), address))
            volsers.push_back(std::move(row.front().text));
    return result;
}

bool reportableVolser(const ColumnText& volser, const std::string& address)
{
    const char* why = nullptr;
    if (volser.null)
        why = "NULL";
    else if (volser.text.find('\0') != std::string::npos)
        why = "a NUL byte";
    else if (volser.cut)
        why = "more than 65536 bytes";
    if (why == nullptr)
        return true;
    // Shown printable and short: the log line names the value without carrying it whole.
    std::string shown;
    for (const char c : volser.text.substr(0, 64))
        shown += (c >= 0x20 && c < 0x7f) ? c : '?';
    WriteDebugLine(std::string(report_texts::SkippedVolser) + address + ", '" + shown + "' (" + why + ")");
    return false;
}

ReportConnection::Result ReportConnection::selectColumn(const std::string& sql, std::vector<std::string>& values,
                                                        const ReportErrorTexts& texts, bool showMessages) const
{
    std::vector<std::vector<std::string>> rows;
    const Result result = selectTexts(sql, 1, rows, texts, showMessages);
    for (auto& row : rows)
        values.push_back(std::move(row.front()));
    return result;
}

ReportConnection::Result
ReportConnection::selectFirstRow(const std::string& sql, const ReportErrorTexts& texts,
                                 const std::function<bool(const CheckedStatement&)>& read) const
{
    CheckedStatement statement(m_handles.statement);
    if (const Result ran = run(statement, sql, texts, false); ran != Result::Ok)
        return ran;
    const Fetched fetched = statement.fetch();
    if (fetched != Fetched::End && (fetched == Fetched::Failed || !read(statement))) {
        logFailure(texts.fetching, sql, false);
        return Result::FetchFailed;
    }
    return Result::Ok;
}

ReportConnection::Result ReportConnection::selectInteger(const std::string& sql, std::int32_t& value,
                                                         const ReportErrorTexts& texts) const
{
    value = 0;
    return selectFirstRow(sql, texts, [&value](const CheckedStatement& statement) {
        const auto read = statement.driverInteger(1);
        if (read)
            value = *read;
        return read.has_value();
    });
}

ReportConnection::Result ReportConnection::selectStoredInteger(const std::string& sql, StoredInteger& value,
                                                               const ReportErrorTexts& texts) const
{
    value = {};
    return selectFirstRow(sql, texts, [&value](const CheckedStatement& statement) {
        value = statement.integer(1);
        return true;
    });
}
