#pragma once

#include "AgentSettings.h"
#include "reports/ReportKinds.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The reports the agent can mail, in the order a run starts them (the table's order):
// cartridge health, drive statistics, drive health, encryption status, mount rates, library
// overview.
const std::vector<std::reference_wrapper<const ReportKindInfo>>& agentReports();
// The report the agent's configuration file names so; nothing for a name it does not mail.
std::optional<ReportKind> agentReportByCommandName(const std::string& name);
// Always false for a report the agent does not mail, which setting leaves alone.
bool agentReportChosen(const AgentSettings& settings, ReportKind report);
void setAgentReportChosen(AgentSettings& settings, ReportKind report, bool chosen);

// What one report of an agent run reads: the period, the libraries and a stop flag.
struct MailReportRequest {
    std::string beginDate;      // "%Y-%m-%d"
    std::string beginDateShown; // the agent's stored "%m-%d-%Y", shown as it is
    std::string endDate;        // the run's day, "%Y-%m-%d"
    std::vector<std::string> ipList;
    // The connection of the settings, read when the run starts (workers never read settings
    // that the window's thread may be changing).
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string mountHistoryTable;
    int databaseType = 0;
    const std::atomic<bool>* stop = nullptr; // set when the program or service is ending
};

// Runs one report in mail mode and returns its whole text (heading line to end line), or
// nothing when the report stopped without a text to mail (a database error, which it logs).
using MailReportRunner = std::function<std::optional<std::string>(ReportKind, const MailReportRequest&)>;

// The report workers of this build in mail mode.
std::optional<std::string> runMailReport(ReportKind report, const MailReportRequest& request);
