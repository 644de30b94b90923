#include "EncryptionStatus.h"

#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"

namespace {
const ReportErrorTexts EncryptionErrors{report_texts::EncryptionPreparing, report_texts::EncryptionExecuting,
                                        report_texts::EncryptionFetching};

void finish(const ReportRequest& request)
{
    finishReport(request, report_texts::EncryptionDone, report_texts::EncryptionCanceled,
                 report_texts::EncryptionDone, report_texts::EncryptionStatusMailName);
}

std::string firstText(const ReportConnection& connection, const std::string& sql)
{
    std::vector<std::string> values;
    connection.selectColumn(sql, values, EncryptionErrors);
    return values.empty() ? std::string() : values.front();
}
} // namespace

std::string CartridgeEncryptionStatus(const ReportRequest& request, const ReportConnection& connection,
                                      const ReportStatements& statements, const std::string& address,
                                      const std::string& volser, const ReportRequest* view)
{
    const std::string lastDate =
        firstText(connection, statements.lastDate(address, volser, request.beginDate, request.endDate));
    const std::string lastTime = firstText(connection, statements.lastTime(address, volser, lastDate));
    std::int32_t status = 0;
    connection.selectInteger(statements.cryptoStatus(address, volser, lastDate, lastTime), status, EncryptionErrors);
    std::int32_t rekeys = 0;
    connection.selectInteger(statements.rekeyCount(address, volser, request.beginDate, request.endDate), rekeys,
                             EncryptionErrors);
    std::string line =
        formatReportText(status != 0 ? report_texts::EncryptedLine : report_texts::NotEncryptedLine,
                         {volser, lastDate, lastTime, std::to_string(rekeys)});
    if (view == nullptr)
        return line;
    WriteReportLine(*view, line);
    return "";
}

int ReportEncThread(const ReportRequest& request)
{
    writeReportHeader(request, report_texts::EncryptionStatusHeader);
    if (request.stopped()) {
        finish(request);
        return 1;
    }
    ReportConnection connection(request);
    if (connection.isOpen())
        writeDateRange(request);
    const ReportStatements statements(request.table, Dialect(request.databaseType));

    std::vector<std::vector<std::string>> pairs;
    for (const std::string& address : request.addresses) {
        const std::size_t before = pairs.size();
        if (connection.selectTexts(statements.addressVolserPairs(address, request.beginDate, request.endDate), 2,
                                   pairs, EncryptionErrors)
            != ReportConnection::Result::Ok) {
            // The form must not stay in its running state after a database error.
            if (!request.mail() && !request.stopped() && request.sink != nullptr)
                request.sink->restoreButtons();
            return 0;
        }
        if (pairs.size() == before) {
            WriteReportLine(request, noEntriesText(request, address));
            WriteReportLine(request, "");
        }
    }

    const ReportRequest* view = request.mail() ? nullptr : &request;
    const std::string* previous = nullptr;
    for (const auto& pair : pairs) {
        if (request.stopped())
            break;
        if (previous == nullptr || *previous != pair[0])
            WriteReportLine(request, "\r\n" + pair[0] + ":");
        previous = &pair[0];
        const std::string line = CartridgeEncryptionStatus(request, connection, statements, pair[0], pair[1], view);
        if (request.mail())
            WriteReportLine(request, line);
    }
    finish(request);
    return 1;
}
