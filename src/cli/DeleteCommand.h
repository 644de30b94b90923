#pragma once

#include <string>
#include <vector>

// "delete --library ADDR (--drive FRAME:DRIVE | --volser VOLSER) [--yes]": the Data Removal
// dialog without a display, on the desktop program's settings. Asks on the terminal unless --yes,
// then prints how many mount history rows went. Exit status 0 when deleted or when nothing
// matched, 1 on a database error, 2 on a wrong command line or a question answered no.
int deleteCommand(const std::vector<std::string>& args);

inline constexpr const char* DeleteCommandUsage =
    "  delete --library ADDR (--drive FRAME:DRIVE | --volser VOLSER) [--yes]\n"
    "                              delete the stored mount history rows of one drive or one cartridge of\n"
    "                              the library ADDR; asks first unless --yes\n";
