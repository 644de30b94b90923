#include "AgentRuns.h"

#include "AgentTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/TimeFormat.h"

#include <algorithm>

MailReportRequest agentRunRequest(const AgentSettings& settings, std::time_t now, const std::atomic<bool>* stop)
{
    MailReportRequest request;
    request.beginDate = GetAgentStartDate(settings);
    request.beginDateShown = settings.startDate;
    request.endDate = formatLocalTime("%Y-%m-%d", now);
    request.ipList = GetAgentIpList(settings);
    const CQmxApp& app = theApp();
    request.dataSourceName = app.settings.databaseName;
    request.userName = app.settings.userName;
    request.password = app.password;
    request.mountHistoryTable = app.settings.mountHistoryTableName;
    request.databaseType = app.settings.DatabaseType;
    request.stop = stop;
    return request;
}

AgentRuns::AgentRuns(AgentRunOptions options) : m_options(std::move(options))
{
}

AgentRuns::~AgentRuns()
{
    stopAndWait();
}

int AgentRuns::start(const AgentSettings& settings, std::time_t now)
{
    std::lock_guard lock(m_mutex);
    // Threads of earlier runs that have ended are let go.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!worker.finished->load())
            return false;
        worker.thread.join();
        return true;
    });
    m_stop = false;
    const MailReportRequest request = agentRunRequest(settings, now, &m_stop);
    int started = 0;
    for (const ReportKindInfo& info : agentReports()) {
        if (!agentReportChosen(settings, info.kind))
            continue;
        auto finished = std::make_shared<std::atomic<bool>>(false);
        std::thread thread([this, report = info.kind, settings, request, finished] {
            runOne(report, settings, request);
            finished->store(true);
        });
        m_workers.push_back(Worker{std::move(thread), finished});
        ++started;
    }
    return started;
}

void AgentRuns::runOne(ReportKind report, const AgentSettings& settings, const MailReportRequest& request)
{
    const ReportKindInfo& info = reportKindInfo(report);
    tell(std::string("Starting the ") + info.mailName + " report");
    const std::optional<std::string> text = m_options.runner(report, request);
    if (!text) {
        tell(std::string("The ") + info.mailName + " report ended without a text to mail; see lvr_debug.txt");
        if (m_options.finished)
            m_options.finished(report, false);
        return;
    }
    SmtpLimits limits = m_options.limits;
    limits.stop = &m_stop;
    const bool sent =
        SendMail(settings.smtpServer, agentSender(settings), settings.recipients, info.subject, *text, limits);
    WriteDebugLine(sent ? info.successLine : info.failureLine);
    tell(sent ? info.successLine : info.failureLine);
    if (m_options.finished)
        m_options.finished(report, sent);
}

void AgentRuns::tell(const std::string& line) const
{
    if (m_options.progress)
        m_options.progress(line);
}

int AgentRuns::running() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_workers.begin(), m_workers.end(),
                                          [](const Worker& worker) { return !worker.finished->load(); }));
}

void AgentRuns::waitUntilDone()
{
    std::lock_guard lock(m_mutex);
    for (Worker& worker : m_workers)
        if (worker.thread.joinable())
            worker.thread.join();
    m_workers.clear();
}

void AgentRuns::stopAndWait()
{
    std::lock_guard lock(m_mutex);
    m_stop = true;
    for (Worker& worker : m_workers)
        if (worker.thread.joinable())
            worker.thread.join();
    m_workers.clear();
}
