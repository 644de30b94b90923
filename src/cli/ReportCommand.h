#pragma once

#include <string>
#include <vector>

inline constexpr const char* ReportCommandUsage =
    "  report KIND --library ADDR [--library ADDR ...] --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "         [--threshold NAME=YELLOW:RED ...]\n"
    "                              a text report on standard output; KIND is mount-rates,\n"
    "                              drive-health, cartridge-health, cartridge-statistics,\n"
    "                              encryption-status or retries-perms (CSV)\n";

// vaultlinectl report: 0 when the report ran to its end, 1 on a database error, 2 on bad arguments.
int reportCommand(const std::vector<std::string>& args);
