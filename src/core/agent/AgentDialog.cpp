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
    if (!db.connectDB(app.settings.databaseName, app.settings.userName, app.password, handles, Diagnostics::ShowUser))
        return std::nullopt;
    char sql[512];
    std::snprintf(sql, sizeof sql, agent_texts::IpListSelect, app.settings.mountHistoryTableName.c_str());
    auto addresses = selectFirstColumn(db, handles.statement, sql, agent_texts::IpListPrepareFailed,
                                       agent_texts::IpListExecuteFailed);
    db.disconnectDB(handles);
    return addresses;
}
