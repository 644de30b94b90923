#pragma once

#include <string>
#include <vector>

// "import FILE --library ADDR": the desktop program's File > Import.. without a display, on the
// same settings. The summary goes to standard output, every other message to standard error.
// Exit status 0 only when every data line is stored (now or by an earlier import), 1 when the
// import failed or a line was not stored, 2 for a wrong command line.
int importCommand(const std::vector<std::string>& args);

inline constexpr const char* ImportCommandUsage =
    "  import FILE --library ADDR  import a saved mount history or library performance file for the library\n"
    "                              ADDR (the password, if the database needs one, from VAULTLINE_DB_PASSWORD)\n";
