#pragma once

#include <string>
#include <vector>

inline constexpr const char* ReportCommandUsage =
    "  report KIND --library ADDR [--library ADDR ...] --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "         [--threshold NAME=YELLOW:RED ...] [--retries N]\n"
    "                              a text report on standard output; KIND is mount-rates,\n"
    "                              drive-health, cartridge-health, cartridge-statistics,\n"
    "                              encryption-status, retries-perms (CSV), overview, or\n"
    "                              suspects (CSV, one --library); --retries N: a mount whose\n"
    "                              retries grew by more than N is troubled (default 10)\n";

// vaultlinectl report: 0 when the report ran to its end, 1 on a database error (or when its text
// could not be written), 2 on bad arguments.
int reportCommand(const std::vector<std::string>& args);
