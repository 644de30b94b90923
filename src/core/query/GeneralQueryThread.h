#pragma once

#include <sql.h>

#include <atomic>
#include <mutex>
#include <string>

class QueryResultSink;

// The flags through which the query window stops its worker. The worker polls them before
// every step, row and cell; a statement that is running when the window stops the run is
// cancelled at the database, so the worker never keeps a statement going that nobody waits for.
class GeneralQueryFlags {
public:
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> windowClosing{false};
    bool stopped() const { return cancelRequested.load() || windowClosing.load(); }

    // The window's side: stops the run and cancels its statement at the database. Returns at
    // once: it never waits for the worker.
    void cancel(bool closing = false);

    // The worker's side: the statement cancel() acts on, from its allocation to its release.
    void attachStatement(SQLHSTMT statement);
    void detachStatement();

private:
    // Keeps the statement handle valid while cancel() uses it.
    std::mutex m_statementMutex;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
};

// What one run needs, copied from the form and the settings on the UI thread before the worker
// starts, so that the worker never reads settings the UI thread may be changing.
struct GeneralQueryRequest {
    bool mountHistory = true;
    std::string whereClause;
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string table;
    int databaseType = 0;
    int dateFormatCode = 0;

    static GeneralQueryRequest fromSettings(bool mountHistory, const std::string& whereClause);
};

enum class GeneralQueryOutcome { Completed, Cancelled, Declined, Failed, Refused };

// Above this many rows the user is asked first.
inline constexpr long long LargeResultRows = 10000;
// Rows go to the sink in batches of this size, so the UI thread gets few, large deliveries.
inline constexpr std::size_t QueryRowBatch = 1000;

// "yyyy-mm-dd" in the user's date format: 1 month-day-year, 2 year-month-day, 3 day-month-year,
// always with "-"; other formats and other texts stay as they are.
std::string queryDateText(const std::string& storedDate, int dateFormatCode);

// The query worker: refuses a statement that is not one plain SELECT, counts, asks above
// LargeResultRows, reads the columns and the rows into the sink. Connects at its start (read
// only) and disconnects at its end; failures are logged and reported through the diagnostics,
// with the database's own message when no rule has a better one, and the form's buttons are
// restored unless the run was stopped. A stopped run shows nothing.
GeneralQueryOutcome GeneralQueryThread(const GeneralQueryRequest& request, QueryResultSink& sink,
                                       GeneralQueryFlags& flags);
