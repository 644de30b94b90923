#include "AgentReports.h"

#include "AgentTexts.h"
#include "app/DebugLog.h"

#include "fleet/FleetReport.h"
#include "reports/CartridgeStatistics.h"
#include "reports/EncryptionStatus.h"
#include "reports/HealthReport.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"

#include <cstdio>

const std::vector<AgentReportInfo>& agentReports()
{
    using R = AgentReport;
    static const std::vector<AgentReportInfo> reports = {
        {R::CartridgeHealth, "Cartridge Health Statistics", "cartridge-health",
         "QMX Auto Reports Agent for Cartridge Health Statistics",
         "QMX Auto Reports Successful for Cartridge Health Statistics",
         "QMX Auto Reports Failed for Cartridge Health Statistics"},
        {R::DriveStatistics, "Drive Statistics", "cartridge-statistics", "QMX Auto Reports Agent for Drive Statistics",
         "QMX Auto Reports Successful for Drive Statistics", "QMX Auto Reports Failed for Drive Statistics"},
        {R::DriveHealth, "Drive Health Statistics", "drive-health",
         "QMX Auto Reports Agent for Drive Health Statistics",
         "QMX Auto Reports Successful for Drive Health Statistics",
         "QMX Auto Reports Failed for Drive Health Statistics"},
        {R::EncryptionStatus, "Encryption Status", "encryption-status", "QMX Auto Reports Agent for Encryption Status",
         "QMX Auto Reports Successful for Encryption Status", "QMX Auto Reports Failed for Encryption Status"},
        {R::MountRates, "Mount Rates", "mount-rates", "QMX Auto Reports Agent for Mount Rates",
         "QMX Auto Reports Successful for Mount Rates", "QMX Auto Reports Failed for Mount Rates"},
        {R::LibraryOverview, "Library Overview", "overview", "QMX Auto Reports Agent for Library Overview",
         "QMX Auto Reports Successful for Library Overview", "QMX Auto Reports Failed for Library Overview"},
    };
    return reports;
}

const AgentReportInfo& agentReportInfo(AgentReport report)
{
    return agentReports().at(static_cast<std::size_t>(report));
}

std::optional<AgentReport> agentReportByCommandName(const std::string& name)
{
    for (const AgentReportInfo& info : agentReports())
        if (name == info.commandName)
            return info.report;
    return std::nullopt;
}

namespace {
bool AgentSettings::*chosenField(AgentReport report)
{
    switch (report) {
    case AgentReport::CartridgeHealth:
        return &AgentSettings::cartridgeHealth;
    case AgentReport::DriveStatistics:
        return &AgentSettings::driveStatistics;
    case AgentReport::DriveHealth:
        return &AgentSettings::driveHealth;
    case AgentReport::EncryptionStatus:
        return &AgentSettings::encryptionStatus;
    case AgentReport::MountRates:
        return &AgentSettings::mountRates;
    case AgentReport::LibraryOverview:
        return &AgentSettings::libraryOverview;
    }
    return &AgentSettings::mountRates;
}
} // namespace

bool agentReportChosen(const AgentSettings& settings, AgentReport report)
{
    return settings.*chosenField(report);
}

void setAgentReportChosen(AgentSettings& settings, AgentReport report, bool chosen)
{
    settings.*chosenField(report) = chosen;
}

namespace {
using MailProcedure = int (*)(const ReportRequest&);

// The report worker behind each report the agent offers.
MailProcedure mailProcedure(AgentReport report)
{
    switch (report) {
    case AgentReport::MountRates:
        return ReportLibThread;
    case AgentReport::DriveStatistics:
        return ReportCtgStatThread;
    case AgentReport::EncryptionStatus:
        return ReportEncThread;
    case AgentReport::CartridgeHealth:
        return ReportCtgThread;
    case AgentReport::DriveHealth:
        return ReportDrvThread;
    case AgentReport::LibraryOverview:
        return ReportOverviewThread;
    }
    return ReportLibThread;
}
} // namespace

std::optional<std::string> runMailReport(AgentReport report, const MailReportRequest& mail)
{
    const MailProcedure procedure = mailProcedure(report);
    ReportRequest request;
    request.mode = ReportMode::Mail;
    request.beginDate = mail.beginDate.empty() ? mail.endDate : mail.beginDate;
    request.endDate = mail.endDate;
    request.beginShown = mail.beginDateShown.empty() ? displayDate(request.beginDate) : mail.beginDateShown;
    request.endShown = displayDate(mail.endDate);
    request.addresses = mail.ipList;
    request.dataSourceName = mail.dataSourceName;
    request.userName = mail.userName;
    request.password = mail.password;
    request.table = mail.mountHistoryTable;
    request.databaseType = mail.databaseType;
    // No sendMail: the worker leaves the body in the sink, and the agent mails it.
    request.ending = mail.stop;
    TextReportSink body;
    request.sink = &body;
    if (procedure(request) != 1)
        return std::nullopt; // stopped on a database error: no mail
    if (request.closing())
        return std::nullopt; // the agent is ending: a cut-off report is not mailed
    return body.text();
}
