#pragma once

#include "HealthStatements.h"
#include "MovingAverageTrend.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where the reports read: the data source, its account, the mount history table and the dialect.
struct HealthDatabase {
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string table;
    int databaseType = 2;
    // The database of the application's settings at this moment.
    static HealthDatabase fromSettings();
};

// One run of the drive or cartridge health trend report: per library address, per drive or
// cartridge, per field the moving-average trend block. Lines go to `writeLine`, which adds one
// line end to each (a window, a mail body, standard output or a test buffer).
struct HealthReportRun {
    HealthReportKind kind = HealthReportKind::Drive;
    bool mailMode = false;
    std::string beginDate; // "%Y-%m-%d"
    std::string endDate;   // "%Y-%m-%d"
    // The begin date as the date range lines show it; empty for the begin date as "%m-%d-%Y".
    // (The agent shows its begin date the way it stored it.)
    std::string beginDateShown;
    std::vector<std::string> ipAddresses;
    std::string startedAt; // "%a %b %d %Y at %I:%M:%S %p"

    HealthDatabase database;

    const std::atomic<bool>* cancelled = nullptr; // polled before each subject, field and row
    const std::atomic<bool>* closing = nullptr;   // tested when the run starts and ends

    std::function<void(const std::string&)> writeLine;
    // Window mode: the section header line of each drive or cartridge, as written.
    std::function<void(const std::string&)> addContextLine;
};

enum class HealthReportOutcome {
    Done,            // ran to its end; "Done!" written
    Canceled,        // cancelled; "Canceled" written
    Closing,         // the window closed: nothing more written
    ConnectFailed,   // the header only
    DatabaseFailed,  // stopped on a statement error: no end line
};

HealthReportOutcome runHealthReport(const HealthReportRun& run);

// The end line of a finished run, and whether links are marked and the form returns to idle.
bool healthReportWroteEndLine(HealthReportOutcome outcome);

// The drill-down of one field of one drive or cartridge: its first 101 points in the range,
// oldest first. Nothing when the database cannot be reached or the statement fails.
struct DrillDownRequest {
    HealthReportKind kind = HealthReportKind::Drive;
    HealthSubject subject;
    std::string field; // the report's name
    std::string beginDate;
    std::string endDate;
    HealthDatabase database;
};
std::optional<DrillDownSeries> runDrillDown(const DrillDownRequest& request);
// The texts the drill-down graph shows above its plot.
std::string drillDownTitle(const DrillDownRequest& request);
std::string drillDownLibraryText(const DrillDownRequest& request);
