#pragma once

#include <string>
#include <vector>

// vaultlinectl monitor: the library monitor without a window, on the desktop program's
// settings and database, until SIGINT or SIGTERM.
int monitorCommand(const std::vector<std::string>& args);

inline constexpr const char* MonitorCommandUsage =
    "  monitor ADDRESS... | --all   monitor libraries (--all: every library in the database) and write\n"
    "                               their lines with time stamps to standard output until SIGINT or SIGTERM;\n"
    "                               --retry-period MS, --mount-history-period MS and\n"
    "                               --library-performance-period MS change the timers;\n"
    "                               --metrics-listen ADDRESS:PORT serves GET /metrics for Prometheus\n";
