#include "CartridgeStatistics.h"

#include "LifetimeThresholds.h"
#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "db/StoredInteger.h"

#include <algorithm>

namespace {
const ReportErrorTexts StatisticsErrors{report_texts::DriveStatisticsPreparing, report_texts::DriveStatisticsExecuting,
                                        report_texts::DriveStatisticsFetching};

// A maximum that came back as a text: the true one is the highest whole number of the rows,
// and every row whose value is not one is named in the debug log.
std::int64_t maximumOfNumbers(const ReportConnection& connection, const ReportStatements& statements,
                              const ReportRequest& request, const std::string& counter, const std::string& address,
                              const std::string& volser)
{
    std::vector<std::vector<std::string>> rows;
    connection.selectTexts(statements.lifetimeValues(counter, address, volser, request.beginDate, request.endDate), 3,
                           rows, StatisticsErrors);
    std::int64_t maximum = 0;
    for (const auto& row : rows) {
        const StoredInteger value = storedIntegerFromText(row[0]);
        if (value.isInteger())
            maximum = std::max(maximum, value.value);
        else if (value.kind == StoredInteger::Kind::NotANumber)
            WriteDebugLine(std::string(report_texts::SkippedValue) + address + " " + volser + " " + row[1] + " "
                           + row[2] + ", " + counter + ": '" + value.text + "'");
    }
    return maximum;
}

void finish(const ReportRequest& request)
{
    finishReport(request, report_texts::Done, report_texts::Canceled, report_texts::Done,
                 report_texts::CartridgeStatisticsMailName);
}
} // namespace

std::unordered_map<std::string, LifetimeMaxima> batchedLifetimeMaxima(const ReportRequest& request,
                                                                      const ReportConnection& connection,
                                                                      const ReportStatements& statements,
                                                                      const std::string& address)
{
    std::unordered_map<std::string, LifetimeMaxima> maxima;
    const std::size_t counters = ReportStatements::lifetimeCounters().size();
    std::vector<std::vector<std::string>> rows;
    if (connection.selectTexts(statements.lifetimeMaxima(address, request.beginDate, request.endDate),
                               static_cast<int>(counters) + 1, rows, StatisticsErrors)
        != ReportConnection::Result::Ok)
        return maxima;
    for (const auto& row : rows) {
        LifetimeMaxima& cartridge = maxima[row[0]];
        for (std::size_t counter = 0; counter < counters; ++counter) {
            // The highest value of all rows is the highest positive one, when it is positive;
            // otherwise no row had a positive value, and the maximum reads 0.
            // A value that is not a whole number is left to the per-cartridge query, which names it.
            const StoredInteger value = storedIntegerFromText(row[counter + 1]);
            if (value.kind == StoredInteger::Kind::Null)
                cartridge[counter] = 0;
            else if (value.isInteger())
                cartridge[counter] = value.value > 0 ? value.value : 0;
        }
    }
    return maxima;
}

std::string CartridgeLifetimeMaxima(const ReportRequest& request, const ReportConnection& connection,
                                    const ReportStatements& statements, const std::string& address,
                                    const std::string& volser, const ReportRequest* view, const LifetimeMaxima* batched)
{
    std::string result;
    auto put = [&](const std::string& line) {
        if (view != nullptr)
            WriteReportLine(*view, line);
        else
            result += line + "\r\n";
    };
    put(formatReportText(report_texts::CartridgeHeader, {address, volser}));
    const LifetimeThresholds thresholds = theApp().lifetimeThresholds();
    const auto& counters = ReportStatements::lifetimeCounters();
    for (std::size_t at = 0; at < counters.size(); ++at) {
        const std::string& counter = counters[at];
        std::int64_t maximum = 0;
        if (batched != nullptr && at < batched->size() && (*batched)[at].has_value()) {
            maximum = *(*batched)[at];
        } else {
            StoredInteger stored;
            connection.selectStoredInteger(
                statements.lifetimeMaximum(counter, address, volser, request.beginDate, request.endDate), stored,
                StatisticsErrors);
            if (stored.isInteger())
                maximum = stored.value;
            else if (stored.kind == StoredInteger::Kind::NotANumber)
                maximum = maximumOfNumbers(connection, statements, request, counter, address, volser);
        }
        std::string line = formatReportText(report_texts::MaximumLine, {counter, std::to_string(maximum)});
        if (thresholds.filtersEnabled) {
            const int level = ClassifyLifetimeValue(thresholds, counter, maximum);
            if (level == 1)
                line += report_texts::WarningMark;
            else if (level == 2)
                line += report_texts::ErrorMark;
        }
        put(line);
    }
    if (view != nullptr)
        WriteReportLine(*view, "");
    return result;
}

int ReportCtgStatThread(const ReportRequest& request)
{
    writeReportHeader(request, report_texts::CartridgeStatisticsHeader);
    if (request.stopped()) {
        finish(request);
        return 1;
    }
    ReportConnection connection(request);
    if (connection.isOpen())
        writeDateRange(request);
    const ReportStatements statements(request.table, Dialect(request.databaseType));
    const ReportRequest* view = request.mail() ? nullptr : &request;
    for (const std::string& address : request.addresses) {
        if (request.stopped())
            break;
        std::vector<std::string> volsers;
        if (connection.selectVolsers(statements.volsers(address, request.beginDate, request.endDate), address, volsers,
                                     StatisticsErrors)
            != ReportConnection::Result::Ok) {
            if (!request.mail() && !request.stopped() && request.sink != nullptr)
                request.sink->restoreButtons();
            return 0;
        }
        if (volsers.empty()) {
            WriteReportLine(request, noEntriesText(request, address));
            WriteReportLine(request, "");
        }
        // One statement for all cartridges of the address; the per-cartridge queries remain for
        // what it could not give (and for comparison, with referenceCounts).
        std::unordered_map<std::string, LifetimeMaxima> batch;
        if (!request.referenceCounts && !volsers.empty() && !request.stopped())
            batch = batchedLifetimeMaxima(request, connection, statements, address);
        for (const std::string& volser : volsers) {
            if (request.stopped())
                break;
            const auto found = batch.find(volser);
            const std::string block = CartridgeLifetimeMaxima(request, connection, statements, address, volser, view,
                                                              found != batch.end() ? &found->second : nullptr);
            if (request.mail())
                writeReportText(request, block + "\r\n");
        }
    }
    finish(request);
    return 1;
}
