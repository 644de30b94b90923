#include "EncryptionStatus.h"

#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"
#include "app/DebugLog.h"
#include "db/Dialect.h"

#include <array>
#include <optional>

namespace {
const ReportErrorTexts EncryptionErrors{report_texts::EncryptionPreparing, report_texts::EncryptionExecuting,
                                        report_texts::EncryptionFetching};

void finish(const ReportRequest& request)
{
    finishReport(request, report_texts::EncryptionDone, report_texts::EncryptionCanceled, report_texts::EncryptionDone,
                 report_texts::EncryptionStatusMailName);
}

std::string firstText(const ReportConnection& connection, const std::string& sql)
{
    std::vector<std::string> values;
    connection.selectColumn(sql, values, EncryptionErrors);
    return values.empty() ? std::string() : values.front();
}
} // namespace

std::optional<BatchedLastMounts> batchedLastMounts(const ReportRequest& request, const ReportConnection& connection,
                                                   const ReportStatements& statements, const std::string& address)
{
    std::vector<std::vector<std::string>> rows;
    if (connection.selectTexts(statements.lastMounts(address, request.beginDate, request.endDate), 5, rows,
                               EncryptionErrors)
        != ReportConnection::Result::Ok)
        return std::nullopt;
    BatchedLastMounts mounts;
    for (auto& row : rows) {
        const std::optional<std::int32_t> status = batchedInteger(row[3]);
        const std::optional<std::int32_t> rekeys = batchedInteger(row[4]);
        // The per-cartridge queries look the last mount up again by the date and time they read,
        // written in canonical form: a row stored otherwise is left to them.
        if (!status || !rekeys || normalisedDate(row[1]) != row[1] || normalisedTime(row[2]) != row[2])
            mounts[row[0]] = std::nullopt;
        else
            mounts[row[0]] = LastMount{std::move(row[1]), std::move(row[2]), *status, *rekeys};
    }
    return mounts;
}

std::string CartridgeEncryptionStatus(const ReportRequest& request, const ReportConnection& connection,
                                      const ReportStatements& statements, const std::string& address,
                                      const std::string& volser, const ReportRequest* view, const LastMount* batched)
{
    LastMount last;
    if (batched != nullptr) {
        last = *batched;
    } else {
        last.date = firstText(connection, statements.lastDate(address, volser, request.beginDate, request.endDate));
        last.time = firstText(connection, statements.lastTime(address, volser, last.date));
        // Read in 64 bits: a status of 2^32 is not 0, and a text is no status at all.
        StoredInteger status;
        connection.selectStoredInteger(statements.cryptoStatus(address, volser, last.date, last.time), status,
                                       EncryptionErrors);
        if (status.kind == StoredInteger::Kind::NotANumber)
            WriteDebugLine(std::string(report_texts::SkippedValue) + address + " " + volser + " " + last.date + " "
                           + last.time + ", mount_crypto_status: '" + status.text + "'");
        last.status = status.isInteger() && status.value != 0 ? 1 : 0;
        connection.selectInteger(statements.rekeyCount(address, volser, request.beginDate, request.endDate),
                                 last.rekeys, EncryptionErrors);
    }
    const std::int32_t status = last.status;
    const std::string& lastDate = last.date;
    const std::string& lastTime = last.time;
    const std::int32_t rekeys = last.rekeys;
    std::string line = formatReportText(status != 0 ? report_texts::EncryptedLine : report_texts::NotEncryptedLine,
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

    std::vector<std::array<std::string, 2>> pairs;
    // The last mounts of each pair's address from one statement per address (none with
    // referenceCounts, or where it failed): the per-cartridge queries do the rest.
    std::vector<std::optional<BatchedLastMounts>> batches;
    std::vector<std::size_t> batchOfPair;
    for (const std::string& address : request.addresses) {
        const std::size_t before = pairs.size();
        std::vector<std::vector<ColumnText>> read;
        const ReportConnection::Result listed = connection.selectTextRows(
            statements.addressVolserPairs(address, request.beginDate, request.endDate), 2, read, EncryptionErrors);
        for (auto& row : read)
            if (reportableVolser(row[1], address))
                pairs.push_back({std::move(row[0].text), std::move(row[1].text)});
        if (listed != ReportConnection::Result::Ok) {
            // The form must not stay in its running state after a database error.
            if (!request.mail() && !request.stopped() && request.sink != nullptr)
                request.sink->restoreButtons();
            return 0;
        }
        if (pairs.size() == before) {
            WriteReportLine(request, noEntriesText(request, address));
            WriteReportLine(request, "");
            continue;
        }
        batchOfPair.resize(pairs.size(), batches.size());
        batches.emplace_back();
        if (!request.referenceCounts && !request.stopped())
            batches.back() = batchedLastMounts(request, connection, statements, address);
    }

    const ReportRequest* view = request.mail() ? nullptr : &request;
    const std::string* previous = nullptr;
    for (std::size_t at = 0; at < pairs.size(); ++at) {
        const auto& pair = pairs[at];
        if (request.stopped())
            break;
        if (previous == nullptr || *previous != pair[0])
            WriteReportLine(request, "\r\n" + pair[0] + ":");
        previous = &pair[0];
        // A volser the batch does not have has no mount it could show: an empty date and time,
        // 0 and 0.
        static const LastMount none;
        const LastMount* last = nullptr;
        if (const auto& batch = batches[batchOfPair[at]]; batch) {
            const auto found = batch->find(pair[1]);
            last = found == batch->end() ? &none : (found->second ? &*found->second : nullptr);
        }
        const std::string line =
            CartridgeEncryptionStatus(request, connection, statements, pair[0], pair[1], view, last);
        if (request.mail())
            WriteReportLine(request, line);
    }
    finish(request);
    return 1;
}
