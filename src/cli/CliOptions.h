#pragma once

#include <optional>
#include <string>
#include <vector>

// The options every vaultlinectl command takes, wherever they stand on the command line.
struct CommonOptions {
    // "--log FILE" or "--log=FILE": the debug log to write (lvr_debug.txt in the working folder).
    std::string logPath;
};

// Takes the common options out of args (the command and its own arguments stay, in order).
// Nothing when an option is malformed; error then says why.
std::optional<CommonOptions> takeCommonOptions(std::vector<std::string>& args, std::string& error);

inline constexpr const char* CommonOptionsUsage =
    "  every command takes --log FILE: the debug log to write (default lvr_debug.txt in the working folder)\n";
