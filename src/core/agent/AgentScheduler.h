#pragma once

#include "AgentSettings.h"

#include <ctime>

// The scheduler's memory between ticks: whether today's run has happened, and which day
// "today" is.
struct AgentSchedulerState {
    bool ranToday = false;
    int year = 0;
    int month = 0; // 1-12
    int day = 0;
};

// The first part of a tick: a new calendar date clears the ran-today flag. Then true when a
// run is due: enabled, today's weekday chosen, now at or after today's start time (local time,
// daylight saving as the system decides) and no run yet today.
bool agentRunDue(std::time_t now, const AgentSettings& settings, AgentSchedulerState& state);

// One tick of the once-a-second scheduler. True when the run starts now; the ran-today flag is
// then set. A database that is not connected delays the run to a later tick of the same day.
bool agentTick(std::time_t now, const AgentSettings& settings, AgentSchedulerState& state, bool connected);

// Confirming the agent's dialog: the next due tick runs again, even on a day that had its run.
void agentConfirmed(AgentSchedulerState& state);
// The window's start: the remembered date is today's.
AgentSchedulerState agentSchedulerStart(std::time_t now);
