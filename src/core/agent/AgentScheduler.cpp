#include "AgentScheduler.h"

bool agentRunDue(std::time_t now, const AgentSettings& settings, AgentSchedulerState& state)
{
    std::tm local{};
    localtime_r(&now, &local);
    if (local.tm_year + 1900 != state.year || local.tm_mon + 1 != state.month || local.tm_mday != state.day) {
        state.ranToday = false;
        state.year = local.tm_year + 1900;
        state.month = local.tm_mon + 1;
        state.day = local.tm_mday;
    }
    if (!settings.enabled || state.ranToday)
        return false;
    // tm_wday counts from Sunday; the settings from Monday.
    if (!settings.weekdays[static_cast<std::size_t>((local.tm_wday + 6) % 7)])
        return false;
    std::tm start = local;
    start.tm_hour = settings.startHour;
    start.tm_min = settings.startMinute;
    start.tm_sec = settings.startSecond;
    start.tm_isdst = -1;
    const std::time_t runTime = std::mktime(&start);
    return runTime != static_cast<std::time_t>(-1) && now >= runTime;
}

bool agentTick(std::time_t now, const AgentSettings& settings, AgentSchedulerState& state, bool connected)
{
    if (!agentRunDue(now, settings, state) || !connected)
        return false;
    state.ranToday = true;
    return true;
}

void agentConfirmed(AgentSchedulerState& state)
{
    state.ranToday = false;
}

AgentSchedulerState agentSchedulerStart(std::time_t now)
{
    AgentSchedulerState state;
    agentRunDue(now, AgentSettings{}, state);
    return state;
}
