#include "AgentSettings.h"

#include "AgentTexts.h"
#include "app/TimeFormat.h"
#include "reports/ReportRunner.h"

#include <strings.h>

std::vector<std::string> GetAgentIpList(const AgentSettings& settings)
{
    // One reading of the address list for the dialog, the service and the report workers.
    return GetAgentIpList(settings.ipList);
}

std::string GetAgentStartDate(const AgentSettings& settings)
{
    const std::string& date = settings.startDate;
    if (date.size() != 10 || date[2] != '-' || date[5] != '-')
        return {};
    return date.substr(6, 4) + "-" + date.substr(0, 2) + "-" + date.substr(3, 2);
}

long agentRangeSeconds(AgentRange range)
{
    switch (range) {
    case AgentRange::Day:
        return 86400;
    case AgentRange::Week:
        return 604800;
    case AgentRange::Month:
        return 2630016; // 30.44 days
    }
    return 86400;
}

std::optional<AgentRange> parseAgentRange(const std::string& text)
{
    for (int index = 0; index < 3; ++index)
        if (strcasecmp(text.c_str(), AgentRangeTexts[index]) == 0)
            return static_cast<AgentRange>(index);
    return std::nullopt;
}

std::string agentStartDate(std::time_t now, AgentRange range)
{
    return formatLocalTime("%m-%d-%Y", now - agentRangeSeconds(range));
}

std::string agentIpListText(const std::vector<std::string>& checkedAddresses)
{
    std::string text;
    for (const std::string& address : checkedAddresses)
        text += address + ",";
    return text;
}

bool agentIpListHolds(const AgentSettings& settings, const std::string& address)
{
    for (const std::string& listed : GetAgentIpList(settings))
        if (strcasecmp(listed.c_str(), address.c_str()) == 0)
            return true;
    return false;
}

std::string agentSender(const AgentSettings& settings)
{
    return settings.sender.empty() ? std::string(DefaultAgentSender) : settings.sender;
}
