#include "ReportCommand.h"

#include "CommandOptions.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "fleet/FleetReader.h"
#include "fleet/FleetReport.h"
#include "db/FieldText.h"
#include "query/QueryExport.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"
#include "reports/CartridgeStatistics.h"
#include "reports/EncryptionStatus.h"
#include "reports/HealthReport.h"
#include "reports/LifetimeThresholds.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"
#include "reports/RetriesPermsReport.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {
// The report's text on standard output, with "\n" line ends.
class StandardOutputReportSink final : public ReportSink {
public:
    void write(const std::string& text) override
    {
        std::string out;
        out.reserve(text.size());
        for (char c : text)
            if (c != '\r')
                out += c;
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    }
};

// YYYY-MM-DD of a day the calendar has: 2026-02-30 never reaches a statement.
bool isDate(const std::string& text)
{
    return validatedDate(text) == text;
}

int usage(const std::string& why)
{
    std::cerr << "vaultlinectl report: " << why << "\nusage: vaultlinectl" << ReportCommandUsage + 1;
    return 2;
}

int printRetriesPerms(const ReportRequest& request)
{
    QueryListData list;
    QueryListSink sink(list);
    const int result = ReportThresholdThread(request, sink);
    std::string csv;
    for (int column = 0; column < list.columnCount(); ++column)
        csv += (column == 0 ? "" : ",") + csvField(list.column(column).title);
    csv += "\n";
    for (int row = 0; row < list.rowCount(); ++row) {
        for (int column = 0; column < list.columnCount(); ++column)
            csv += (column == 0 ? "" : ",") + csvField(list.cell(row, column));
        csv += "\n";
    }
    if (result == 1)
        std::fwrite(csv.data(), 1, csv.size(), stdout);
    return result;
}

int printSuspects(const ReportRequest& request, const FleetOptions& options)
{
    FleetResult result;
    if (computeFleetHealth(request, request.addresses.front(), options, result) != FleetReader::Outcome::Done)
        return 0;
    const std::string csv = fleetSuspectsCsv(result);
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return 1;
}

bool retriesOption(const std::optional<std::string>& text, int& retries)
{
    if (!text)
        return true;
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || value < 0 || value > 1000000000)
        return false;
    retries = static_cast<int>(value);
    return true;
}
} // namespace

int reportCommand(const std::vector<std::string>& args)
{
    CommandOptions options(
        {{"library", OptionKind::Repeated}, {"from"}, {"to"}, {"threshold", OptionKind::Repeated}, {"retries"}});
    const std::vector<std::string> words(args.begin() + 1, args.end());
    if (!options.parse(words))
        return usage(options.error());
    if (options.positionals().size() != 1)
        return usage("name one report");
    const std::string kind = options.positionals().front();
    const std::vector<std::string>& libraries = options.values("library");
    const auto from = options.value("from");
    const auto to = options.value("to");
    if (libraries.empty())
        return usage("give at least one --library");
    if (!from || !to)
        return usage(!from ? "--from is missing" : "--to is missing");
    if (!isDate(*from) || !isDate(*to))
        return usage("--from and --to take dates as YYYY-MM-DD");
    if (*from > *to)
        return usage("--from is after --to");
    LifetimeThresholds thresholds;
    for (const std::string& threshold : options.values("threshold")) {
        if (!parseThresholdOption(threshold, thresholds))
            return usage("--threshold takes NAME=YELLOW:RED with a lifetime counter's name, not " + threshold);
        thresholds.filtersEnabled = true;
    }
    FleetOptions fleet;
    if (!retriesOption(options.value("retries"), fleet.retryThreshold))
        return usage("--retries takes a whole number of retries, 0 or more");
    fleet.thresholds = thresholds;
    const bool fleetReport = kind == "suspects" || kind == "overview";
    if (options.value("retries") && !fleetReport)
        return usage("--retries belongs to the suspects and overview reports");
    if (kind == "suspects" && libraries.size() != 1)
        return usage("report suspects takes one --library");
    int (*procedure)(const ReportRequest&) = nullptr;
    if (kind == "mount-rates")
        procedure = ReportLibThread;
    else if (kind == "cartridge-statistics")
        procedure = ReportCtgStatThread;
    else if (kind == "encryption-status")
        procedure = ReportEncThread;
    else if (kind == "drive-health")
        procedure = ReportDrvThread;
    else if (kind == "cartridge-health")
        procedure = ReportCtgThread;
    else if (kind != "retries-perms" && !fleetReport)
        return usage("unknown report " + kind);

    if (!readCommandSettings())
        return 1;
    theApp().setLifetimeThresholds(thresholds);

    StandardOutputReportSink sink;
    ReportRequest request = ReportRequest::fromSettings(*from, *to, libraries);
    request.sink = &sink;
    int result = 0;
    if (kind == "suspects")
        result = printSuspects(request, fleet);
    else if (kind == "overview")
        result = ReportFleetThread(request, fleet);
    else
        result = procedure != nullptr ? procedure(request) : printRetriesPerms(request);
    if (result != 1) {
        std::cerr << "vaultlinectl report: the report stopped on a database error: see lvr_debug.txt\n";
        return 1;
    }
    return 0;
}
