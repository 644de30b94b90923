#pragma once

#include "HealthStatements.h"
#include "ReportRequest.h"
#include "RetriesPermsReport.h"
#include "agent/AgentSettings.h"
#include "app/Commands.h"

#include <optional>
#include <string>
#include <vector>

class QueryResultSink;

// Every report the program runs, in the order the agent starts the ones it mails.
enum class ReportKind {
    CartridgeHealth,
    CartridgeStatistics,
    DriveHealth,
    EncryptionStatus,
    MountRates,
    LibraryOverview,
    RetriesPerms,
    Suspects
};

// What a report makes: text through the request's sink, or a list (columns, then rows).
enum class ReportShape { Text, List };

// Where a run from the table goes besides the request's text sink, and the options only some
// reports take.
struct ReportOutput {
    QueryResultSink* list = nullptr; // a list report's rows; never null for one
    RetriesPermsMarks marks;         // the list's row marks, for the window; may be empty
    std::optional<int> retries;      // vaultlinectl's --retries; nothing for the default
};

// A report's worker: 1 when it ran to its end (cancelled included), 0 when a database error
// stopped it.
using ReportProcedure = int (*)(const ReportRequest& request, const ReportOutput& output);

// The window a report has: none, the date form above its text or list, or a window of its
// own that the menu command's handler opens.
enum class ReportWindow { None, DateForm, Own };

// One report: how vaultlinectl, the windows and the agent run and name it. The table and what
// adding a report takes are in ReportKinds.cpp.
struct ReportKindInfo {
    ReportKind kind{};
    const char* commandName = nullptr; // vaultlinectl report KIND, the agent's configuration file, metrics
    ReportShape shape = ReportShape::Text;
    ReportProcedure worker = nullptr;
    bool oneLibrary = false;   // vaultlinectl takes exactly one --library
    bool takesRetries = false; // vaultlinectl takes --retries

    ReportWindow window = ReportWindow::None;
    std::optional<CommandId> command{};              // the menu command that opens the window
    const char* windowTitle = nullptr;               // a date-form window's is numbered from 1 (nullptr: no window)
    ActiveWindowKind menus = ActiveWindowKind::None; // the menu bar while its date-form window is active
    std::optional<HealthReportKind> fieldLinks{};    // the text's field names open a drill-down

    // The agent: nullptr for a report it does not mail.
    bool AgentSettings::*agentChoice = nullptr;
    const char* mailName = nullptr;    // in the subject and the log lines
    const char* subject = nullptr;     // "QMX Auto Reports Agent for <mailName>"
    const char* successLine = nullptr; // "QMX Auto Reports Successful for <mailName>"
    const char* failureLine = nullptr; // "QMX Auto Reports Failed for <mailName>"

    bool mailed() const { return agentChoice != nullptr; }
};

// Every report, in ReportKind's order.
const std::vector<ReportKindInfo>& reportKinds();
const ReportKindInfo& reportKindInfo(ReportKind kind);
// The report vaultlinectl names so; nothing for another name.
const ReportKindInfo* reportByCommandName(const std::string& name);
// The report whose date-form window the menu command opens; nothing for another command.
const ReportKindInfo* reportWindowForCommand(CommandId command);
