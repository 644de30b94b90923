#pragma once

#include "ReportRequest.h"
#include "db/OdbcHandles.h"
#include "db/StoredInteger.h"
#include "db/qmxDB.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CheckedStatement;

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
    // Prepares and runs the statement; a failed step is logged with its text and the SQL.
    Result run(CheckedStatement& statement, const std::string& sql, const ReportErrorTexts& texts,
               bool showMessages) const;
    // Prepares and runs the statement and hands its first row, if any, to read; a failed step or
    // a read that says false is logged with its text, and the cursor is closed on every path.
    Result selectFirstRow(const std::string& sql, const ReportErrorTexts& texts,
                          const std::function<bool(const CheckedStatement&)>& read) const;

    qmxDB m_db;
    mutable OdbcHandles m_handles;
    bool m_open = false;
    bool m_embedded = false;
};
