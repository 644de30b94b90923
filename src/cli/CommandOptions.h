#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// How a command takes one of its options.
enum class OptionKind {
    Switch,   // "--name", no value
    Once,     // "--name VALUE" or "--name=VALUE", at most once
    Repeated, // the same, as often as wanted, the values kept in order
};

struct OptionSpec {
    // Not explicit: {"from"} declares an option in a list of them.
    // cppcheck-suppress noExplicitConstructor
    OptionSpec(std::string optionName, OptionKind optionKind = OptionKind::Once, std::string valueNeeds = {})
        : name(std::move(optionName)), kind(optionKind), needs(std::move(valueNeeds))
    {
    }

    std::string name; // without the dashes
    OptionKind kind;
    // What the value is, for the message when it is missing: "--name needs <needs>". Empty:
    // "option --name needs a value".
    std::string needs;
};

// The option parser every headless command shares, the top level's common options included.
// A word that begins with "-" (other than "-" itself) is an option: "--name VALUE" or
// "--name=VALUE" for the options a command declares as taking a value, "--name" for its
// switches. Every other word is a positional argument, kept in order. The word after an option
// that takes a value is its value, whatever it looks like.
class CommandOptions {
public:
    explicit CommandOptions(std::vector<OptionSpec> options);

    // Parses the words after the command's name. False (with error() saying why) on an unknown
    // option, a value option without its value, a switch given a value, or an option that is
    // not Repeated given twice.
    bool parse(const std::vector<std::string>& words);
    // Takes the declared options out of words and leaves every other word, in order, for the
    // command: the options every command takes wherever they stand. False as parse is, on the
    // declared options only.
    bool take(std::vector<std::string>& words);
    const std::string& error() const { return m_error; }

    const std::vector<std::string>& values(const std::string& name) const;
    // The value given, if any (the last one of a Repeated option).
    std::optional<std::string> value(const std::string& name) const;
    bool has(const std::string& name) const;
    const std::vector<std::string>& positionals() const { return m_positionals; }

    // True when a word asks for help ("--help" or "-h"), wherever it stands.
    static bool asksForHelp(const std::vector<std::string>& words);

private:
    // The option an option word names, or nothing when it names none of them.
    const OptionSpec* declared(const std::string& word) const;
    // Reads the option word at words[at] (and its value after it); at is left on the last word read.
    bool read(const std::vector<std::string>& words, std::size_t& at, const OptionSpec& option,
              std::optional<std::string> inlineValue);

    std::vector<OptionSpec> m_options;
    std::map<std::string, std::vector<std::string>> m_values;
    std::set<std::string> m_switches;
    std::vector<std::string> m_positionals;
    std::string m_error;
};
