#pragma once

#include "ReportRequest.h"
#include "library/Download.h"

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <string>
#include <vector>

class ReportConnection;
class ReportStatements;

// The deviation of the mount rate lines: the mean of the counts (the printed average), and a
// population deviation around the mean truncated to an integer, with the variance truncated too.
struct MountStatistic {
    double mean = 0;
    double deviation = 0;
};
// Counts must not be empty. singlePrecision holds the mean as a float (hour and total lines).
MountStatistic TruncatedDeviation(const std::vector<std::uint32_t>& counts, bool singlePrecision);

// "A", "B", "C" (either case) give 10, 11, 12; anything else its leading decimal digits, or 0.
int WwnnDigitValue(const std::string& digit);

// A drive of the drive statistics file: its WWNN, frame (second-to-last WWNN digit + 1) and drive
// (last digit).
struct StatisticsDrive {
    std::string wwnn;
    int frame = 0;
    int drive = 0;
};
std::vector<StatisticsDrive> statisticsDrives(const std::string& driveStatisticsText);

// The library's drive statistics file as text (NUL bytes and "_" read as blanks). On a failure,
// with writeToView the two failure lines go to the report and the result is empty; without it
// the result is the failure text itself.
std::string GetDriveStatisticsFile(const ReportRequest* view, const std::string& address, bool writeToView,
                                   const DownloadLimits& limits = {});

// One address's counts for every date of the range, read with one statement per statistic,
// by key ("frame drive", volser, or hour bin) and date. A statistic whose statement failed
// has none, and its counts are taken one date at a time instead.
struct BatchedCounts {
    using Counts = std::unordered_map<std::string, std::uint32_t>;
    std::optional<Counts> drives;
    std::optional<Counts> volsers;
    std::array<std::optional<Counts>, 24> hours;

    static std::string key(const std::string& what, const std::string& date) { return what + '\x1f' + date; }
};

// What the per-statistic functions share: the run, its connection and its statements, and the
// address's batched counts (null: one count query per date).
struct MountRateContext {
    const ReportRequest& request;
    const ReportConnection& connection;
    const ReportStatements& statements;
    const BatchedCounts* batch = nullptr;
};

// Each runs its count once per listed date, then writes its line into the view (window mode)
// and returns "", or returns the line (view is null). No line when no count was collected.
std::string DriveMountRate(const MountRateContext& context, const std::string& wwnn, const std::string& address,
                           int frame, int drive, const std::vector<std::string>& dates,
                           std::vector<std::uint32_t>& counts, const ReportRequest* view);
std::string VolserMountRate(const MountRateContext& context, const std::string& address, const std::string& volser,
                            const std::vector<std::string>& dates, std::vector<std::uint32_t>& counts,
                            const ReportRequest* view);
std::string HourMountRate(const MountRateContext& context, const std::string& address, const std::string& start,
                          const std::string& end, const std::vector<std::string>& dates, const ReportRequest* view);

// The mount rates report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportLibThread(const ReportRequest& request);
