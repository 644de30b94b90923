#pragma once

#include <string>
#include <vector>

inline constexpr const char* CustomCommandUsage =
    "  custom --template NAME [--user NAME] [--csv FILE] [--tapealert CODE,...]\n"
    "                              runs a saved custom report template over its range back from\n"
    "                              now and prints its table on standard output (graph and table\n"
    "                              templates alike), or writes the CSV file; a last instance\n"
    "                              template prints its message. --user: the template's owner\n"
    "                              (default the settings' user); a TapeAlert field needs the\n"
    "                              TapeAlert codes to count\n";

// vaultlinectl custom: 0 when the report ran, 1 on a database error or an unknown template,
// 2 on bad arguments.
int customCommand(const std::vector<std::string>& args);
