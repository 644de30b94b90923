#pragma once

#include <atomic>
#include <string>

class QueryResultSink;

// The flags through which the query window stops its worker. The worker polls them before
// every step, row and cell.
struct GeneralQueryFlags {
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> windowClosing{false};
    bool stopped() const { return cancelRequested.load() || windowClosing.load(); }
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

enum class GeneralQueryOutcome { Completed, Cancelled, Declined, Failed };

// Above this many rows the user is asked first.
inline constexpr long long LargeResultRows = 10000;
// Rows go to the sink in batches of this size, so the UI thread gets few, large deliveries.
inline constexpr std::size_t QueryRowBatch = 1000;

// "yyyy-mm-dd" in the user's date format: 1 month-day-year, 2 year-month-day, 3 day-month-year,
// always with "-"; other formats and other texts stay as they are.
std::string queryDateText(const std::string& storedDate, int dateFormatCode);

// The query worker: counts, asks above LargeResultRows, reads the columns and the rows into the
// sink. Connects at its start and disconnects at its end; failures are logged and reported
// through the diagnostics, and the form's buttons are restored unless the run was stopped.
GeneralQueryOutcome GeneralQueryThread(const GeneralQueryRequest& request, QueryResultSink& sink,
                                       const GeneralQueryFlags& flags);
