#include "ReportRunner.h"

#include "ReportTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/TimeFormat.h"

#include "db/ReportIndexes.h"
#include "ReportStatements.h"
#include "db/LockWait.h"

#include <cctype>
#include <chrono>
#include <charconv>
#include <cerrno>
#include <fstream>
#include <cstdio>
#include <ctime>

void writeReportText(const ReportRequest& request, const std::string& text)
{
    if (request.sink == nullptr || request.closing())
        return;
    request.sink->write(text);
}

void WriteReportLine(const ReportRequest& request, const std::string& text)
{
    writeReportText(request, text + "\r\n");
}

std::string formatReportText(const char* format, const std::vector<std::string>& values)
{
    std::string text;
    std::size_t next = 0;
    for (const char* at = format; *at != '\0'; ++at) {
        if (at[0] == '%' && (at[1] == 's' || at[1] == 'd') && next < values.size()) {
            text += values[next++];
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

std::string todaySqlDate()
{
    return formatLocalTime(report_texts::SqlDateFormat, std::time(nullptr));
}

std::optional<std::string> reportDay(const std::string& stored)
{
    if (stored.size() < 10 || stored[4] != '-' || stored[7] != '-')
        return std::nullopt;
    for (const std::size_t at : {0, 1, 2, 3, 5, 6, 8, 9})
        if (std::isdigit(static_cast<unsigned char>(stored[at])) == 0)
            return std::nullopt;
    const std::chrono::year_month_day day{std::chrono::year{std::stoi(stored.substr(0, 4))},
                                          std::chrono::month{static_cast<unsigned>(std::stoi(stored.substr(5, 2)))},
                                          std::chrono::day{static_cast<unsigned>(std::stoi(stored.substr(8, 2)))}};
    if (!day.ok())
        return std::nullopt;
    return stored.substr(0, 10);
}

std::string displayDate(const std::string& sqlDate)
{
    if (sqlDate.size() != 10 || sqlDate[4] != '-' || sqlDate[7] != '-')
        return sqlDate;
    return sqlDate.substr(5, 2) + "-" + sqlDate.substr(8, 2) + "-" + sqlDate.substr(0, 4);
}

std::optional<std::string> checkReportForm(int checkedAddresses, const std::string& beginDate,
                                           const std::string& endDate, const std::string& today)
{
    // The dates are all "YYYY-MM-DD", so their texts compare as the dates do.
    if (checkedAddresses <= 0)
        return report_texts::NoIpChecked;
    if (beginDate > endDate)
        return report_texts::InvalidDateRange;
    if (beginDate > today)
        return report_texts::BeginPastToday;
    if (endDate > today)
        return report_texts::EndPastToday;
    return std::nullopt;
}

std::vector<std::string> GetAgentIpList(const std::string& setting)
{
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start <= setting.size()) {
        std::size_t comma = setting.find(',', start);
        if (comma == std::string::npos)
            comma = setting.size();
        std::string piece = setting.substr(start, comma - start);
        const auto first = piece.find_first_not_of(" \t");
        if (first != std::string::npos)
            addresses.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        start = comma + 1;
    }
    return addresses;
}

ReportRequest ReportRequest::fromSettings(const std::string& beginDate, const std::string& endDate,
                                          std::vector<std::string> addresses)
{
    const CQmxApp& app = theApp();
    ReportRequest request;
    request.mode = ReportMode::Window;
    request.beginDate = beginDate;
    request.endDate = endDate;
    request.beginShown = displayDate(beginDate);
    request.endShown = displayDate(endDate);
    request.addresses = std::move(addresses);
    request.dataSourceName = app.settings.databaseName;
    request.userName = app.settings.userName;
    request.password = app.password;
    request.table = app.settings.mountHistoryTableName;
    request.databaseType = app.settings.DatabaseType;
    return request;
}

void writeReportHeader(const ReportRequest& request, const char* headerFormat)
{
    WriteReportLine(request, formatReportText(headerFormat, {formatLocalTime(StampFormat, std::time(nullptr))}));
    WriteReportLine(request, "");
}

void writeDateRange(const ReportRequest& request)
{
    WriteReportLine(request, formatReportText(report_texts::DateRange, {request.beginShown, request.endShown}));
    WriteReportLine(request, "");
}

std::string noEntriesText(const ReportRequest& request, const std::string& address)
{
    return formatReportText(report_texts::NoEntries, {address, request.beginShown, request.endShown});
}

void finishReport(const ReportRequest& request, const char* windowDone, const char* windowCanceled,
                  const char* mailDone, const char* mailName)
{
    if (!request.mail()) {
        const bool cancelled = request.cancelled();
        WriteReportLine(request, cancelled ? windowCanceled : windowDone);
        if (!cancelled && !request.closing() && request.sink != nullptr)
            request.sink->restoreButtons();
        return;
    }
    writeReportText(request, mailDone);
    if (!request.sendMail)
        return;
    auto* kept = dynamic_cast<TextReportSink*>(request.sink);
    const std::string body = kept != nullptr ? kept->text() : std::string();
    const bool sent = request.sendMail(formatReportText(report_texts::MailSubject, {mailName}), body);
    WriteDebugLine(formatReportText(sent ? report_texts::MailSucceeded : report_texts::MailFailed, {mailName}));
}

int saveReportDocument(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return errno != 0 ? errno : EIO;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return out ? 0 : (errno != 0 ? errno : EIO);
}

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

ReportConnection::Result ReportConnection::selectTextRows(const std::string& sql, int columns,
                                                          std::vector<std::vector<ColumnText>>& rows,
                                                          const ReportErrorTexts& texts, bool showMessages,
                                                          std::size_t maxRows) const
{
    const SQLHSTMT statement = m_handles.statement;
    if (statement == SQL_NULL_HSTMT || prepareStatement(statement, sql) != SQL_SUCCESS) {
        logFailure(texts.preparing, sql, showMessages);
        closeCursor(statement);
        return Result::PrepareFailed;
    }
    if (executeStatement(statement) != SQL_SUCCESS) {
        logFailure(texts.executing, sql, showMessages);
        closeCursor(statement);
        return Result::ExecuteFailed;
    }
    SQLRETURN fetched = SQL_SUCCESS;
    while (rows.size() < maxRows && fetchSucceeded(fetched = SQLFetch(statement))) {
        std::vector<ColumnText> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int column = 1; column <= columns; ++column)
            row.push_back(getWholeColumnText(statement, static_cast<SQLUSMALLINT>(column), ReportTextLimit));
        rows.push_back(std::move(row));
    }
    const bool failed = rows.size() < maxRows && fetched != SQL_NO_DATA;
    if (failed)
        logFailure(texts.fetching, sql, showMessages);
    closeCursor(statement);
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

ReportConnection::Result ReportConnection::selectFirstRow(const std::string& sql, const ReportErrorTexts& texts,
                                                          const std::function<bool(SQLHSTMT)>& read) const
{
    const SQLHSTMT statement = m_handles.statement;
    if (statement == SQL_NULL_HSTMT || prepareStatement(statement, sql) != SQL_SUCCESS) {
        logFailure(texts.preparing, sql, false);
        closeCursor(statement);
        return Result::PrepareFailed;
    }
    if (executeStatement(statement) != SQL_SUCCESS) {
        logFailure(texts.executing, sql, false);
        closeCursor(statement);
        return Result::ExecuteFailed;
    }
    const SQLRETURN fetched = SQLFetch(statement);
    if (fetched != SQL_NO_DATA && (!fetchSucceeded(fetched) || !read(statement))) {
        logFailure(texts.fetching, sql, false);
        closeCursor(statement);
        return Result::FetchFailed;
    }
    closeCursor(statement);
    return Result::Ok;
}

ReportConnection::Result ReportConnection::selectInteger(const std::string& sql, std::int32_t& value,
                                                         const ReportErrorTexts& texts) const
{
    value = 0;
    return selectFirstRow(sql, texts, [&value](SQLHSTMT statement) {
        SQLINTEGER read = 0;
        SQLLEN indicator = 0;
        if (!fetchSucceeded(SQLGetData(statement, 1, SQL_C_SLONG, &read, sizeof read, &indicator)))
            return false;
        if (indicator != SQL_NULL_DATA)
            value = read;
        return true;
    });
}

ReportConnection::Result ReportConnection::selectStoredInteger(const std::string& sql, StoredInteger& value,
                                                               const ReportErrorTexts& texts) const
{
    value = {};
    return selectFirstRow(sql, texts, [&value](SQLHSTMT statement) {
        value = getColumnInteger(statement, 1);
        return true;
    });
}

void TextReportSink::write(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_text += text;
}

void TextReportSink::restoreButtons()
{
    std::lock_guard lock(m_mutex);
    ++m_restores;
}

std::string TextReportSink::text() const
{
    std::lock_guard lock(m_mutex);
    return m_text;
}

int TextReportSink::buttonRestores() const
{
    std::lock_guard lock(m_mutex);
    return m_restores;
}

ReportWorker::~ReportWorker()
{
    close();
    join();
}

void ReportWorker::start(ReportRequest request, std::function<int(const ReportRequest&)> procedure)
{
    join();
    m_flags.cancelled = false;
    m_flags.closing = false;
    m_flags.stop = false;
    request.flags = &m_flags;
    m_running = true;
    m_thread = std::thread([this, request = std::move(request), procedure = std::move(procedure)] {
        m_result = procedure(request);
        m_running = false;
    });
}

void ReportWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
