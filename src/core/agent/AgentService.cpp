#include "AgentService.h"

AgentServiceSchedule::AgentServiceSchedule(AgentConfig config, std::time_t start)
    : m_settings(std::move(config.settings)), m_range(config.range), m_state(agentSchedulerStart(start))
{
}

AgentServiceSchedule::Tick AgentServiceSchedule::tick(std::time_t now, const std::function<bool()>& databaseAnswers)
{
    Tick result;
    if (!agentRunDue(now, m_settings, m_state))
        return result;
    const bool answers = databaseAnswers();
    const int today = m_state.year * 10000 + m_state.month * 100 + m_state.day;
    if (!answers && m_toldDay != today) {
        result.tellWaiting = true;
        m_toldDay = today;
    }
    if (!agentTick(now, m_settings, m_state, answers))
        return result;
    m_settings.startDate = agentStartDate(now, m_range);
    result.startRun = true;
    return result;
}
