#include "RetriesPermsReport.h"

#include "CounterGrowth.h"
#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"
#include "app/AppSettings.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "db/StoredInteger.h"
#include "query/QueryResultSink.h"

#include <algorithm>

namespace {
const ReportErrorTexts ThresholdErrors{report_texts::ThresholdPreparing, report_texts::ThresholdExecuting,
                                       report_texts::ThresholdExecuting};

constexpr std::size_t MountsPerCartridge = 1000;

const char* const CounterColumns[4] = {"LIFE_WRITE_RETRIES", "LIFE_WRITE_PERMS", "LIFE_READ_RETRIES",
                                       "LIFE_READ_PERMS"};

// A stored value that is no whole number is left out of the growth and named once.
void logSkippedValue(const std::string& address, const std::string& volser, const std::string& date,
                     const std::string& time, const char* column, const std::string& value)
{
    WriteDebugLine(std::string(report_texts::SkippedValue) + address + " " + volser + " " + date + " " + time + ", "
                   + column + ": '" + value + "'");
}

std::string monthDayYear(const std::string& date)
{
    if (date.size() < 10)
        return date;
    return date.substr(date.size() - 5) + "-" + date.substr(0, 4);
}
} // namespace

std::vector<RetriesPermsRow> cartridgeGrowthRows(const std::string& address, const std::string& volser,
                                                 const std::vector<CartridgeMount>& newestFirst,
                                                 const LifetimeThresholds& thresholds)
{
    const char* const* counters = CounterColumns;
    // Growth is followed oldest first, the rows are listed newest first.
    std::array<CounterGrowth, 4> growth;
    std::vector<RetriesPermsRow> rows;
    for (std::size_t at = newestFirst.size(); at-- > 0;) {
        const CartridgeMount& mount = newestFirst[at];
        RetriesPermsRow row;
        bool grew = false;
        for (std::size_t counter = 0; counter < 4; ++counter) {
            const std::optional<std::int64_t> change = growth[counter].next(mount.counters[counter]);
            row.growth[counter] = change.value_or(0);
            grew = grew || row.growth[counter] != 0;
        }
        if (!grew)
            continue;
        row.address = address;
        row.volser = volser;
        row.date = monthDayYear(mount.date);
        row.time = mount.time;
        row.frame = mount.frame;
        row.drive = mount.drive;
        for (std::size_t counter = 0; counter < 4 && thresholds.filtersEnabled; ++counter) {
            const int level = ClassifyLifetimeValue(thresholds, counters[counter], row.growth[counter]);
            row.warning = row.warning || level == 1;
            row.error = row.error || level == 2;
        }
        rows.push_back(std::move(row));
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

const std::vector<std::string>& retriesPermsColumns()
{
    static const std::vector<std::string> columns = {"ROW",
                                                     "IPADDRESS",
                                                     "DATE",
                                                     "TIME",
                                                     "VOLSER",
                                                     "FRAME",
                                                     "DRIVE",
                                                     "LIFE_WRITE_RETRIES",
                                                     "LIFE_WRITE_PERMS",
                                                     "LIFE_READ_RETRIES",
                                                     "LIFE_READ_PERMS"};
    return columns;
}

bool retriesPermsColumnNumeric(int column)
{
    // LIFE_READ_PERMS sorts as a number like the other three counters.
    return column == 0 || column >= 5;
}

std::vector<std::string> retriesPermsCells(int number, const RetriesPermsRow& row)
{
    std::vector<std::string> cells = {
        std::to_string(number),   row.address, row.date, row.time, row.volser, std::to_string(row.frame),
        std::to_string(row.drive)};
    for (const std::int64_t growth : row.growth)
        cells.push_back(std::to_string(growth));
    return cells;
}

int ReportThresholdThread(const ReportRequest& request, QueryResultSink& list, const RetriesPermsMarks& marks)
{
    list.beginUpdate();
    const auto& columns = retriesPermsColumns();
    for (std::size_t column = 0; column < columns.size(); ++column) {
        list.addColumn(columns[column]);
        if (retriesPermsColumnNumeric(static_cast<int>(column)))
            list.addNumericColumn(static_cast<int>(column));
    }
    list.endUpdate();
    if (request.stopped())
        return 1;
    list.sizeColumns();

    ReportConnection connection(request);
    const ReportStatements statements(request.table, Dialect(request.databaseType));
    auto failed = [&] {
        if (!request.stopped())
            list.restoreButtons();
        return 0;
    };
    std::vector<RetriesPermsRow> rows;
    for (const std::string& address : request.addresses) {
        if (request.stopped())
            break;
        std::vector<std::string> volsers;
        if (connection.selectVolsers(statements.volsers(address, request.beginDate, request.endDate), address, volsers,
                                     ThresholdErrors)
            != ReportConnection::Result::Ok)
            return failed();
        for (const std::string& volser : volsers) {
            if (request.stopped())
                break;
            std::vector<std::vector<std::string>> read;
            const auto result =
                connection.selectTexts(statements.cartridgeMounts(address, volser, request.beginDate, request.endDate),
                                       10, read, ThresholdErrors, false, MountsPerCartridge);
            if (result == ReportConnection::Result::PrepareFailed || result == ReportConnection::Result::ExecuteFailed)
                return failed();
            std::vector<CartridgeMount> mounts;
            mounts.reserve(read.size());
            for (const auto& cells : read) {
                CartridgeMount mount;
                for (std::size_t counter = 0; counter < 4; ++counter) {
                    const StoredInteger stored = storedIntegerFromText(cells[counter]);
                    if (stored.isInteger())
                        mount.counters[counter] = stored.value;
                    else if (stored.kind == StoredInteger::Kind::NotANumber)
                        logSkippedValue(address, volser, cells[4], cells[5], CounterColumns[counter], stored.text);
                }
                mount.date = cells[4];
                mount.time = cells[5];
                mount.frame = decimalValue(cells[6]);
                mount.drive = decimalValue(cells[7]);
                mounts.push_back(std::move(mount));
            }
            auto grown = cartridgeGrowthRows(address, volser, mounts, theApp().lifetimeThresholds());
            rows.insert(rows.end(), std::make_move_iterator(grown.begin()), std::make_move_iterator(grown.end()));
        }
    }
    if (request.stopped())
        return 1;

    list.beginUpdate();
    std::vector<std::vector<std::string>> cells;
    std::vector<int> rowMarks;
    cells.reserve(rows.size());
    for (std::size_t at = 0; at < rows.size(); ++at) {
        cells.push_back(retriesPermsCells(static_cast<int>(at) + 1, rows[at]));
        rowMarks.push_back((rows[at].warning ? 1 : 0) | (rows[at].error ? 2 : 0));
    }
    list.addRows(std::move(cells));
    list.endUpdate();
    if (marks)
        marks(std::move(rowMarks));
    list.sizeColumns();
    if (!request.stopped())
        list.restoreButtons();
    return 1;
}
