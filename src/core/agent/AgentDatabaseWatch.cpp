#include "AgentDatabaseWatch.h"

#include "AgentTexts.h"

AgentDatabaseWatch::AgentDatabaseWatch(Probes probes, int repeatSeconds)
    : m_probes(std::move(probes)), m_repeatSeconds(repeatSeconds)
{
}

bool AgentDatabaseWatch::answers(std::time_t now)
{
    bool answered = false;
    if (!m_down || now - m_lastFull >= m_repeatSeconds || now < m_lastFull) {
        answered = m_probes.full();
        if (!answered) {
            m_lastFull = now;
            m_down = true;
        }
    } else {
        answered = m_probes.quiet();
    }
    if (answered && m_down) {
        m_down = false;
        m_probes.tell(agent_texts::DatabaseAnswersAgain);
    }
    return answered;
}
