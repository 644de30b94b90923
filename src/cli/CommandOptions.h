#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The option parser every headless command shares: "--name VALUE" or "--name=VALUE" for the
// options a command declares as taking a value (each may repeat), "--name" for its switches,
// and the remaining words as positional arguments in order.
class CommandOptions {
public:
    // Declares what the command accepts; anything else is an error.
    CommandOptions(std::set<std::string> valueOptions, std::set<std::string> switches);

    // Parses the words after the command's name. False (with error() saying why) on an
    // unknown option or a value option without its value.
    bool parse(const std::vector<std::string>& words);
    const std::string& error() const { return m_error; }
    // False (with error() saying which) when one of these options was given more than once:
    // for the commands where a second value is more likely a slip than a wish.
    bool givenAtMostOnce(const std::set<std::string>& names);

    const std::vector<std::string>& values(const std::string& name) const;
    // The last value given, if any.
    std::optional<std::string> value(const std::string& name) const;
    bool has(const std::string& name) const;
    const std::vector<std::string>& positionals() const { return m_positionals; }

private:
    std::set<std::string> m_valueOptions;
    std::set<std::string> m_switches;
    std::map<std::string, std::vector<std::string>> m_values;
    std::set<std::string> m_given;
    std::vector<std::string> m_positionals;
    std::string m_error;
};
