#include "AgentReports.h"

#include "AgentTexts.h"
#include "app/DebugLog.h"

#include "reports/ReportRunner.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

const std::vector<std::reference_wrapper<const ReportKindInfo>>& agentReports()
{
    static const std::vector<std::reference_wrapper<const ReportKindInfo>> reports = [] {
        std::vector<std::reference_wrapper<const ReportKindInfo>> mailed;
        std::copy_if(reportKinds().begin(), reportKinds().end(), std::back_inserter(mailed),
                     [](const ReportKindInfo& info) { return info.mailed(); });
        return mailed;
    }();
    return reports;
}

std::optional<ReportKind> agentReportByCommandName(const std::string& name)
{
    const ReportKindInfo* info = reportByCommandName(name);
    if (info == nullptr || !info->mailed())
        return std::nullopt;
    return info->kind;
}

bool agentReportChosen(const AgentSettings& settings, ReportKind report)
{
    const ReportKindInfo& info = reportKindInfo(report);
    return info.mailed() && settings.*info.agentChoice;
}

void setAgentReportChosen(AgentSettings& settings, ReportKind report, bool chosen)
{
    const ReportKindInfo& info = reportKindInfo(report);
    if (info.mailed())
        settings.*info.agentChoice = chosen;
}

std::optional<std::string> runMailReport(ReportKind report, const MailReportRequest& mail)
{
    const ReportKindInfo& info = reportKindInfo(report);
    if (!info.mailed() || info.shape != ReportShape::Text)
        return std::nullopt; // only a text is mailed
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
    if (info.worker(request, {}) != 1)
        return std::nullopt; // stopped on a database error: no mail
    if (request.closing())
        return std::nullopt; // the agent is ending: a cut-off report is not mailed
    return body.text();
}
