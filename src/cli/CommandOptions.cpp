#include "CommandOptions.h"

#include <algorithm>

namespace {
bool isOptionWord(const std::string& word)
{
    return word.size() > 1 && word.front() == '-';
}

// The option as written, without a value given with "=".
std::string optionPart(const std::string& word)
{
    return word.substr(0, word.find('='));
}

std::optional<std::string> inlineValueOf(const std::string& word)
{
    const auto equals = word.find('=');
    if (equals == std::string::npos)
        return std::nullopt;
    return word.substr(equals + 1);
}
} // namespace

CommandOptions::CommandOptions(std::vector<OptionSpec> options) : m_options(std::move(options))
{
}

const OptionSpec* CommandOptions::declared(const std::string& word) const
{
    // Only "--name" words name options: there are no one-letter ones.
    if (!word.starts_with("--"))
        return nullptr;
    const std::string name = optionPart(word).substr(2);
    const auto found = std::find_if(m_options.begin(), m_options.end(),
                                    [&name](const OptionSpec& option) { return option.name == name; });
    return found == m_options.end() ? nullptr : &*found;
}

bool CommandOptions::read(const std::vector<std::string>& words, std::size_t& at, const OptionSpec& option,
                          std::optional<std::string> inlineValue)
{
    const std::string shown = "--" + option.name;
    if (option.kind == OptionKind::Switch) {
        if (inlineValue) {
            m_error = shown + " takes no value";
            return false;
        }
        m_switches.insert(option.name);
        return true;
    }
    std::string text;
    if (inlineValue) {
        text = std::move(*inlineValue);
    } else if (at + 1 < words.size()) {
        text = words[++at];
    } else {
        m_error = option.needs.empty() ? "option " + shown + " needs a value" : shown + " needs " + option.needs;
        return false;
    }
    std::vector<std::string>& given = m_values[option.name];
    if (option.kind == OptionKind::Once && !given.empty()) {
        m_error = shown + " given twice";
        return false;
    }
    given.push_back(std::move(text));
    return true;
}

bool CommandOptions::parse(const std::vector<std::string>& words)
{
    for (std::size_t at = 0; at < words.size(); ++at) {
        const std::string& word = words[at];
        if (!isOptionWord(word)) {
            m_positionals.push_back(word);
            continue;
        }
        const OptionSpec* option = declared(word);
        if (option == nullptr) {
            m_error = "unknown option " + optionPart(word);
            return false;
        }
        if (!read(words, at, *option, inlineValueOf(word)))
            return false;
    }
    return true;
}

bool CommandOptions::take(std::vector<std::string>& words)
{
    std::vector<std::string> rest;
    for (std::size_t at = 0; at < words.size(); ++at) {
        const OptionSpec* option = isOptionWord(words[at]) ? declared(words[at]) : nullptr;
        if (option == nullptr)
            rest.push_back(words[at]);
        else if (!read(words, at, *option, inlineValueOf(words[at])))
            return false;
    }
    words = std::move(rest);
    return true;
}

const std::vector<std::string>& CommandOptions::values(const std::string& name) const
{
    static const std::vector<std::string> none;
    const auto found = m_values.find(name);
    return found == m_values.end() ? none : found->second;
}

std::optional<std::string> CommandOptions::value(const std::string& name) const
{
    const auto& given = values(name);
    if (given.empty())
        return std::nullopt;
    return given.back();
}

bool CommandOptions::has(const std::string& name) const
{
    return m_switches.count(name) > 0 || !values(name).empty();
}

bool CommandOptions::asksForHelp(const std::vector<std::string>& words)
{
    return std::any_of(words.begin(), words.end(),
                       [](const std::string& word) { return word == "--help" || word == "-h"; });
}
