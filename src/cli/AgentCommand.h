#pragma once

#include <string>
#include <vector>

// vaultlinectl agent: the reports agent's schedule without a window, from a configuration
// file, until SIGINT or SIGTERM.
int agentCommand(const std::vector<std::string>& args);

inline constexpr const char* AgentCommandUsage =
    "  agent --config FILE          run the reports agent's schedule of FILE ([Agent] group: Reports, Weekdays,\n"
    "                               StartTime, Range, Libraries, SmtpServer, Recipients, Sender) and mail the\n"
    "                               reports; time-stamped lines on standard output until SIGINT or SIGTERM;\n"
    "                               --metrics-listen ADDRESS:PORT serves GET /metrics for Prometheus\n";
