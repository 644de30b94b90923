#include "AgentMetrics.h"

#include "ExpositionText.h"
#include "agent/AgentReports.h"

#include <chrono>

AgentMetrics::AgentMetrics(Clock clock) : m_clock(std::move(clock))
{
    for (const ReportKindInfo& info : agentReports())
        m_reports[info.commandName];
}

void AgentMetrics::runEnded(const std::string& report, bool succeeded)
{
    using namespace std::chrono;
    const double now = m_clock ? m_clock() : duration<double>(system_clock::now().time_since_epoch()).count();
    std::lock_guard lock(m_mutex);
    // Only the agent's own reports: the series stay a fixed set.
    const auto found = m_reports.find(report);
    if (found == m_reports.end())
        return;
    ++(succeeded ? found->second.successes : found->second.failures);
    found->second.lastRun = now;
}

std::string AgentMetrics::exposition() const
{
    ExpositionText out;
    std::lock_guard lock(m_mutex);
    out.family("vaultline_agent_up", "gauge", "1 while the reports agent runs.");
    out.sample("vaultline_agent_up", {}, 1);
    out.family("vaultline_agent_runs_total", "counter",
               "Runs of the report that ended: success when its text was mailed, failure otherwise.");
    for (const auto& [report, state] : m_reports) {
        out.sample("vaultline_agent_runs_total", {{"report", report}, {"result", "success"}},
                   static_cast<double>(state.successes));
        out.sample("vaultline_agent_runs_total", {{"report", report}, {"result", "failure"}},
                   static_cast<double>(state.failures));
    }
    out.family("vaultline_agent_last_run_timestamp_seconds", "gauge",
               "When the report's last run ended, in seconds since the epoch; 0 before the first run.");
    for (const auto& [report, state] : m_reports)
        out.sample("vaultline_agent_last_run_timestamp_seconds", {{"report", report}}, state.lastRun);
    return out.text();
}
