#pragma once

#include "AgentConfig.h"
#include "AgentScheduler.h"

#include <ctime>
#include <functional>

// The schedule of vaultlinectl agent: the desktop scheduler's tick, with "connected" meaning
// that the database answers when a run is due, and a rolling reporting period.
class AgentServiceSchedule {
public:
    AgentServiceSchedule(AgentConfig config, std::time_t start);

    struct Tick {
        bool startRun = false;    // start the reports now, on settings()
        bool tellWaiting = false; // the first tick of the day at which the database did not answer
    };
    // databaseAnswers is asked only when a run is due, so a service between runs leaves the
    // database alone; a run that waits for it is tried again at every tick of that day.
    Tick tick(std::time_t now, const std::function<bool()>& databaseAnswers);

    // The settings of the run just started: the start date reaches the range back from its day.
    const AgentSettings& settings() const { return m_settings; }

private:
    AgentSettings m_settings;
    AgentRange m_range;
    AgentSchedulerState m_state;
    int m_toldDay = 0;
};
