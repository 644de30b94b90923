#pragma once

#include <string>
#include <vector>

inline constexpr const char* CustomCommandUsage =
    "  custom --template NAME [--user NAME] [--csv FILE] [--tapealert CODE,...]\n"
    "                              runs a saved custom report template over its range back from\n"
    "                              now and prints its table on standard output (graph and table\n"
    "                              templates alike), or writes the CSV file; a last instance\n"
    "                              template of one item prints its message. --user: the\n"
    "                              template's owner (default the settings' user); a TapeAlert\n"
    "                              field needs the TapeAlert codes to count. A template holding\n"
    "                              a value the form could not have saved is refused\n";

// vaultlinectl custom: 0 when the report ran, 1 on a database error, an unknown template, a
// refused one or a table that could not be written, 2 on bad arguments.
int customCommand(const std::vector<std::string>& args);
