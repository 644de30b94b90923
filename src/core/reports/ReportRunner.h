#pragma once

#include "db/StoredInteger.h"

#include "ReportRequest.h"
#include "db/OdbcHandles.h"
#include "db/qmxDB.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The window writer: the text and one "\r\n". Nothing once the window is closing.
void WriteReportLine(const ReportRequest& request, const std::string& text);
// Text as it stands, line ends included (mail-mode pieces, end lines).
void writeReportText(const ReportRequest& request, const std::string& text);

// Fills the "%s" and "%d" slots of a fixed text in order, as printf would.
std::string formatReportText(const char* format, const std::vector<std::string>& values);

// Today as "YYYY-MM-DD" in local time.
std::string todaySqlDate();
// The day a stored date counts as: its first ten characters when they are a date "YYYY-MM-DD"
// ('2009-04-27', '2009-04-27T10:00:00' and '2009-04-27 10:00:00' are all 2009-04-27); nothing
// for a text that does not begin with one.
std::optional<std::string> reportDay(const std::string& stored);
// "YYYY-MM-DD" as "MM-DD-YYYY"; other texts stay as they are.
std::string displayDate(const std::string& sqlDate);

// Generate Report's checks on the form: the message to show, or nothing when the report may start.
// Dates are "YYYY-MM-DD".
std::optional<std::string> checkReportForm(int checkedAddresses, const std::string& beginDate,
                                           const std::string& endDate, const std::string& today);

// The agent's address setting cut at commas, blanks around each address removed; empty pieces
// are skipped and a last address without a trailing comma counts too.
std::vector<std::string> GetAgentIpList(const std::string& setting);

// The header with the time of the run, and the blank line after it.
void writeReportHeader(const ReportRequest& request, const char* headerFormat);
// "The date range is between ..." and a blank line.
void writeDateRange(const ReportRequest& request);
// "No entries found for IP address ..." (without the blank line after it).
std::string noEntriesText(const ReportRequest& request, const std::string& address);

// The end of a run that was not stopped by a database error: the end line in a window (and the
// buttons back to idle unless cancelled or closing); in mail mode the end text, the send and
// its line in the debug log.
void finishReport(const ReportRequest& request, const char* windowDone, const char* windowCanceled,
                  const char* mailDone, const char* mailName);

// Saves a report document: exactly the text shown, line ends as written. 0, or the system's
// error number.
int saveReportDocument(const std::string& path, const std::string& text);

// The libraries of the date form: the distinct addresses of the mount history table, ascending;
// nothing when the query fails (logged).
std::optional<std::vector<std::string>> reportAddressList(const ReportRequest& request);

// The longest text a report reads back from a statement, in bytes: a longer one is cut there.
// Volsers and other names are read to their full length below it, never cut short.
inline constexpr std::size_t ReportTextLimit = std::size_t{64} * 1024;

// A column that a batch read as text (NULL as ""), as a 32-bit integer the way a report's own
// query reads it: NULL is 0; a text that is not exactly a 32-bit integer has none, and the value
// is left to that query.
std::optional<std::int32_t> batchedInteger(const std::string& text);

// Whether a stored volser is one a report can name and look up again by its text: not NULL,
// no NUL byte in it (a statement's literal would end there) and not cut at ReportTextLimit.
// Otherwise the debug log names it, with the address, and the report leaves it out.
bool reportableVolser(const ColumnText& volser, const std::string& address);

// The step texts that a report's failed statements log.
struct ReportErrorTexts {
    const char* preparing;
    const char* executing;
    const char* fetching;
};

// One report run's connection: connected when made, disconnected on every way out.
class ReportConnection {
public:
    explicit ReportConnection(const ReportRequest& request);
    ~ReportConnection();
    ReportConnection(const ReportConnection&) = delete;
    ReportConnection& operator=(const ReportConnection&) = delete;

    bool isOpen() const { return m_open; }
    // The database is the embedded store (SQLite), in this process: a statement costs no round
    // trip there, and its window functions number every row before any is kept.
    bool embeddedStore() const { return m_embedded; }
    SQLHSTMT statement() const { return m_handles.statement; }

    enum class Result { Ok, PrepareFailed, ExecuteFailed, FetchFailed };
    // Rows of text columns (each at most 32 bytes, NULL as ""), at most maxRows of them.
    // Failures are logged with the step's text and the SQL; the cursor is closed on every path.
    // Workers keep showMessages off: a worker never waits for a message box on the UI thread.
    Result selectTexts(const std::string& sql, int columns, std::vector<std::vector<std::string>>& rows,
                       const ReportErrorTexts& texts, bool showMessages = false, std::size_t maxRows = SIZE_MAX) const;
    // The same with NULL told apart from an empty text, and a value longer than the limit marked.
    Result selectTextRows(const std::string& sql, int columns, std::vector<std::vector<ColumnText>>& rows,
                          const ReportErrorTexts& texts, bool showMessages = false,
                          std::size_t maxRows = SIZE_MAX) const;
    // The volsers of column 1 that a report can name and look up again (reportableVolser); the
    // others are named in the debug log with the address and left out.
    Result selectVolsers(const std::string& sql, const std::string& address, std::vector<std::string>& volsers,
                         const ReportErrorTexts& texts) const;
    // One column of text per row.
    Result selectColumn(const std::string& sql, std::vector<std::string>& values, const ReportErrorTexts& texts,
                        bool showMessages = false) const;
    // Column 1 of the first row as a 32-bit integer; NULL and no row give 0.
    Result selectInteger(const std::string& sql, std::int32_t& value, const ReportErrorTexts& texts) const;
    // Column 1 of the first row in 64 bits with its kind (no row reads as NULL).
    Result selectStoredInteger(const std::string& sql, StoredInteger& value, const ReportErrorTexts& texts) const;

private:
    void logFailure(const char* step, const std::string& sql, bool showMessages) const;
    // Prepares and runs the statement and hands its first row, if any, to read; a failed step or
    // a read that says false is logged with its text, and the cursor is closed on every path.
    Result selectFirstRow(const std::string& sql, const ReportErrorTexts& texts,
                          const std::function<bool(SQLHSTMT)>& read) const;

    qmxDB m_db;
    mutable OdbcHandles m_handles;
    bool m_open = false;
    bool m_embedded = false;
};

// Keeps what a run wrote: for tests, and the mail body before it is sent.
class TextReportSink : public ReportSink {
public:
    void write(const std::string& text) override;
    void restoreButtons() override;
    std::string text() const;
    int buttonRestores() const;

private:
    mutable std::mutex m_mutex;
    std::string m_text;
    int m_restores = 0;
};

// A report worker's thread and the flags that stop it. The owner's destruction closes and joins.
class ReportWorker {
public:
    ReportWorker() = default;
    ~ReportWorker();
    ReportWorker(const ReportWorker&) = delete;
    ReportWorker& operator=(const ReportWorker&) = delete;

    // Runs procedure(request) on a thread of its own, with this worker's flags in the request.
    // A previous run is joined first.
    void start(ReportRequest request, std::function<int(const ReportRequest&)> procedure);
    void cancel() { m_flags.cancel(); }
    // Closing: nothing more is written; the worker leaves at its next poll.
    void close() { m_flags.close(); }
    bool running() const { return m_running.load(); }
    // 1 when the last run ran to its end, 0 when a database error stopped it.
    int result() const { return m_result.load(); }
    void join();
    const ReportFlags& flags() const { return m_flags; }

private:
    ReportFlags m_flags;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<int> m_result{0};
};
