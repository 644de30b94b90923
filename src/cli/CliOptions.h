#pragma once

#include <map>
#include <optional>
#include <set>
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

// The option parser the subcommands share: "--name VALUE" and "--name=VALUE" for options that
// take a value, "--name" for switches, and the remaining words in order.
struct CliOption {
    std::string name; // with its dashes: "--library"
    bool takesValue = true;
};

struct CliArguments {
    std::map<std::string, std::string> values;
    std::set<std::string> switches;
    std::vector<std::string> words;

    bool has(const std::string& name) const { return values.count(name) > 0 || switches.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const;
};

// Parses args after the subcommand's name. On an unknown option, a missing value or an option
// given twice: nothing, and error says why.
std::optional<CliArguments> parseCliArguments(const std::vector<std::string>& args, const std::vector<CliOption>& options,
                                              std::string& error);
