#include "AgentDialog.h"

#include "AgentTexts.h"
#include "SendMail.h"
#include "app/CQmxApp.h"
#include "db/qmxDB.h"

#include <cstdio>

AgentDialogOutcome confirmAgentDialog(const AgentDialogEntry& entry, std::time_t now)
{
    AgentDialogOutcome outcome;
    if (entry.checkedAddresses.empty()) {
        outcome.refusal = agent_texts::NoIpChecked;
        return outcome;
    }
    const auto range = parseAgentRange(entry.rangeText);
    if (!range) {
        outcome.refusal = agent_texts::SelectRange;
        return outcome;
    }
    if (!parseSmtpServer(entry.fields.smtpServer)) {
        outcome.refusal = agent_texts::ServerPortMessage;
        return outcome;
    }
    outcome.settings = entry.fields;
    outcome.settings.ipList = agentIpListText(entry.checkedAddresses);
    outcome.settings.startDate = agentStartDate(now, *range);
    outcome.startDateMessage = agent_texts::NewStartDate + outcome.settings.startDate;
    return outcome;
}

std::optional<std::vector<std::string>> agentLibraryAddresses()
{
    const CQmxApp& app = theApp();
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(app.settings.databaseName, app.settings.userName, app.password, handles, false, nullptr))
        return std::nullopt;
    char sql[512];
    std::snprintf(sql, sizeof sql, agent_texts::IpListSelect, app.settings.mountHistoryTableName.c_str());
    const auto failed = [&](const char* step, SQLRETURN result) {
        WriteDebugLine(step);
        WriteDebugLine(sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, result, false, nullptr, true);
        db.disconnectDB(handles);
        return std::nullopt;
    };
    SQLRETURN result = prepareStatement(handles.statement, sql);
    if (result != SQL_SUCCESS)
        return failed(agent_texts::IpListPrepareFailed, result);
    result = executeStatement(handles.statement);
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
        return failed(agent_texts::IpListExecuteFailed, result);
    std::vector<std::string> addresses;
    while (fetchSucceeded(SQLFetch(handles.statement)))
        if (auto address = getColumnText(handles.statement, 1, 31))
            addresses.push_back(*address);
    closeCursor(handles.statement);
    db.disconnectDB(handles);
    return addresses;
}
