#include "ReportCommand.h"

#include "CommandOptions.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "db/FieldText.h"
#include "query/QueryExport.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"
#include "reports/LifetimeThresholds.h"
#include "reports/ReportKinds.h"
#include "reports/ReportRunner.h"

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

// A list report as CSV, its column titles first, written once the list is complete.
int printList(const ReportKindInfo& report, const ReportRequest& request, ReportOutput output)
{
    QueryListData list;
    QueryListSink sink(list);
    output.list = &sink;
    const int result = report.worker(request, output);
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

bool retriesOption(const std::optional<std::string>& text, std::optional<int>& retries)
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
    ReportOutput output;
    if (!retriesOption(options.value("retries"), output.retries))
        return usage("--retries takes a whole number of retries, 0 or more");
    const ReportKindInfo* report = reportByCommandName(kind);
    if (options.value("retries") && (report == nullptr || !report->takesRetries))
        return usage("--retries belongs to the suspects and overview reports");
    if (report != nullptr && report->oneLibrary && libraries.size() != 1)
        return usage("report " + kind + " takes one --library");
    if (report == nullptr)
        return usage("unknown report " + kind);

    if (!readCommandSettings())
        return 1;
    theApp().setLifetimeThresholds(thresholds);

    StandardOutputReportSink sink;
    ReportRequest request = ReportRequest::fromSettings(*from, *to, libraries);
    request.sink = &sink;
    const int result =
        report->shape == ReportShape::List ? printList(*report, request, output) : report->worker(request, output);
    if (result != 1) {
        std::cerr << "vaultlinectl report: the report stopped on a database error: see lvr_debug.txt\n";
        return 1;
    }
    return 0;
}
