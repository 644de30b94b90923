#pragma once

#include "AgentSettings.h"

#include <string>
#include <variant>

// The agent service's configuration file: an INI file whose group [Agent] holds
//   Reports      report names of vaultlinectl report, separated by commas
//   Weekdays     mon,tue,wed,thu,fri,sat,sun (or the whole names)
//   StartTime    HH:MM:SS (or HH:MM)
//   Range        1 Day | 1 Week | 1 Month
//   Libraries    library addresses separated by commas
//   SmtpServer   host or host:port
//   Recipients   e-mail addresses separated by commas
//   Sender       optional; the agent's own address without it
struct AgentConfig {
    AgentSettings settings; // enabled, with every field but startDate
    AgentRange range = AgentRange::Day;
};

// The configuration, or the reason it is refused, naming the key.
std::variant<AgentConfig, std::string> parseAgentConfig(const std::string& text);
