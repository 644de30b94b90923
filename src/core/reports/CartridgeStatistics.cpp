#include "CartridgeStatistics.h"

#include "LifetimeThresholds.h"
#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"
#include "app/CQmxApp.h"

namespace {
const ReportErrorTexts StatisticsErrors{report_texts::DriveStatisticsPreparing,
                                        report_texts::DriveStatisticsExecuting,
                                        report_texts::DriveStatisticsFetching};

void finish(const ReportRequest& request)
{
    finishReport(request, report_texts::Done, report_texts::Canceled, report_texts::Done,
                 report_texts::CartridgeStatisticsMailName);
}
} // namespace

std::string CartridgeLifetimeMaxima(const ReportRequest& request, const ReportConnection& connection,
                                    const ReportStatements& statements, const std::string& address,
                                    const std::string& volser, const ReportRequest* view)
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
    for (const std::string& counter : ReportStatements::lifetimeCounters()) {
        std::int32_t maximum = 0;
        connection.selectInteger(
            statements.lifetimeMaximum(counter, address, volser, request.beginDate, request.endDate), maximum,
            StatisticsErrors);
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
        if (connection.selectColumn(statements.volsers(address, request.beginDate, request.endDate), volsers,
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
        for (const std::string& volser : volsers) {
            if (request.stopped())
                break;
            const std::string block = CartridgeLifetimeMaxima(request, connection, statements, address, volser, view);
            if (request.mail())
                writeReportText(request, block + "\r\n");
        }
    }
    finish(request);
    return 1;
}
